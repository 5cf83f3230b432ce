// Settings file, firmware identification, range box checks, display-mode
// tables and the digit editor's arithmetic: the main window's pure units.
#include "AmateurBands.h"
#include "AppSettings.h"
#include "ErrorOf.h"
#include "FileFaults.h"
#include "DispMode.h"
#include "FirmwareId.h"
#include "FreqDigits.h"
#include "NumberText.h"
#include "RangeCheck.h"
#include "Tracks.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Vantrel;

class TestAppUnits : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;

    QString Path(const char *name) const { return FDir.filePath(QString::fromLatin1(name)); }

    static void Write(const QString &path, const QByteArray &data)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    static QByteArray Read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void missingFileGivesDefaults()
    {
        const TAppSettings s = TAppSettings::Load(Path("none.ini"));
        QCOMPARE(s.range_start, 1000000);
        QCOMPARE(s.range_stop, 30000000);
        QCOMPARE(s.range_points, 100);
        QCOMPARE(s.track_limit, 4);
        QCOMPARE(s.port, QString());
        QCOMPARE(s.disp_mode, TDispMode::SWR);
        QCOMPARE(s.R_vis, false);
        QCOMPARE(s.X_vis, false);
    }

    void readsValues_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("rVis");
        QTest::addColumn<QString>("port");
        QTest::newRow("plain") << QByteArray("range_start=2000000\nrange_points=50\ndisp_mode=2\nR_vis=1\nport=/dev/ttyUSB0\n")
                               << 2000000 << 50 << 2 << true << "/dev/ttyUSB0";
        QTest::newRow("hex and nonzero bool") << QByteArray("range_start=0x1E8480\nrange_points=0X10\nR_vis=7\n")
                                              << 2000000 << 16 << 0 << true << "";
        QTest::newRow("garbage gives defaults") << QByteArray("range_start=12k\nrange_points=\nR_vis=yes\ndisp_mode=0xZZ\n")
                                                << 1000000 << 100 << 0 << false << "";
        QTest::newRow("mode out of table") << QByteArray("disp_mode=3\n") << 1000000 << 100 << 0 << false << "";
        QTest::newRow("negative mode") << QByteArray("disp_mode=-1\n") << 1000000 << 100 << 0 << false << "";
        QTest::newRow("zero intervals") << QByteArray("range_points=0\n") << 1000000 << 100 << 0 << false << "";
        QTest::newRow("key case, spaces, CRLF") << QByteArray("RANGE_START = 3000000\r\nRange_Points=7\r\n")
                                                << 3000000 << 7 << 0 << false << "";
    }

    void readsValues()
    {
        QFETCH(QByteArray, body);
        const QString path = Path("read.ini");
        Write(path, "[Other]\nrange_start=5\n[Settings]\n" + body);
        const TAppSettings s = TAppSettings::Load(path);
        QTEST(s.range_start, "start");
        QTEST(s.range_points, "points");
        QTEST(int(s.disp_mode), "mode");
        QTEST(s.R_vis, "rVis");
        QTEST(s.port, "port");
    }

    void roundTripKeepsForeignLines()
    {
        const QString path = Path("keep.ini");
        Write(path, "; a comment\n[Window]\nleft=10\n\n[Settings]\nrange_stop=1\nmy_key=abc\n\n[Tail]\nx=1\n");
        TAppSettings s;
        s.range_start = 1234567;
        s.range_stop = 7654321;
        s.range_points = 33;
        s.track_limit = 6;
        s.port = QStringLiteral("/dev/rfcomm0");
        s.disp_mode = TDispMode::Gamma;
        s.R_vis = true;
        s.X_vis = false;
        s.Save(path);

        const TAppSettings back = TAppSettings::Load(path);
        QCOMPARE(back.range_start, s.range_start);
        QCOMPARE(back.range_stop, s.range_stop);
        QCOMPARE(back.range_points, s.range_points);
        QCOMPARE(back.track_limit, s.track_limit);
        QCOMPARE(back.port, s.port);
        QCOMPARE(back.disp_mode, s.disp_mode);
        QCOMPARE(back.R_vis, s.R_vis);
        QCOMPARE(back.X_vis, s.X_vis);

        const QByteArray text = Read(path);
        QCOMPARE(text, QByteArray("; a comment\n[Window]\nleft=10\n\n[Settings]\nrange_stop=7654321\nmy_key=abc\n"
                                  "range_start=1234567\nrange_points=33\ntrack_limit=6\nport=/dev/rfcomm0\n"
                                  "disp_mode=1\nR_vis=1\nX_vis=0\n\n[Tail]\nx=1\n"));
    }

    // Lines the program does not own come back byte for byte, also where
    // they are not UTF-8 (Latin-1 here) or hold an invalid sequence.
    void foreignBytesKeptByteForByte()
    {
        const QString path = Path("bytes.ini");
        const QByteArray head = "; caf\xE9 au lait\n[Autre]\nnom=\xE9t\xE9\n\xC3(\xFF\n\n[Settings]\n";
        const QByteArray tail = "note=d\xE9j\xE0 vu\n";
        Write(path, head + "range_start=5\n" + tail);
        TAppSettings s;
        s.port = QStringLiteral("/dev/ttyS\u00e9");
        s.Save(path);
        QCOMPARE(Read(path), head + "range_start=1000000\n" + tail +
                                 "range_stop=30000000\nrange_points=100\ntrack_limit=4\nport=/dev/ttyS\xC3\xA9\n"
                                 "disp_mode=0\nR_vis=0\nX_vis=0\n");
        QCOMPARE(TAppSettings::Load(path).port, s.port);
    }

    void newFileHasKeysInOrder()
    {
        const QString path = Path("new.ini");
        TAppSettings().Save(path);
        QCOMPARE(Read(path), QByteArray("[Settings]\nrange_start=1000000\nrange_stop=30000000\nrange_points=100\n"
                                        "track_limit=4\nport=\ndisp_mode=0\nR_vis=0\nX_vis=0\n"));
    }

    void unwritableFileFails()
    {
        const QString path = Path("missing-dir/x.ini");
        QCOMPARE(ErrorOf([&] { TAppSettings().Save(path); }), "Unable to write to " + path + ". " + qt_error_string(ENOENT));
    }

    // A save that cannot complete says why and leaves the old file byte for
    // byte; where only new files are refused, the file is rewritten in place.
    void saveUnderFileFaults_data()
    {
        AddSaveFaultRows();
    }

    void saveUnderFileFaults()
    {
        QFETCH(int, faults);
        QFETCH(QString, reason);
        TFaultyFolder folder(faults);
        const QByteArray old = "; mine\n[Settings]\nrange_start=5\n";
        QVERIFY(folder.Put("vantrel.ini", old));
        if (const QString why = folder.Start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        const QString path = folder.Path("vantrel.ini");
        TAppSettings s;
        s.range_start = 7;
        const QString error = ErrorOf([&] { s.Save(path); });
        if (reason.isEmpty()) {
            QCOMPARE(error, QString());
            QCOMPARE(TAppSettings::Load(path).range_start, 7);
            QVERIFY(ReadAll(path).startsWith("; mine\n"));
        } else {
            QCOMPARE(error, QStringLiteral("Unable to write to %1. %2").arg(path, reason));
            QCOMPARE(ReadAll(path), old);
        }
        QCOMPARE(folder.Files(), QStringList{"vantrel.ini"});
    }

    void firmwareId_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("maxFreq");
        QTest::addColumn<bool>("hasLite");
        QTest::addColumn<bool>("lite");
        QTest::newRow("prefix") << "SWR 1.0.150" << "1.0.150" << 150000000 << true << false;
        QTest::newRow("lite") << "1.0.60.lite" << "1.0.60.lite" << 60000000 << true << true;
        QTest::newRow("ceiling") << "SWR 1.0.200" << "1.0.200" << 150000000 << true << false;
        QTest::newRow("huge field") << "1.0.5000" << "1.0.5000" << 150000000 << true << false;
        QTest::newRow("not a number") << "1.0.abc" << "1.0.abc" << 150000000 << true << false;
        QTest::newRow("two parts") << "1.0" << "1.0" << 150000000 << false << false;
        QTest::newRow("trailing dot") << "1.0." << "1.0." << 150000000 << false << false;
        QTest::newRow("empty parts count") << "..60" << "..60" << 60000000 << true << false;
        QTest::newRow("empty") << "" << "" << 150000000 << false << false;
        QTest::newRow("prefix is case-sensitive") << "swr 1.0.50" << "swr 1.0.50" << 50000000 << true << false;
        QTest::newRow("lite is case-sensitive") << "1.0.60.Lite" << "1.0.60.Lite" << 60000000 << true << false;
    }

    void firmwareId()
    {
        QFETCH(QString, line);
        const TFirmwareId f = ParseFirmwareId(line);
        QTEST(f.Id, "id");
        QTEST(int(f.MaxFreq), "maxFreq");
        QTEST(f.HasLiteField(), "hasLite");
        QTEST(f.Lite, "lite");
    }

    void rangeBox_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<QString>("points");
        QTest::addColumn<int>("maxFreq");
        QTest::addColumn<QString>("error");
        const int m = 150000000;
        QTest::newRow("ok") << "1000000" << "30000000" << "100" << m << "";
        QTest::newRow("lowest start") << "100000" << "200000" << "1" << m << "";
        QTest::newRow("start = stop") << "5000000" << "5000000" << "10" << m << "";
        QTest::newRow("stop = max") << "1000000" << "150000000" << "10" << m << "";
        QTest::newRow("start too low") << "99999" << "200000" << "1" << m << "Invalid start freq";
        QTest::newRow("stop above max") << "1000000" << "150000001" << "10" << m << "Invalid stop freq";
        QTest::newRow("not identified") << "1000000" << "2000000" << "10" << 0 << "Invalid stop freq";
        QTest::newRow("reversed") << "5000000" << "1000000" << "10" << m << "Invalid start/stop freq";
        QTest::newRow("no intervals") << "1000000" << "2000000" << "0" << m << "Invalid points count";
        QTest::newRow("empty edit") << "1000000" << "" << "10" << m << "'' is not a valid integer value";
        QTest::newRow("text") << "1 MHz" << "2000000" << "10" << m << "'1 MHz' is not a valid integer value";
        // The texts are read before any check, so a bad points text wins.
        QTest::newRow("bad points first") << "5" << "1" << "x" << m << "'x' is not a valid integer value";
    }

    void rangeBox()
    {
        QFETCH(QString, start);
        QFETCH(QString, stop);
        QFETCH(QString, points);
        QFETCH(int, maxFreq);
        QFETCH(QString, error);
        try {
            const TSweepRange r = CheckRange(start, stop, points, maxFreq);
            QCOMPARE(QString(), error);
            QCOMPARE(r.Start, start.toInt());
            QCOMPARE(r.Stop, stop.toInt());
            QCOMPARE(r.Points, points.toInt());
        } catch (const std::runtime_error &e) {
            QCOMPARE(QString::fromUtf8(e.what()), error);
        }
    }

    // The band list: the bands that fit under the analyzer's top frequency,
    // each widened by a tenth of its width and held at that top, and each
    // one a range the range box accepts.
    void bandList_data()
    {
        QTest::addColumn<int>("maxFreq");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("lastStart");
        QTest::addColumn<int>("lastStop");
        const QStringList hf{"160 m", "80 m", "60 m", "40 m", "30 m", "20 m", "17 m", "15 m", "12 m", "10 m"};
        QTest::newRow("150 MHz") << 150000000 << hf + QStringList{"6 m", "2 m"} << 143600000 << 148400000;
        QTest::newRow("60 MHz") << 60000000 << hf + QStringList{"6 m"} << 49600000 << 54400000;
        QTest::newRow("6 m top beyond the analyzer") << 53000000 << hf << 27830000 << 29870000;
        QTest::newRow("widened top held at MaxFreq") << 29800000 << hf << 27830000 << 29800000;
        QTest::newRow("not identified") << 0 << QStringList() << 0 << 0;
    }
    void bandList()
    {
        QFETCH(int, maxFreq);
        QFETCH(QStringList, names);
        QFETCH(int, lastStart);
        QFETCH(int, lastStop);
        const std::vector<TBand> bands = BandsUpTo(maxFreq);
        QStringList got;
        for (const TBand &b : bands) {
            got << b.Name;
            QCOMPARE(ErrorOf([&] {
                         CheckRange(QString::number(b.Start), QString::number(b.Stop), QStringLiteral("100"), maxFreq);
                     }),
                     QString());
        }
        QCOMPARE(got, names);
        if (bands.empty())
            return;
        QCOMPARE(bands.back().Start, lastStart);
        QCOMPARE(bands.back().Stop, lastStop);
        // 40 m, 7.0 .. 7.3 MHz, and 30 m, 50 kHz wide.
        QCOMPARE(bands[3].Start, 6970000);
        QCOMPARE(bands[3].Stop, 7330000);
        QCOMPARE(bands[4].Start, 10095000);
        QCOMPARE(bands[4].Stop, 10155000);
    }

    void dispModeCaption_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("r");
        QTest::addColumn<bool>("x");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("perTrack");
        QTest::newRow("swr") << 0 << false << false << "SWR" << 1;
        QTest::newRow("gamma x") << 1 << false << true << "Gamma X" << 2;
        QTest::newRow("rl r") << 2 << true << false << "Return loss R" << 2;
        QTest::newRow("rl r+x") << 2 << true << true << "Return loss R+X" << 3;
    }

    void dispModeCaption()
    {
        QFETCH(int, mode);
        QFETCH(bool, r);
        QFETCH(bool, x);
        QTEST(DispModeCaption(TDispMode(mode), r, x), "caption");
        QTEST(CurvesPerTrack(r, x), "perTrack");
    }

    // The C library's table lookup is defined for 8-bit values only; every
    // UTF-16 code unit must get an answer, and only ASCII digits a yes.
    void hexDigitTestCoversEveryCharacter()
    {
        QString accepted;
        for (char32_t c = 0; c <= 0xFFFF; ++c)
            if (IsHexDigit(QChar(c)))
                accepted += QChar(c);
        QCOMPARE(accepted, QStringLiteral("0123456789ABCDEFabcdef"));
        QCOMPARE(ParseIntOrHex(QStringLiteral("0x1") + QChar(0x374C)), std::nullopt);
        QCOMPARE(ParseIntOrHex(QStringLiteral("0x1f")), 31);
    }

    void freqFormatUsesLocaleGrouping()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(FormatFreq(1000000) + " - " + FormatFreq(30000000), QStringLiteral("1,000,000 - 30,000,000"));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(FormatFreq(1000000), QStringLiteral("1.000.000"));
        QLocale::setDefault(QLocale::c());
    }

    // The panel text of an edit text, and that its nine digits, each weighted
    // by its position's place value, spell the value again.
    void freqPanelText_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("panel");
        QTest::newRow("start") << "1000000" << "001.000.000";
        QTest::newRow("stop") << "30000000" << "030.000.000";
        QTest::newRow("all places") << "123456789" << "123.456.789";
        QTest::newRow("zero") << "0" << "000.000.000";
        QTest::newRow("not a number") << "1 MHz" << "000.000.000";
        QTest::newRow("empty") << "" << "000.000.000";
        // Clamped into the nine digits, so no position loses its place value.
        QTest::newRow("negative") << "-5000" << "000.000.000";
        QTest::newRow("ten digits") << "1234567890" << "999.999.999";
        QTest::newRow("beyond 32 bits") << "99999999999" << "000.000.000";
    }

    void freqPanelText()
    {
        QFETCH(QString, edit);
        QFETCH(QString, panel);
        const qint32 v = FreqDigits::FromEditText(edit);
        QCOMPARE(FreqDigits::PanelText(v), panel);
        qint64 spelled = 0;
        for (int col = 0; col < panel.size(); ++col) {
            const qint32 place = FreqDigits::PlaceValue(col);
            QCOMPARE(place == 0, panel[col] == u'.');
            spelled += place * panel[col].digitValue();
        }
        QCOMPARE(spelled, qint64(v));
    }

    void freqColumnAt_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("charWidth");
        QTest::addColumn<int>("col");
        QTest::newRow("left edge") << 0.0 << 17.0 << 0;
        QTest::newRow("end of first") << 16.9 << 17.0 << 0;
        QTest::newRow("second") << 17.0 << 17.0 << 1;
        QTest::newRow("fractional width") << 174.0 << 17.4 << 10;
        QTest::newRow("last") << 186.9 << 17.0 << 10;
        QTest::newRow("right of the text") << 187.0 << 17.0 << 11;
        QTest::newRow("left of the text") << -0.5 << 17.0 << -1;
        QTest::newRow("no font width") << 5.0 << 0.0 << -1;
    }

    void freqColumnAt()
    {
        QFETCH(double, x);
        QFETCH(double, charWidth);
        QTEST(FreqDigits::ColumnAt(x, charWidth), "col");
    }

    // -1 in "result": the turn changes nothing.
    void freqWheel_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("maxFreq");
        QTest::addColumn<int>("result");
        const int m = 150000000;
        QTest::newRow("1 MHz up") << 1000000 << 2 << 120 << m << 2000000;
        QTest::newRow("down to the floor") << 1000000 << 0 << -120 << m << 100000;
        QTest::newRow("1 Hz down") << 1000000 << 10 << -120 << m << 999999;
        QTest::newRow("capped at max") << 100000000 << 0 << 120 << m << 150000000;
        QTest::newRow("up to exactly max") << 149000000 << 2 << 120 << m << 150000000;
        QTest::newRow("not identified") << 1000000 << 5 << 120 << 0 << 0;
        QTest::newRow("size of delta ignored") << 1000000 << 10 << 960 << m << 1000001;
        QTest::newRow("below floor goes up to it") << 50000 << 10 << -1 << m << 100000;
        QTest::newRow("above max comes down to it") << 200000000 << 10 << 1 << m << m;
        QTest::newRow("stays in nine digits") << 999999999 << 0 << 120 << 2147483647 << 999999999;
        QTest::newRow("first point") << 1000000 << 3 << 120 << m << -1;
        QTest::newRow("second point") << 1000000 << 7 << -120 << m << -1;
        QTest::newRow("zero delta") << 1000000 << 2 << 0 << m << -1;
        QTest::newRow("right of the text") << 1000000 << 11 << 120 << m << -1;
        QTest::newRow("left of the text") << 1000000 << -1 << 120 << m << -1;
    }

    void freqWheel()
    {
        QFETCH(int, value);
        QFETCH(int, col);
        QFETCH(int, delta);
        QFETCH(int, maxFreq);
        QTEST(FreqDigits::Wheel(value, col, delta, maxFreq).value_or(-1), "result");
    }

    void freqZeroRight_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("result");
        QTest::newRow("kHz digit") << 14074321 << 5 << 14070000;
        QTest::newRow("MHz digit") << 14074321 << 2 << 14000000;
        QTest::newRow("last digit keeps all") << 14074321 << 10 << 14074321;
        QTest::newRow("raised to the floor") << 99000 << 0 << 100000;
        QTest::newRow("point") << 14074321 << 7 << -1;
        QTest::newRow("outside") << 14074321 << 11 << -1;
    }

    void freqZeroRight()
    {
        QFETCH(int, value);
        QFETCH(int, col);
        QTEST(FreqDigits::ZeroRight(value, col).value_or(-1), "result");
    }
};

QTEST_GUILESS_MAIN(TestAppUnits)
#include "TestAppUnits.moc"
