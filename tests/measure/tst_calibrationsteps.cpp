// The calibration steps against the simulated analyzer, without a window:
// what goes on the wire, what lands in the record, the slope's checks and the
// crystal frequency's.
#include "SimPort.h"

#include "CalibrationSteps.h"
#include "Conversions.h"
#include "ErrorOf.h"

#include <QtTest>

using namespace Vantrel;

namespace {

constexpr qint32 kUntouched = -7;

TCalibrationData Untouched()
{
    TCalibrationData cb;
    cb.ZeroLevel.fill(kUntouched);
    cb.Slope = 0.5;
    return cb;
}

} // namespace

class TestCalibrationSteps : public QObject
{
    Q_OBJECT

private slots:
    void openLevels_data()
    {
        QTest::addColumn<QByteArray>("firmware");
        QTest::addColumn<int>("mhz");
        QTest::newRow("150 MHz analyzer") << QByteArray("SWR 1.2.150") << 150;
        QTest::newRow("60 MHz analyzer") << QByteArray("1.0.60.lite") << 60;
    }

    void openLevels()
    {
        QFETCH(QByteArray, firmware);
        QFETCH(int, mhz);
        TSimPort rig(firmware);
        rig.Sim.SetLoad(TSimLoad{TSimLoadKind::Ohm100, 0, 0}); // step 1 reads whatever is on the jack
        TCalibrationData cb = Untouched();
        TProgressLog progress;

        MeasureOpenLevels(cb, mhz * 1000000, progress);

        QCOMPARE(rig.Sim.ReceivedBytes(), "f 1000000\rr 1000000 " + QByteArray::number(mhz) + '\r');
        for (int k = 1; k <= 150; ++k)
            QCOMPARE(cb.ZeroLevel[size_t(k - 1)], k <= mhz ? rig.Sim.RawCount(k * 1000000, false) : kUntouched);
        QCOMPARE(cb.Slope, 0.5);
        QCOMPARE(progress.Calls.size(), mhz + 2);
        QCOMPARE(progress.Calls.first(), QStringLiteral("show Calibration"));
        QCOMPARE(progress.Calls[1], QStringLiteral("Measured at 1 MHz"));
        QCOMPARE(progress.Calls[mhz], QStringLiteral("Measured at %1 MHz").arg(mhz));
        QCOMPARE(progress.Calls.last(), QStringLiteral("close"));
    }

    // A failure part-way keeps what was read and closes the progress.
    void openLevelsFailures_data()
    {
        QTest::addColumn<qint32>("maxFreq");
        QTest::addColumn<int>("hangUpAfter"); // -1: the analyzer stays
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("error");
        QTest::newRow("no analyzer identified") << 999999 << -1 << 0 << "Invalid count value";
        QTest::newRow("analyzer gone after 10 readings") << 150000000 << 10 << 10 << "Port Not Open";
    }

    void openLevelsFailures()
    {
        QFETCH(qint32, maxFreq);
        QFETCH(int, hangUpAfter);
        QFETCH(int, stored);
        TSimPort rig;
        if (hangUpAfter >= 0)
            rig.Sim.HangUpAfter(hangUpAfter);
        TCalibrationData cb = Untouched();
        TProgressLog progress;

        QTEST(ErrorOf([&] { MeasureOpenLevels(cb, maxFreq, progress); }), "error");

        QCOMPARE(rig.Commands(1).value(0), QByteArray("f 1000000"));
        for (int k = 1; k <= 150; ++k)
            QCOMPARE(cb.ZeroLevel[size_t(k - 1)], k <= stored ? rig.Sim.OpenLevel(k) : kUntouched);
        QCOMPARE(progress.Depth, 0);
        QCOMPARE(progress.Calls.size(), stored + 2);
    }

    // Step 1 then step 2 on the simulator: the slope makes the 100 ohm load
    // read SWR 2.00 at every megahertz.
    void slopeGivesSwr2()
    {
        TSimPort rig;
        TCalibrationData cb;
        TProgressLog progress;
        MeasureOpenLevels(cb, 150000000, progress);
        rig.Sim.SetLoad(TSimLoad{TSimLoadKind::Ohm100, 0, 0});
        rig.Sim.ClearLog();

        MeasureSlope(cb);

        QCOMPARE(rig.Sim.ReceivedBytes(), QByteArray("f 1000000\rr 0 1\r"));
        const qint32 reading = rig.Sim.RawCount(1000000, false);
        QCOMPARE(cb.Slope, kLoad100ReturnLoss / (rig.Sim.OpenLevel(1) - reading));
        for (int k = 1; k <= 150; ++k) {
            const qint32 hz = k * 1000000;
            QCOMPARE(qRound(RLToSWR(cb.Cvt2RL(hz, rig.Sim.RawCount(hz, false))) * 100), 200);
        }
    }

    void slopeFromLevels_data()
    {
        QTest::addColumn<qint32>("open");
        QTest::addColumn<qint32>("load");
        QTest::addColumn<double>("slope");
        QTest::addColumn<QString>("error");
        QTest::newRow("600 and 400") << 600 << 400 << 9.542 / 200 << "";
        QTest::newRow("equal") << 600 << 600 << 0.0 << "Floating point division by zero";
        QTest::newRow("100 ohm above open")
            << 600 << 601 << 0.0
            << "The 100 ohm reading (601) is above the open-load level (600): the load or the step 1 data is wrong";
        QTest::newRow("no overflow of the difference") << 2147483647 << -2147483647 - 1 << 9.542 / 4294967295.0 << "";
    }

    void slopeFromLevels()
    {
        QFETCH(qint32, open);
        QFETCH(qint32, load);
        double slope = 0;
        QTEST(ErrorOf([&] { slope = SlopeFromLevels(open, load); }), "error");
        QTEST(slope, "slope");
    }

    // A refused reading leaves the slope as it was.
    void refusedSlopeKeepsSlope_data()
    {
        QTest::addColumn<int>("openOffset"); // the stored 1 MHz level against the 100 ohm reading
        QTest::addColumn<QString>("error");
        QTest::newRow("equal") << 0 << "Floating point division by zero";
        QTest::newRow("above") << -1 << "The 100 ohm reading";
    }

    void refusedSlopeKeepsSlope()
    {
        QFETCH(int, openOffset);
        QFETCH(QString, error);
        TSimPort rig;
        rig.Sim.SetLoad(TSimLoad{TSimLoadKind::Ohm100, 0, 0});
        TCalibrationData cb = Untouched();
        cb.ZeroLevel[0] = rig.Sim.RawCount(1000000, false) + openOffset;
        QVERIFY(ErrorOf([&] { MeasureSlope(cb); }).startsWith(error));
        QCOMPARE(cb.Slope, 0.5);
    }

    void xtalFreq_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint32>("value");
        QTest::addColumn<QString>("error");
        QTest::newRow("lowest") << "10000000" << 10000000 << "";
        QTest::newRow("highest") << "50000000" << 50000000 << "";
        QTest::newRow("one below") << "9999999" << 0 << "Invalid frequency value";
        QTest::newRow("one above") << "50000001" << 0 << "Invalid frequency value";
        QTest::newRow("empty") << "" << 0 << "'' is not a valid integer value";
        QTest::newRow("with a unit") << "25 MHz" << 0 << "'25 MHz' is not a valid integer value";
        QTest::newRow("beyond 32 bits") << "4294967296" << 0 << "'4294967296' is not a valid integer value";
    }

    void xtalFreq()
    {
        QFETCH(QString, text);
        qint32 value = 0;
        QTEST(ErrorOf([&] { value = XtalFreqFromText(text); }), "error");
        QTEST(value, "value");
    }
};

QTEST_GUILESS_MAIN(TestCalibrationSteps)
#include "tst_calibrationsteps.moc"
