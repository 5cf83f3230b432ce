// The simulator's physics and its pure helpers: what the program computes
// from the simulated counts must be the simulated load's true SWR, R and |X|.

#include "AnalyzerSim.h"
#include "ReplyPacer.h"
#include "SimCommand.h"
#include "SimLoadText.h"
#include "SimModel.h"

#include "ReadingMath.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <complex>

using namespace std::chrono_literals;
using cplx = std::complex<double>;

Q_DECLARE_METATYPE(TSimLoad)

namespace {

// The calibration the program would hold after measuring this simulator perfectly.
ReadingMath::TCalibration ModelCalibration()
{
    ReadingMath::TCalibration cb;
    for (int k = 1; k <= SimModel::kBands; ++k)
        cb.ZeroLevel[k - 1] = SimModel::OpenLevel(k);
    cb.Slope = SimModel::Slope();
    return cb;
}

double TrueSWR(cplx z)
{
    const double g = SimModel::ReflectionMagnitude(z);
    return g >= 1 ? 10 : std::min(10.0, (1 + g) / (1 - g));
}

double SWRAt(const TSimLoad &load, qint32 hz)
{
    const int count = SimModel::RawCount(load, hz, false, 150);
    return ReadingMath::RLToSWR(ReadingMath::Cvt2RL(ModelCalibration(), hz, count));
}


} // namespace

class TestSimModel : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<TSimLoad>("load");
        QTest::addColumn<qint32>("hz");
        const auto fixed = [](double r, double x) { return TSimLoad{TSimLoadKind::Fixed, r, x}; };
        QTest::newRow("100 ohm, 1 MHz") << TSimLoad{TSimLoadKind::Ohm100} << 1000000;
        QTest::newRow("100 ohm, 150 MHz") << TSimLoad{TSimLoadKind::Ohm100} << 150000000;
        QTest::newRow("25 ohm") << fixed(25, 0) << 3500000;
        QTest::newRow("50+j50") << fixed(50, 50) << 28000000;
        QTest::newRow("30-j40") << fixed(30, -40) << 144000000;
        QTest::newRow("150-j100") << fixed(150, -100) << 14000000;
        QTest::newRow("dipole at resonance") << TSimLoad{TSimLoadKind::Dipole} << 7100000;
        QTest::newRow("dipole low edge") << TSimLoad{TSimLoadKind::Dipole} << 7000000;
        QTest::newRow("dipole high edge") << TSimLoad{TSimLoadKind::Dipole} << 7250000;
    }

    // Each reading is off by at most half a count, that is Slope/2 dB; the true
    // values must lie within what that uncertainty allows.
    void roundTrip()
    {
        QFETCH(TSimLoad, load);
        QFETCH(qint32, hz);
        const ReadingMath::TCalibration cb = ModelCalibration();
        const double rl0 = ReadingMath::Cvt2RL(cb, hz, SimModel::RawCount(load, hz, false, 150));
        const double rl1 = ReadingMath::Cvt2RL(cb, hz, SimModel::RawCount(load, hz, true, 150));
        const double h = SimModel::Slope() / 2;

        const cplx z = SimModel::LoadImpedance(load, hz);
        const double trueSWR = TrueSWR(z);
        QVERIFY2(trueSWR >= ReadingMath::RLToSWR(rl0 - h) - 1e-9 && trueSWR <= ReadingMath::RLToSWR(rl0 + h) + 1e-9,
                 qPrintable(QString("SWR %1 from %2 dB").arg(trueSWR).arg(rl0)));

        const ReadingMath::TRX rx = ReadingMath::CalcRX(rl0, rl1);
        const ReadingMath::TRXRange range = ReadingMath::RXRange(rl0, rl1, h);
        QVERIFY2(range.Holds(z.real(), std::abs(z.imag()), 1e-6),
                 qPrintable(QString("true %1, %2; computed %3, %4; allowed R %5..%6, X %7..%8")
                                .arg(z.real()).arg(std::abs(z.imag())).arg(rx.R).arg(rx.X)
                                .arg(range.RLo).arg(range.RHi).arg(range.XLo).arg(range.XHi)));
    }

    // Slope step 2 of the calibration, done on the model: 9.542 dB over the
    // count drop of a 100 ohm load at 1 MHz.
    void calibrationFromModelGivesTrueSlope()
    {
        const int open = SimModel::RawCount({TSimLoadKind::Open}, 1000000, false, 150);
        const int r100 = SimModel::RawCount({TSimLoadKind::Ohm100}, 1000000, false, 150);
        const double slope = 9.542 / (open - r100);
        QCOMPARE(open, SimModel::OpenLevel(1));
        QVERIFY(std::abs(slope - SimModel::Slope()) < SimModel::Slope() / (open - r100));
        // Different enough from the default 0.0168 that an uncalibrated program shows it.
        QVERIFY(std::abs(SimModel::Slope() - 0.0168) > 0.0002);
    }

    void dipoleHasClearDipNearResonance()
    {
        const TSimLoad dipole{TSimLoadKind::Dipole};
        qint32 bestHz = 0;
        double best = 100;
        qint32 lo2 = 0, hi2 = 0; // SWR 2 band edges
        for (qint32 hz = 6500000; hz <= 7700000; hz += 2000) {
            const double s = SWRAt(dipole, hz);
            if (s < best) {
                best = s;
                bestHz = hz;
            }
            if (s <= 2) {
                if (lo2 == 0)
                    lo2 = hz;
                hi2 = hz;
            }
        }
        QVERIFY2(std::abs(bestHz - 7100000) <= 30000, qPrintable(QString::number(bestHz)));
        QVERIFY(best < 1.3);
        QVERIFY2(hi2 - lo2 >= 150000 && hi2 - lo2 <= 300000, qPrintable(QString::number(hi2 - lo2)));
        QVERIFY(SWRAt(dipole, 6500000) > 4);
        QVERIFY(SWRAt(dipole, 7700000) > 4);
    }

    void countsStaySaneOnEveryBand()
    {
        const TSimLoad loads[] = {{TSimLoadKind::Open}, {TSimLoadKind::Short}, {TSimLoadKind::Ohm50},
                                  {TSimLoadKind::Ohm100}, {TSimLoadKind::Dipole}, {TSimLoadKind::Fixed, 0, 0}};
        for (int k = 1; k <= SimModel::kBands; ++k) {
            const qint32 hz = k * 1000000 + (k < SimModel::kBands ? 500000 : 0);
            const int open = SimModel::OpenLevel(k);
            QVERIFY(open >= 1900 && open <= 2600);
            QCOMPARE(SimModel::RawCount({TSimLoadKind::Short}, hz, false, 150), open);
            // A matched load bottoms out at a small positive count and still
            // reads as a near-perfect match.
            const int matched = SimModel::RawCount({TSimLoadKind::Ohm50}, hz, false, 150);
            QVERIFY2(matched > 0 && matched < open / 4, qPrintable(QString("%1 of %2 at band %3").arg(matched).arg(open).arg(k)));
            QVERIFY(ReadingMath::RLToSWR(ReadingMath::Cvt2RL(ModelCalibration(), hz, matched)) < 1.1);
            for (const TSimLoad &load : loads) {
                for (bool seriesR : {false, true}) {
                    const int c = SimModel::RawCount(load, hz, seriesR, 150);
                    QVERIFY(c >= matched && c <= open);
                }
            }
        }
        QVERIFY(SimModel::OpenLevel(1) != SimModel::OpenLevel(75));
    }

    void bandOfFrequency_data()
    {
        QTest::addColumn<qint64>("hz");
        QTest::addColumn<int>("maxMHz");
        QTest::addColumn<int>("band");
        QTest::addColumn<bool>("silent"); // above the analyzer's range: reads open
        QTest::newRow("negative") << qint64(-5) << 150 << 1 << false;
        QTest::newRow("0 Hz") << qint64(0) << 150 << 1 << false;
        QTest::newRow("just below 2 MHz") << qint64(1999999) << 150 << 1 << false;
        QTest::newRow("2 MHz") << qint64(2000000) << 150 << 2 << false;
        QTest::newRow("top of band 150") << qint64(150000000) << 150 << 150 << false;
        QTest::newRow("beyond 150 MHz") << qint64(160000000) << 150 << 150 << true;
        QTest::newRow("lite at 60 MHz") << qint64(60000000) << 60 << 60 << false;
        QTest::newRow("lite above 60 MHz") << qint64(61000000) << 60 << 61 << true;
    }

    void bandOfFrequency()
    {
        QFETCH(qint64, hz);
        QFETCH(int, maxMHz);
        QFETCH(int, band);
        QFETCH(bool, silent);
        const TSimLoad load{TSimLoadKind::Ohm100};
        QCOMPARE(SimModel::BandOf(hz), band);
        const int expected = silent ? SimModel::OpenLevel(band)
                                    : SimModel::OpenLevel(band) + int(std::lround(20 * std::log10(1.0 / 3) / SimModel::Slope()));
        QCOMPARE(SimModel::RawCount(load, hz, false, maxMHz), expected);
    }

    void parseCommand_data()
    {
        using K = TSimCommand::TKind;
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("kind");
        QTest::addColumn<qint32>("a");
        QTest::addColumn<qint32>("b");
        QTest::newRow("f") << QByteArray("f 1000000") << int(K::SetFreq) << 1000000 << 0;
        QTest::newRow("r") << QByteArray("r 1000000 150") << int(K::Sweep) << 1000000 << 150;
        QTest::newRow("r step 0") << QByteArray("r 0 1") << int(K::Sweep) << 0 << 1;
        QTest::newRow("r negative step") << QByteArray("r -5000 3") << int(K::Sweep) << -5000 << 3;
        QTest::newRow("x") << QByteArray("x 25003600") << int(K::SetXtal) << 25003600 << 0;
        QTest::newRow("z1") << QByteArray("z1") << int(K::SeriesOn) << 0 << 0;
        QTest::newRow("z0") << QByteArray("z0") << int(K::SeriesOff) << 0 << 0;
        QTest::newRow("w") << QByteArray("w") << int(K::Version) << 0 << 0;
        QTest::newRow("c") << QByteArray("c") << int(K::XtalCheckOn) << 0 << 0;
        QTest::newRow("o") << QByteArray("o") << int(K::XtalCheckOff) << 0 << 0;
        QTest::newRow("empty") << QByteArray("") << int(K::Unknown) << 0 << 0;
        QTest::newRow("f without number") << QByteArray("f") << int(K::Unknown) << 0 << 0;
        QTest::newRow("f with junk") << QByteArray("f 12x") << int(K::Unknown) << 0 << 0;
        QTest::newRow("f out of range") << QByteArray("f 3000000000") << int(K::Unknown) << 0 << 0;
        QTest::newRow("r one number") << QByteArray("r 1000") << int(K::Unknown) << 0 << 0;
        QTest::newRow("w with argument") << QByteArray("w 1") << int(K::Unknown) << 0 << 0;
        QTest::newRow("unknown") << QByteArray("q") << int(K::Unknown) << 0 << 0;
    }

    void parseCommand()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, kind);
        QFETCH(qint32, a);
        QFETCH(qint32, b);
        const TSimCommand cmd = TSimCommand::Parse(line);
        QCOMPARE(int(cmd.Kind), kind);
        if (cmd.Kind != TSimCommand::TKind::Unknown) {
            QCOMPARE(cmd.A, a);
            QCOMPARE(cmd.B, b);
        }
    }

    void splitCommands()
    {
        TCommandSplitter s;
        QCOMPARE(s.Feed("f 1"), QList<QByteArray>());
        QCOMPARE(s.Feed("000\rz1\r\nz0\nw\r"), (QList<QByteArray>{"f 1000", "z1", "z0", "w"}));
        // The LF of a CR LF split across two chunks ends nothing either.
        QCOMPARE(s.Feed("c\r"), QList<QByteArray>{"c"});
        QCOMPARE(s.Feed("\no\r\r"), (QList<QByteArray>{"o", ""}));
    }

    void parseLoadText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("r");
        QTest::addColumn<double>("x");
        QTest::newRow("dipole") << "Dipole" << true << int(TSimLoadKind::Dipole) << 0.0 << 0.0;
        QTest::newRow("100") << "100" << true << int(TSimLoadKind::Ohm100) << 0.0 << 0.0;
        QTest::newRow("fixed") << "75,-20.5" << true << int(TSimLoadKind::Fixed) << 75.0 << -20.5;
        QTest::newRow("negative R") << "-5,0" << false << 0 << 0.0 << 0.0;
        QTest::newRow("one number") << "75" << false << 0 << 0.0 << 0.0;
        QTest::newRow("word") << "antenna" << false << 0 << 0.0 << 0.0;
    }

    void parseLoadText()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const auto load = ParseSimLoad(text);
        QCOMPARE(load.has_value(), valid);
        if (valid) {
            QFETCH(int, kind);
            QFETCH(double, r);
            QFETCH(double, x);
            QCOMPARE(int(load->Kind), kind);
            QCOMPARE(load->R, r);
            QCOMPARE(load->X, x);
        }
    }

    // Deadlines are absolute: a late writer catches up in one burst instead
    // of shifting every later byte.
    void pacerKeepsAbsoluteSchedule()
    {
        const auto t0 = TReplyPacer::TClock::time_point{} + 1h;
        // When byte k is due, on the clock's tick.
        const auto at = [&](int k) { return t0 + std::chrono::ceil<std::chrono::nanoseconds>(k * TReplyPacer::kByteTime); };
        TReplyPacer p;
        p.Start(t0, true);
        QCOMPARE(p.DueCount(t0, 0, 10), qint64(1));
        QCOMPARE(p.DueCount(at(1) - 1ns, 1, 10), qint64(0));
        QCOMPARE(p.DueCount(at(1), 1, 10), qint64(1));
        // Late with byte 1 next, half-way between bytes 5 and 6: bytes 1..5
        // are due at once, not more.
        QCOMPARE(p.DueCount(at(5) + (at(6) - at(5)) / 2, 1, 100), qint64(5));
        QCOMPARE(p.DueCount(at(5) + (at(6) - at(5)) / 2, 1, 3), qint64(3));
        // A thousand bytes on, the schedule has not drifted.
        QVERIFY(p.Deadline(960) == t0 + 1s);
        QCOMPARE(p.DueCount(t0 + 1s, 6, 10000), qint64(955));

        // A delay moves everything from that byte on, once.
        p.Delay(6, 300ms, at(6));
        QVERIFY(p.Deadline(6) == at(6) + 300ms);
        QVERIFY(p.Deadline(966) == at(6) + 300ms + 1s);
        // ... and counts from now when the stream is behind.
        p.Delay(8, 100ms, t0 + 2s);
        QVERIFY(p.Deadline(8) == t0 + 2s + 100ms);

        // Unpaced: everything due at once; pacing again restarts from now.
        p.SetPaced(false, 9, t0 + 3s);
        QCOMPARE(p.DueCount(t0 + 3s, 9, 1000), qint64(1000));
        p.SetPaced(true, 1009, t0 + 4s);
        QVERIFY(p.Deadline(1009) == t0 + 4s);
        QVERIFY(p.Deadline(1009 + 96) == t0 + 4s + 100ms);
    }

    // The public model methods answer for the selected load.
    void facadeUsesSelectedLoad()
    {
        TAnalyzerSim sim(TSimOptions{"1.0.60.lite", false, "\r"});
        QCOMPARE(sim.MaxMHz(), 60);
        sim.SetLoad({TSimLoadKind::Fixed, 30, -40});
        QCOMPARE(sim.LoadImpedance(5e6), cplx(30, -40));
        QCOMPARE(sim.RawCount(5000000, true),
                 SimModel::RawCount({TSimLoadKind::Fixed, 30, -40}, 5000000, true, 60));
        QCOMPARE(sim.RawCount(70000000, false), sim.OpenLevel(70));
    }
};

QTEST_GUILESS_MAIN(TestSimModel)
#include "tst_simmodel.moc"
