// The cursor readout, marker labels and " SWR <= 2 " list: texts from graph
// points, with the locale's grouping and always a '.' decimal point.
#include "GraphReadout.h"

#include <QLocale>
#include <QtTest>

#include <cmath>

using namespace Vantrel;

using TPoints = std::vector<TGraphPoint>;
Q_DECLARE_METATYPE(TPoints)
Q_DECLARE_METATYPE(TDispMode)

namespace {

// SWR 1.5 and 3.0 as each display mode stores them.
double ValueOfSwr(double swr, TDispMode mode)
{
    const double gamma = (swr - 1) / (swr + 1);
    return mode == TDispMode::SWR ? swr : mode == TDispMode::Gamma ? gamma : 20 * std::log10(gamma);
}

} // namespace

class TestGraphReadout : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::c()); }

    void cursorText_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<TDispMode>("mode");
        QTest::addColumn<bool>("right");
        QTest::addColumn<double>("rightValue");
        QTest::addColumn<QString>("text");
        QTest::newRow("SWR") << 10e6 << 1.53 << TDispMode::SWR << false << 0.0 << "10,000,000Hz, SWR=1.5";
        QTest::newRow("Gamma") << 7050000.4 << 0.333 << TDispMode::Gamma << false << 0.0 << "7,050,000Hz, G=0.3";
        QTest::newRow("return loss") << 1e6 << -7.26 << TDispMode::ReturnLoss << false << 0.0 << "1,000,000Hz, RL=-7.3dB";
        QTest::newRow("SWR with R") << 10e6 << 1.53 << TDispMode::SWR << true << 5.27 << "10,000,000Hz, SWR=1.5, R=5.3";
        QTest::newRow("return loss with R") << 1e6 << -7.26 << TDispMode::ReturnLoss << true << 50.0
                                            << "1,000,000Hz, RL=-7.3dB, R=50.0";
        QTest::newRow("half hertz rounds away from zero") << 2500000.5 << 2.0 << TDispMode::SWR << false << 0.0
                                                          << "2,500,001Hz, SWR=2.0";
        QTest::newRow("small negative is no minus zero") << 1e6 << -0.04 << TDispMode::ReturnLoss << false << 0.0
                                                         << "1,000,000Hz, RL=0.0dB";
    }

    void cursorText()
    {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(TDispMode, mode);
        QFETCH(bool, right);
        QFETCH(double, rightValue);
        QTEST(CursorText({x, y}, mode, right ? std::optional(rightValue) : std::nullopt), "text");
    }

    void localeGroupsButPointStays()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(CursorText({1e6, -7.26}, TDispMode::ReturnLoss, 5.27), QStringLiteral("1.000.000Hz, RL=-7.3dB, R=5.3"));
        QCOMPARE(MarkerText({7050000, 1.53}, TDispMode::SWR), QStringLiteral("7.050.000Hz, 1.5"));
    }

    void measureTextIsDirectionless_data()
    {
        QTest::addColumn<TDispMode>("mode");
        QTest::addColumn<QString>("text");
        QTest::newRow("SWR") << TDispMode::SWR << QStringLiteral("\u0394 9,000,000Hz, SWR=0.5");
        QTest::newRow("return loss") << TDispMode::ReturnLoss << QStringLiteral("\u0394 9,000,000Hz, RL=0.5dB");
    }

    void measureTextIsDirectionless()
    {
        QFETCH(TDispMode, mode);
        const TGraphPoint a{1e6, 1.5}, b{10e6, 2.0};
        QTEST(MeasureText(a, b, mode), "text");
        QTEST(MeasureText(b, a, mode), "text");
    }

    void markerText_data()
    {
        QTest::addColumn<TDispMode>("mode");
        QTest::addColumn<double>("y");
        QTest::addColumn<QString>("text");
        QTest::newRow("SWR has no symbol and no unit") << TDispMode::SWR << 1.53 << "7,050,000Hz, 1.5";
        QTest::newRow("Gamma") << TDispMode::Gamma << 0.25 << "7,050,000Hz, 0.3";
        QTest::newRow("return loss ends in dB") << TDispMode::ReturnLoss << -12.04 << "7,050,000Hz, -12.0dB";
    }

    void markerText()
    {
        QFETCH(TDispMode, mode);
        QFETCH(double, y);
        QTEST(MarkerText({7050000, y}, mode), "text");
    }

    void swrSpans_data()
    {
        QTest::addColumn<TPoints>("points");
        QTest::addColumn<double>("winMin");
        QTest::addColumn<double>("winMax");
        QTest::addColumn<QString>("text");
        QTest::addColumn<TPoints>("markers");
        const TPoints example{{7.00e6, 3.0}, {7.05e6, 1.8}, {7.10e6, 1.5}, {7.15e6, 2.4}, {7.20e6, 1.9}};
        QTest::newRow("example: the span open at the end is not listed")
            << example << 1e6 << 30e6 << "7,050,000Hz - 7,150,000Hz\r\n"
            << TPoints{{7.05e6, 2.4}, {7.15e6, 2.4}};
        QTest::newRow("window edges count as inside")
            << example << 7.05e6 << 7.15e6 << "7,050,000Hz - 7,150,000Hz\r\n"
            << TPoints{{7.05e6, 2.4}, {7.15e6, 2.4}};
        QTest::newRow("zoomed past the span's end") << example << 1e6 << 7.12e6 << "" << TPoints{};
        QTest::newRow("the first point is not examined")
            << TPoints{{1e6, 1.2}, {2e6, 3.0}, {3e6, 3.0}} << 0.0 << 1e9 << "" << TPoints{};
        QTest::newRow("SWR 2 itself is inside a span")
            << TPoints{{1e6, 3}, {2e6, 2.0}, {3e6, 2.5}, {4e6, 1.0}, {5e6, 2.01}} << 0.0 << 1e9
            << "2,000,000Hz - 3,000,000Hz\r\n4,000,000Hz - 5,000,000Hz\r\n"
            << TPoints{{2e6, 2.5}, {3e6, 2.5}, {4e6, 2.01}, {5e6, 2.01}};
        QTest::newRow("a span may begin at 0 Hz")
            << TPoints{{-1e6, 3}, {0, 1.5}, {1e6, 2.5}} << -1e9 << 1e9 << "0Hz - 1,000,000Hz\r\n"
            << TPoints{{0, 2.5}, {1e6, 2.5}};
        QTest::newRow("one point") << TPoints{{7e6, 1.1}} << 0.0 << 1e9 << "" << TPoints{};
    }

    void swrSpans()
    {
        QFETCH(TPoints, points);
        QFETCH(double, winMin);
        QFETCH(double, winMax);
        QFETCH(TPoints, markers);
        const TSwrSpans r = SwrSpans(points, winMin, winMax, TDispMode::SWR);
        QTEST(r.Text, "text");
        QCOMPARE(r.Markers, markers);
    }

    // The same curve in Gamma and return loss gives the same list, with the
    // markers carrying the stored values.
    void swrSpansConvertEachMode_data()
    {
        QTest::addColumn<TDispMode>("mode");
        QTest::newRow("Gamma") << TDispMode::Gamma;
        QTest::newRow("return loss") << TDispMode::ReturnLoss;
    }

    void swrSpansConvertEachMode()
    {
        QFETCH(TDispMode, mode);
        const TPoints points{{1e6, ValueOfSwr(3, mode)}, {2e6, ValueOfSwr(1.5, mode)}, {3e6, ValueOfSwr(3, mode)}};
        const TSwrSpans r = SwrSpans(points, 0, 1e9, mode);
        QCOMPARE(r.Text, QStringLiteral("2,000,000Hz - 3,000,000Hz\r\n"));
        QCOMPARE(r.Markers, (TPoints{{2e6, points[2].Y}, {3e6, points[2].Y}}));
    }
};

QTEST_GUILESS_MAIN(TestGraphReadout)
#include "TestGraphReadout.moc"
