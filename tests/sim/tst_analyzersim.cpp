// The simulator on the wire: a client on the pseudo-terminal's slave side
// sends commands and checks every byte that comes back, and when.

#include "AnalyzerSim.h"
#include "PtyClient.h"

#include "ReadingMath.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

#include <cmath>
#include <complex>
#include <memory>

Q_DECLARE_METATYPE(TSimLoad)

namespace {

constexpr int kReplyMs = 2000; // generous: unpaced replies come within milliseconds
constexpr int kQuietMs = 150;  // a wire quiet this long has nothing more to say

// The exact bytes of a sweep's replies, from the model.
QByteArray ExpectedSweep(const TAnalyzerSim &sim, qint64 start, qint64 step, int count, bool seriesR,
                         const QByteArray &lineEnd = "\r")
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += QByteArray::number(sim.RawCount(qint32(start + i * step), seriesR)) + lineEnd;
    return out;
}

QList<QByteArray> ExpectedLines(const TAnalyzerSim &sim, qint64 start, qint64 step, int count, bool seriesR)
{
    return ExpectedSweep(sim, start, step, count, seriesR).split('\r').mid(0, count);
}

TSimOptions Unpaced(QByteArray firmware = "SWR 1.2.150", QByteArray lineEnd = "\r")
{
    return {firmware, false, lineEnd};
}

} // namespace

class TestAnalyzerSim : public QObject {
    Q_OBJECT

    std::unique_ptr<TAnalyzerSim> FSim;
    std::unique_ptr<TPtyClient> FClient;

    // A running simulator with a client on its port.
    TAnalyzerSim &Sim(const TSimOptions &options = Unpaced())
    {
        FClient.reset();
        FSim = std::make_unique<TAnalyzerSim>(options);
        FSim->Start();
        FClient = std::make_unique<TPtyClient>(FSim->PortName());
        return *FSim;
    }

    // Sends the commands and waits until the simulator has acted on them.
    bool Command(const QList<QByteArray> &commands)
    {
        const int total = FSim->CommandsHandled() + int(commands.size());
        for (const QByteArray &c : commands)
            FClient->Send(c);
        return FSim->WaitForCommands(total, kReplyMs);
    }

private slots:
    void cleanup()
    {
        FClient.reset();
        FSim.reset();
    }

    void startGivesUsablePort()
    {
        TAnalyzerSim &sim = Sim();
        QVERIFY(sim.IsRunning());
        QVERIFY(sim.PortName().startsWith("/dev/"));
        QVERIFY(FClient->IsOpen());
        sim.Stop();
        QVERIFY(!sim.IsRunning());
        QVERIFY(FClient->WaitHangUp(kReplyMs));
    }

    void sweepRepliesFollowModel_data()
    {
        QTest::addColumn<TSimOptions>("options");
        QTest::addColumn<TSimLoad>("load");
        QTest::addColumn<bool>("seriesR");
        QTest::addColumn<qint32>("start");
        QTest::addColumn<qint32>("step");
        QTest::addColumn<int>("count");
        const TSimLoad dipole{TSimLoadKind::Dipole};
        QTest::newRow("open, 1..150 MHz") << Unpaced() << TSimLoad{} << false << 1000000 << 1000000 << 150;
        QTest::newRow("100 ohm, step 0") << Unpaced() << TSimLoad{TSimLoadKind::Ohm100} << false << 1000000 << 0 << 1;
        QTest::newRow("dipole") << Unpaced() << dipole << false << 6900000 << 2000 << 201;
        QTest::newRow("dipole with series R") << Unpaced() << dipole << true << 6900000 << 2000 << 201;
        QTest::newRow("fixed, falling") << Unpaced() << TSimLoad{TSimLoadKind::Fixed, 30, -40} << false
                                        << 20000000 << -1000000 << 25;
        QTest::newRow("CR LF line ends") << Unpaced("SWR 1.2.150", "\r\n") << dipole << false << 7000000 << 10000 << 30;
        QTest::newRow("lite, past 60 MHz") << Unpaced("1.0.60.lite") << TSimLoad{TSimLoadKind::Ohm50} << false
                                           << 55000000 << 1000000 << 10;
        QTest::newRow("past 150 MHz") << Unpaced() << TSimLoad{TSimLoadKind::Short} << false
                                      << 148000000 << 1000000 << 5;
    }

    // The replies are count lines of the model's readings at f, f + step, ...
    // in order, with nothing else before, between or after them.
    void sweepRepliesFollowModel()
    {
        QFETCH(TSimOptions, options);
        QFETCH(TSimLoad, load);
        QFETCH(bool, seriesR);
        QFETCH(qint32, start);
        QFETCH(qint32, step);
        QFETCH(int, count);
        TAnalyzerSim &sim = Sim(options);
        sim.SetLoad(load);
        QVERIFY(Command({"f " + QByteArray::number(start), seriesR ? "z1" : "z0"}));
        FClient->Send("r " + QByteArray::number(step) + " " + QByteArray::number(count));
        QCOMPARE(FClient->ReadUntilQuiet(kQuietMs), ExpectedSweep(sim, start, step, count, seriesR, options.LineEnd));
    }

    // "f", "z1", "z0", "x", "c" and "o" change the analyzer's state and send
    // nothing back: a following "w" gets the firmware line as the first reply.
    void silentCommandsOnlyChangeState()
    {
        TAnalyzerSim &sim = Sim();
        QVERIFY(Command({"f 7100000", "z1", "x 25000000", "c"}));
        QCOMPARE(sim.Frequency(), 7100000);
        QVERIFY(sim.SeriesR());
        QCOMPARE(sim.XtalFreq(), 25000000);
        QVERIFY(sim.XtalCheckMode());
        QVERIFY(Command({"o", "z0", "o"})); // "o" out of crystal-check mode does no harm
        QVERIFY(!sim.SeriesR());
        QVERIFY(!sim.XtalCheckMode());
        QCOMPARE(FClient->ReadUntilQuiet(300), QByteArray());

        FClient->Send("w");
        QCOMPARE(FClient->ReadUntilQuiet(kQuietMs), QByteArray("SWR 1.2.150\r"));
        QCOMPARE(sim.ReceivedBytes(), QByteArray("f 7100000\rz1\rx 25000000\rc\ro\rz0\ro\rw\r"));
        QCOMPARE(sim.ReceivedCommands(),
                 (QList<QByteArray>{"f 7100000", "z1", "x 25000000", "c", "o", "z0", "o", "w"}));
        sim.ClearLog();
        QVERIFY(sim.ReceivedBytes().isEmpty() && sim.ReceivedCommands().isEmpty());
    }

    void versionReply_data()
    {
        QTest::addColumn<TSimOptions>("options");
        QTest::newRow("default") << Unpaced();
        QTest::newRow("lite 60 MHz") << Unpaced("1.0.60.lite");
        QTest::newRow("CR LF") << Unpaced("SWR 1.2.150", "\r\n");
    }

    void versionReply()
    {
        QFETCH(TSimOptions, options);
        Sim(options);
        FClient->Send("w");
        QCOMPARE(FClient->ReadUntilQuiet(kQuietMs), options.Firmware + options.LineEnd);
    }

    // Unknown or malformed commands are ignored without stalling; LF works as
    // a command end too.
    void badCommandsAreIgnored()
    {
        TAnalyzerSim &sim = Sim();
        QVERIFY(Command({"q", "r 5", "f 12x", "f 3000000000", "r 1000 0", "r 1000 -3", "", "W"}));
        QCOMPARE(sim.Frequency(), 1000000);
        QCOMPARE(FClient->ReadUntilQuiet(300), QByteArray());
        FClient->Write("f 2000000\nr 0 1\n");
        QCOMPARE(FClient->ReadUntilQuiet(kQuietMs), ExpectedSweep(sim, 2000000, 0, 1, false));
    }

    // Commands that arrive while a sweep is being answered are acted on
    // after its last line, in order.
    void commandsDuringSweepWaitForIt()
    {
        TAnalyzerSim &sim = Sim();
        sim.SetLoad({TSimLoadKind::Dipole});
        FClient->Write("f 7000000\rr 1000 40\rz1\rr 1000 40\rz0\rw\r");
        const QByteArray expected = ExpectedSweep(sim, 7000000, 1000, 40, false)
                                    + ExpectedSweep(sim, 7000000, 1000, 40, true) + "SWR 1.2.150\r";
        QCOMPARE(FClient->ReadUntilQuiet(kQuietMs), expected);
        QVERIFY(!sim.SeriesR());
    }

    void faultInjection_data()
    {
        QTest::addColumn<int>("garbageBefore");
        QTest::addColumn<int>("drop");
        QTest::addColumn<bool>("nul");
        QTest::newRow("garbage line before reply 0") << 0 << -1 << false;
        QTest::newRow("garbage line before reply 3") << 3 << -1 << false;
        QTest::newRow("reply 2 dropped") << -1 << 2 << false;
        QTest::newRow("last reply dropped") << -1 << 5 << false;
        QTest::newRow("NUL bytes") << -1 << -1 << true;
    }

    // The fault spoils exactly its sweep; the next one is clean (NUL bytes
    // stay until switched off).
    void faultInjection()
    {
        QFETCH(int, garbageBefore);
        QFETCH(int, drop);
        QFETCH(bool, nul);
        TAnalyzerSim &sim = Sim();
        sim.SetLoad({TSimLoadKind::Fixed, 75, 20});
        if (garbageBefore >= 0)
            sim.InjectGarbageLine(garbageBefore);
        if (drop >= 0)
            sim.DropReplyLine(drop);
        sim.InjectNulBytes(nul);
        QVERIFY(Command({"f 10000000"}));

        const QList<QByteArray> clean = ExpectedLines(sim, 10000000, 100000, 6, false);
        FClient->Send("r 100000 6");
        const QByteArray raw = FClient->ReadUntilQuiet(kQuietMs);
        QList<QByteArray> lines = raw.split('\r');
        QCOMPARE(lines.takeLast(), QByteArray()); // ends with a complete line
        QList<QByteArray> expected = clean;
        if (drop >= 0)
            expected.removeAt(drop);
        if (garbageBefore >= 0) {
            bool isNumber = true;
            lines.at(garbageBefore).toInt(&isNumber);
            QVERIFY(!isNumber && !lines.at(garbageBefore).isEmpty());
            lines.removeAt(garbageBefore);
        }
        if (nul) {
            for (QByteArray &line : lines) {
                QVERIFY(line.contains('\0'));
                line.replace('\0', "");
            }
        }
        QCOMPARE(lines, expected);

        sim.InjectNulBytes(false);
        FClient->Send("r 100000 6");
        QCOMPARE(FClient->ReadUntilQuiet(kQuietMs), clean.join('\r') + '\r');
    }

    void delayedReplyLeavesLater()
    {
        TAnalyzerSim &sim = Sim();
        sim.DelayReplyLine(2, 400);
        QElapsedTimer t;
        t.start();
        FClient->Send("r 0 4");
        QVERIFY(FClient->ReadLines(2, kReplyMs).size() == 2);
        const qint64 second = t.elapsed();
        QVERIFY(FClient->ReadLine(kReplyMs).has_value());
        const qint64 third = t.elapsed();
        QVERIFY2(third - second >= 350 && third - second < 2000, qPrintable(QString::number(third - second)));
        // The rest follows on schedule, not delayed once more.
        QVERIFY(FClient->ReadLine(kReplyMs).has_value());
        QVERIFY(t.elapsed() - third < 300);
    }

    void hangUpMidSweep()
    {
        TAnalyzerSim &sim = Sim();
        sim.HangUpAfter(3);
        FClient->Send("r 1000000 10");
        QCOMPARE(FClient->ReadLines(10, kReplyMs), ExpectedLines(sim, 1000000, 1000000, 3, false));
        QVERIFY(FClient->WaitHangUp(kReplyMs));
        QTRY_VERIFY(!sim.IsRunning());

        // Started again, it serves on a fresh port.
        sim.Start();
        FClient = std::make_unique<TPtyClient>(sim.PortName());
        FClient->Send("w");
        QCOMPARE(FClient->ReadLine(kReplyMs), std::optional<QByteArray>("SWR 1.2.150"));
    }

    // A client that closes the port mid-sweep loses the rest of it; the next
    // client starts on a quiet line. Commands sent before closing still count.
    void clientCloseAndReopen()
    {
        TAnalyzerSim &sim = Sim({"SWR 1.2.150", true, "\r"});
        const int handled = sim.CommandsHandled();
        FClient->Send("r 0 2000"); // about ten seconds at the line rate
        QVERIFY(FClient->ReadLine(kReplyMs).has_value());
        FClient->Send("z1");
        FClient->Close();
        QVERIFY(sim.WaitForCommands(handled + 2, kReplyMs));
        QVERIFY(sim.SeriesR());

        FClient = std::make_unique<TPtyClient>(sim.PortName());
        QElapsedTimer t;
        t.start();
        FClient->Send("w");
        QCOMPARE(FClient->ReadUntilQuiet(300), QByteArray("SWR 1.2.150\r"));
        QVERIFY(t.elapsed() < 1500);
    }

    // The command takes its own line time to come in, and byte k of a paced
    // reply leaves no earlier than k * 10/9600 s after the first, also across
    // two replies back to back; the whole takes about its wire time.
    void pacedSweepKeepsLineRate()
    {
        TAnalyzerSim &sim = Sim({"SWR 1.2.150", true, "\r"});
        sim.SetLoad({TSimLoadKind::Dipole});
        const QByteArray expected = ExpectedSweep(sim, 1000000, 0, 200, false) + "SWR 1.2.150\r";
        const double byteMs = 10.0 * 1000 / 9600;

        QElapsedTimer t;
        t.start();
        const QByteArray command = "r 0 200\r";
        FClient->Write(command + "w\r");
        QByteArray got;
        double early = 0; // how far the worst byte came before its time, ms
        while (got.size() < expected.size()) {
            const QByteArray chunk = FClient->ReadChunk(kReplyMs);
            QVERIFY(!chunk.isEmpty());
            got += chunk;
            early = std::max(early, (command.size() + got.size() - 1) * byteMs - double(t.nsecsElapsed()) / 1e6);
        }
        const double totalMs = double(t.nsecsElapsed()) / 1e6;
        const double wireMs = (command.size() + expected.size() - 1) * byteMs;
        QCOMPARE(got, expected);
        QVERIFY2(early <= 0, qPrintable(QString("a byte came %1 ms early").arg(early)));
        QVERIFY2(totalMs < wireMs * 1.15, qPrintable(QString("%1 ms for %2 ms of wire time").arg(totalMs).arg(wireMs)));
    }

    void unpacedIsFast()
    {
        TAnalyzerSim &sim = Sim();
        QElapsedTimer t;
        t.start();
        FClient->Send("r 1000 1000"); // over five seconds at the line rate
        QCOMPARE(FClient->ReadLines(1000, kReplyMs).size(), 1000);
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        // Paced from the next reply on.
        sim.SetPaced(true);
        t.restart();
        FClient->Send("r 0 100"); // about 0.5 s
        QCOMPARE(FClient->ReadLines(100, kReplyMs).size(), 100);
        QVERIFY2(t.elapsed() > 400, qPrintable(QString::number(t.elapsed())));
    }

    // The program's calibration procedure run against the simulator (open
    // sweep 1..150 MHz, then one 100 ohm reading) makes the program's
    // conversions show the dipole's true SWR, R and |X|, within what the
    // count quantisation allows.
    void calibrationOnTheWireGivesTrueValues()
    {
        TAnalyzerSim &sim = Sim();
        ReadingMath::TCalibration cb;
        FClient->Write("f 1000000\rr 1000000 150\r");
        const QList<QByteArray> open = FClient->ReadLines(150, kReplyMs);
        QCOMPARE(open.size(), 150);
        for (int k = 1; k <= 150; ++k) {
            cb.ZeroLevel[k - 1] = open[k - 1].toInt();
            QCOMPARE(cb.ZeroLevel[k - 1], sim.OpenLevel(k));
        }
        sim.SetLoad({TSimLoadKind::Ohm100});
        FClient->Write("f 1000000\rr 0 1\r");
        const int drop = cb.ZeroLevel[0] - FClient->ReadLine(kReplyMs).value_or("0").toInt();
        QVERIFY(drop > 0);
        cb.Slope = 9.542 / drop;
        const double slopeError = std::abs(cb.Slope - sim.Slope());
        QVERIFY(slopeError < sim.Slope() / drop);

        sim.SetLoad({TSimLoadKind::Dipole});
        FClient->Write("f 6900000\rr 4000 101\rf 6900000\rz1\rr 4000 101\rz0\r");
        const QList<QByteArray> plain = FClient->ReadLines(101, kReplyMs);
        const QList<QByteArray> series = FClient->ReadLines(101, kReplyMs);
        QCOMPARE(plain.size(), 101);
        QCOMPARE(series.size(), 101);
        double bestSWR = 10;
        qint32 bestHz = 0;
        for (int i = 0; i < 101; ++i) {
            const qint32 hz = 6900000 + 4000 * i;
            const int zero = cb.ZeroLevel[hz / 1000000 - 1];
            const int v0 = plain[i].toInt(), v1 = series[i].toInt();
            const double rl0 = ReadingMath::Cvt2RL(cb, hz, v0);
            const double rl1 = ReadingMath::Cvt2RL(cb, hz, v1);
            const double h = sim.Slope() / 2 + std::max(zero - v0, zero - v1) * slopeError;

            const std::complex<double> z = sim.LoadImpedance(hz);
            const double g = std::abs((z - 50.0) / (z + 50.0));
            const double swr = std::min(10.0, (1 + g) / (1 - g));
            const QString where = QString("at %1 Hz").arg(hz);
            QVERIFY2(swr >= ReadingMath::RLToSWR(rl0 - h) - 1e-9 && swr <= ReadingMath::RLToSWR(rl0 + h) + 1e-9,
                     qPrintable(where));
            QVERIFY2(ReadingMath::RXRange(rl0, rl1, h).Holds(z.real(), std::abs(z.imag()), 1e-6), qPrintable(where));
            if (ReadingMath::RLToSWR(rl0) < bestSWR) {
                bestSWR = ReadingMath::RLToSWR(rl0);
                bestHz = hz;
            }
        }
        QVERIFY(bestSWR < 1.3);
        QVERIFY(std::abs(bestHz - 7100000) <= 20000);
    }

    // The program reaches the simulator through QSerialPort with its usual
    // line settings, and can close and open the port again.
    void servesQSerialPort()
    {
        TAnalyzerSim &sim = Sim();
        FClient.reset();
        for (int round = 0; round < 2; ++round) {
            QSerialPort port(sim.PortName());
            port.setBaudRate(QSerialPort::Baud9600);
            port.setDataBits(QSerialPort::Data8);
            port.setParity(QSerialPort::NoParity);
            port.setStopBits(QSerialPort::OneStop);
            port.setFlowControl(QSerialPort::NoFlowControl);
            QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
            port.write("w\r");
            QVERIFY(port.waitForBytesWritten(kReplyMs));
            QByteArray got;
            while (!got.endsWith('\r') && port.waitForReadyRead(kReplyMs))
                got += port.readAll();
            QCOMPARE(got, QByteArray("SWR 1.2.150\r"));
            port.close();
        }
        QCOMPARE(sim.ReceivedBytes(), QByteArray("w\rw\r"));
    }
};

QTEST_GUILESS_MAIN(TestAnalyzerSim)
#include "tst_analyzersim.moc"
