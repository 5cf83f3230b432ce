#include "AxisTicks.h"

#include <QtTest>

#include <cmath>
#include <limits>

class TestAxisTicks : public QObject {
    Q_OBJECT

private slots:
    void workedExamples_data();
    void workedExamples();
    void stepTable_data();
    void stepTable();
    void decimals_data();
    void decimals();
    void labelFormat_data();
    void labelFormat();
    void degenerateWindowsGiveNoTicks_data();
    void degenerateWindowsGiveNoTicks();
    void roundToPixel_data();
    void roundToPixel();
};

void TestAxisTicks::workedExamples_data()
{
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("vpp");
    QTest::addColumn<double>("spacing");
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("firstLabel");
    QTest::addColumn<int>("decimals");

    // Plot length 476 for the value axes; the X case has 1000 pixels and a
    // 60-pixel label box (spacing 62).
    QTest::newRow("left 1..4") << 1.0 << 4.0 << 3.0 / 476 << 14.0 << 0.1 << 16 << 29 << 1.1 << 1;
    QTest::newRow("left -40..0") << -40.0 << 0.0 << 40.0 / 476 << 14.0 << 2.0 << 0 << 21 << -40.0 << 0;
    QTest::newRow("X 1e6..3e7") << 1e6 << 3e7 << 29000.0 << 62.0 << 2e6 << 34 << 15 << 2e6 << 0;
    QTest::newRow("left -7.3..4.7") << -7.3 << 4.7 << 12.0 / 476 << 14.0 << 0.5 << 12 << 24 << -7.0 << 1;
}

void TestAxisTicks::workedExamples()
{
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(double, vpp);
    QFETCH(double, spacing);
    QFETCH(double, step);
    QFETCH(int, offset);
    QFETCH(int, count);
    QFETCH(double, firstLabel);
    QFETCH(int, decimals);

    const TAxisTicks t = ComputeAxisTicks(lo, hi, vpp, spacing);
    QCOMPARE(t.Step, step);
    QCOMPARE(t.Offset, offset);
    QCOMPARE(t.Decimals, decimals);
    QCOMPARE(int(t.Ticks.size()), count);
    QCOMPARE(t.Ticks.front().Pos, offset);
    for (int i = 0; i < count; ++i) {
        const TAxisTick &tick = t.Ticks[size_t(i)];
        QCOMPARE(tick.Label, QString::number(firstLabel + i * step, 'f', decimals));
        QCOMPARE(tick.Pos, int(std::nearbyint(i * step / vpp)) + offset);
        QVERIFY(tick.Value <= hi);
    }
}

void TestAxisTicks::stepTable_data()
{
    QTest::addColumn<double>("minStep");
    QTest::addColumn<double>("step");
    QTest::newRow("below the table") << 1e-7 << 0.001;
    QTest::newRow("zero") << 0.0 << 0.001;
    QTest::newRow("just above 0.001") << 0.0011 << 0.002;
    QTest::newRow("0.088 -> 0.1") << 0.088235 << 0.1;
    QTest::newRow("exactly 0.1") << 0.1 << 0.1;
    QTest::newRow("0.3529 -> 0.5") << 0.3529 << 0.5;
    QTest::newRow("1.1765 -> 2") << 1.1765 << 2.0;
    QTest::newRow("7 -> 10") << 7.0 << 10.0;
    QTest::newRow("12 -> 20") << 12.0 << 20.0;
    QTest::newRow("1798000 -> 2e6") << 1798000.0 << 2e6;
    QTest::newRow("999999.7 -> 1e6") << 999999.7 << 1e6;
}

void TestAxisTicks::stepTable()
{
    QFETCH(double, minStep);
    QFETCH(double, step);
    QCOMPARE(TickStep(minStep), step);
}

void TestAxisTicks::decimals_data()
{
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("decimals");
    for (double s : {0.001, 0.002, 0.005})
        QTest::addRow("%g", s) << s << 3;
    for (double s : {0.01, 0.02, 0.05})
        QTest::addRow("%g", s) << s << 2;
    for (double s : {0.1, 0.2, 0.5})
        QTest::addRow("%g", s) << s << 1;
    for (double s : {1.0, 2.0, 5.0, 10.0, 2e6})
        QTest::addRow("%g", s) << s << 0;
}

void TestAxisTicks::decimals()
{
    QFETCH(double, step);
    QFETCH(int, decimals);
    QCOMPARE(TickDecimals(step), decimals);
    // A window whose step is this one labels its ticks with these decimals.
    const TAxisTicks t = ComputeAxisTicks(0, step * 20, step * 0.99 / 14, 14);
    QCOMPARE(t.Step, step);
    QCOMPARE(t.Decimals, decimals);
}

void TestAxisTicks::labelFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("sum just below 1") << 0.9999999999999999 << 1 << "1.0";
    QTest::newRow("sum just above 4") << 4.000000000000002 << 1 << "4.0";
    QTest::newRow("tiny negative is zero") << -1.3e-17 << 1 << "0.0";
    QTest::newRow("negative") << -7.0 << 1 << "-7.0";
    QTest::newRow("hertz") << 30000000.0 << 0 << "30000000";
    QTest::newRow("three decimals") << 0.0125 << 3 << "0.013";
    QTest::newRow("ten significant digits") << 123456.7891234 << 3 << "123456.789";
}

void TestAxisTicks::labelFormat()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(FormatAxisValue(value, decimals), text);
}

void TestAxisTicks::degenerateWindowsGiveNoTicks_data()
{
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("vpp");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("empty window") << 5.0 << 5.0 << 0.1;
    QTest::newRow("reversed window") << 5.0 << 1.0 << 0.1;
    QTest::newRow("zero per pixel") << 0.0 << 1.0 << 0.0;
    QTest::newRow("negative per pixel") << 0.0 << 1.0 << -0.01;
    QTest::newRow("infinite per pixel") << 0.0 << 1.0 << inf;
    QTest::newRow("NaN per pixel") << 0.0 << 1.0 << std::nan("");
    QTest::newRow("infinite window") << -inf << inf << 1.0;
    // The step is far below the spacing of doubles near 1e20: a naive
    // search would never end.
    QTest::newRow("step below resolution") << 1e20 << 1e20 + 65536.0 << 65536.0 / 476 / 1e9;
}

void TestAxisTicks::degenerateWindowsGiveNoTicks()
{
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(double, vpp);
    const TAxisTicks t = ComputeAxisTicks(lo, hi, vpp, 14);
    QVERIFY(t.Ticks.empty());
    QCOMPARE(t.Step, 0.0);
}

void TestAxisTicks::roundToPixel_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("pixel");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("half to even, down") << 0.5 << 0;
    QTest::newRow("half to even, up") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("-1.5") << -1.5 << -2;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("just below a half") << std::nextafter(0.5, 0.0) << 0;
    QTest::newRow("just above a half") << std::nextafter(0.5, 1.0) << 1;
    QTest::newRow("large odd half") << 1234567.5 << 1234568;
    QTest::newRow("beyond the limit") << 1e300 << 4000000;
    QTest::newRow("below the limit") << -1e300 << -4000000;
    QTest::newRow("+inf") << inf << 4000000;
    QTest::newRow("-inf") << -inf << -4000000;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0;
}

void TestAxisTicks::roundToPixel()
{
    QFETCH(double, value);
    QFETCH(int, pixel);
    QCOMPARE(RoundToPixel(value), pixel);
}

QTEST_APPLESS_MAIN(TestAxisTicks)
#include "tst_axisticks.moc"
