#include "Conversions.h"
#include "CalibrationData.h"
#include "FloatChecks.h"
#include "ErrorOf.h"

#include <QtTest>

#include <cmath>
#include <complex>
#include <limits>

using namespace Vantrel;
using cplx = std::complex<double>;

namespace {

// Return loss in dB of a load Z in a 50 ohm system, straight from Gamma.
double ReturnLossOf(cplx z)
{
    return 20 * std::log10(std::abs((z - 50.0) / (z + 50.0)));
}

} // namespace

class TestConversions : public QObject {
    Q_OBJECT
private slots:
    void freqToIndex_data()
    {
        QTest::addColumn<qint32>("freq");
        QTest::addColumn<int>("index");
        QTest::newRow("0 Hz") << 0 << 1;
        QTest::newRow("negative") << -5000000 << 1;
        QTest::newRow("below 1 MHz") << 999999 << 1;
        QTest::newRow("just below 2 MHz") << 1999999 << 1;
        QTest::newRow("2 MHz") << 2000000 << 2;
        QTest::newRow("last Hz below 151 MHz") << 150999999 << 150;
    }
    void freqToIndex()
    {
        QFETCH(qint32, freq);
        QFETCH(int, index);
        QCOMPARE(FreqToIndex(freq), index);
    }

    void freqLimit()
    {
        QCOMPARE(ErrorOf([] { FreqToIndex(151000000); }), QString("Exceed max freq limit"));
        TCalibrationData cal;
        QCOMPARE(ErrorOf([&] { cal.Cvt2RL(200000000, 100); }), QString("Exceed max freq limit"));
    }

    void cvt2rl()
    {
        TCalibrationData cal;
        cal.Slope = 0.02;
        cal.ZeroLevel[0] = 2000;  // 1 MHz band, also below 1 MHz
        cal.ZeroLevel[6] = 2500;  // 7 MHz band
        QCOMPARE(cal.Cvt2RL(7100000, 2500), 0.0);
        QCOMPARE(cal.Cvt2RL(7999999, 2000), -10.0);
        QCOMPARE(cal.Cvt2RL(500000, 1000), -20.0);
        QCOMPARE(cal.Cvt2RL(7000000, 2600), 0.0); // above the open level: clipped
        // Extreme readings do not overflow the integer difference.
        cal.ZeroLevel[6] = std::numeric_limits<qint32>::max();
        QVERIFY(cal.Cvt2RL(7000000, std::numeric_limits<qint32>::min()) < -1e7);
    }

    void displayConversions_data()
    {
        QTest::addColumn<double>("rl");
        QTest::addColumn<double>("gamma");
        QTest::addColumn<double>("swr");
        QTest::newRow("open") << 0.0 << 0.999 << 10.0;
        QTest::newRow("-20 dB") << -20.0 << 0.1 << 11.0 / 9.0;
        QTest::newRow("100 ohm") << 20 * std::log10(1.0 / 3) << 1.0 / 3 << 2.0;
        QTest::newRow("SWR cap") << -0.5 << std::pow(10, -0.025) << 10.0;
        QTest::newRow("nearly matched") << -200.0 << 1e-10 << (1 + 1e-10) / (1 - 1e-10);
    }
    void displayConversions()
    {
        QFETCH(double, rl);
        QFETCH(double, gamma);
        QFETCH(double, swr);
        QVERIFY(qAbs(RLToGamma(rl) - gamma) < 1e-12);
        QVERIFY(qAbs(RLToSWR(rl) - swr) < 1e-12);
        QVERIFY(qAbs(GammaToSWR(RLToGamma(rl)) - swr) < 1e-9);
        // And back: below the caps the shown SWR or Gamma gives the return
        // loss it came from (near SWR 1 the difference s - 1 loses digits).
        if (swr < 10) {
            QVERIFY(qAbs(GammaToRL(SWRToGamma(swr)) - rl) < 1e-4);
            QVERIFY(qAbs(GammaToRL(gamma) - rl) < 1e-9);
        }
    }

    void gammaToSWREdges()
    {
        QCOMPARE(GammaToSWR(1.0), 10.0);
        QCOMPARE(GammaToSWR(0.0), 1.0);
        QCOMPARE(ErrorOf([] { GammaToSWR(-0.1); }), QString(kFloatInvalidOp));
        QCOMPARE(SWRToGamma(1.0), 0.0);
        QCOMPARE(GammaToRL(0.0), -std::numeric_limits<double>::infinity());
        QCOMPARE(ErrorOf([] { SWRToGamma(0.5); }), QString(kFloatInvalidOp));
        QCOMPARE(ErrorOf([] { GammaToRL(-0.1); }), QString(kFloatInvalidOp));
    }

    // Exact readings of known loads: the loads themselves come back.
    void calcRXKnownLoads_data()
    {
        QTest::addColumn<double>("r");
        QTest::addColumn<double>("x");
        QTest::newRow("100 ohm") << 100.0 << 0.0;
        QTest::newRow("25 ohm") << 25.0 << 0.0;
        QTest::newRow("50+j50") << 50.0 << 50.0;
        QTest::newRow("30-j40") << 30.0 << -40.0;
        QTest::newRow("10+j5") << 10.0 << 5.0;
        QTest::newRow("200-j150") << 200.0 << -150.0;
        QTest::newRow("75+j20") << 75.0 << 20.0;
        QTest::newRow("5-j80") << 5.0 << -80.0;
        QTest::newRow("400+j300") << 400.0 << 300.0;
    }
    void calcRXKnownLoads()
    {
        QFETCH(double, r);
        QFETCH(double, x);
        const cplx z(r, x);
        const TRX rx = CalcRX(ReturnLossOf(z), ReturnLossOf(z + kSeriesResistor));
        QVERIFY2(qAbs(rx.R - r) < 1e-6 * qMax(1.0, r), qPrintable(QString::number(rx.R, 'g', 12)));
        QVERIFY2(qAbs(rx.X - qAbs(x)) < 1e-5 * qMax(1.0, qAbs(x)), qPrintable(QString::number(rx.X, 'g', 12)));
    }

    void calcRXClamps()
    {
        // Circles that meet left of the reactance axis give R = 0.
        const TRX a = CalcRX(-1.0, -0.5);
        QVERIFY(a.R == 0.0);
        // Circles that do not reach each other give X = 0, never NaN.
        const TRX b = CalcRX(-30.0, -0.1);
        QCOMPARE(b.X, 0.0);
        QVERIFY(std::isfinite(b.R));
    }

    void checkedDivide()
    {
        QCOMPARE(CheckedDivide(6, 3), 2.0);
        QCOMPARE(ErrorOf([] { CheckedDivide(1, 0); }), QString(kFloatDivByZero));
        QCOMPARE(ErrorOf([] { CheckedDivide(0, 0); }), QString(kFloatInvalidOp));
    }
};

QTEST_APPLESS_MAIN(TestConversions)
#include "tst_conversions.moc"
