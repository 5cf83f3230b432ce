#include "CalibrationData.h"
#include "ErrorOf.h"
#include "FileFaults.h"

#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

using namespace Vantrel;

namespace {

TCalibrationData Sample()
{
    TCalibrationData cal;
    cal.XTalFreq = 25001234;
    cal.Slope = 0.0171234567890123;
    for (int k = 0; k < 150; ++k)
        cal.ZeroLevel[k] = 2000 + 3 * k - (k % 7);
    return cal;
}

TCalibrationData Filled(qint32 v)
{
    TCalibrationData cal;
    cal.ZeroLevel.fill(v);
    return cal;
}

// Lets the process map at most `bytes` more than it has mapped now, for as
// long as it lives: an allocation beyond that fails with std::bad_alloc.
// AddressSanitizer reserves terabytes of shadow memory, so under it there
// is no budget.
class TAddressSpaceBudget
{
public:
    explicit TAddressSpaceBudget(qint64 bytes)
    {
#ifndef __SANITIZE_ADDRESS__
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly) || getrlimit(RLIMIT_AS, &FOld) != 0)
            return;
        const qint64 mapped = statm.readLine().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
        rlimit limited = FOld;
        limited.rlim_cur = rlim_t(mapped + bytes);
        FActive = setrlimit(RLIMIT_AS, &limited) == 0;
#else
        Q_UNUSED(bytes);
#endif
    }
    ~TAddressSpaceBudget()
    {
        if (FActive)
            setrlimit(RLIMIT_AS, &FOld);
    }
    TAddressSpaceBudget(const TAddressSpaceBudget &) = delete;
    TAddressSpaceBudget &operator=(const TAddressSpaceBudget &) = delete;

private:
    rlimit FOld{};
    bool FActive = false;
};

} // namespace

class TestCalibrationData : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString Write(const QByteArray &bytes)
    {
        const QString name = dir.filePath("cal.cfg");
        QFile f(name);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write fixture");
        f.write(bytes);
        return name;
    }

private slots:
    void exactFormat()
    {
        TCalibrationData cal;
        cal.XTalFreq = 25003600;
        cal.Slope = 0.0168;
        cal.ZeroLevel.fill(7);
        cal.ZeroLevel[149] = -1;
        const QString name = dir.filePath("fmt.cfg");
        cal.SaveToFile(name);
        QFile f(name);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray levels;
        for (int k = 0; k < 149; ++k)
            levels += "7,";
        levels += "-1";
        QCOMPARE(f.readAll(), "XTalFreq=25003600\r\nZeroLevel=" + levels + "\r\nSlope=0.0168\r\n");
    }

    void roundTrip()
    {
        const TCalibrationData cal = Sample();
        const QString name = dir.filePath("rt.cfg");
        cal.SaveToFile(name);
        TCalibrationData back;
        back.LoadFromFile(name);
        QCOMPARE(back.XTalFreq, cal.XTalFreq);
        QCOMPARE(back.ZeroLevel, cal.ZeroLevel);
        QVERIFY(qAbs(back.Slope - cal.Slope) <= 1e-14 * cal.Slope); // 15 significant digits
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint32>("xtal");
        QTest::addColumn<double>("slope");
        QTest::addColumn<QList<int>>("firstLevels"); // elements 0..3; the rest must stay 5
        const QList<int> kept{5, 5, 5, 5};
        QTest::newRow("empty file: defaults, levels kept") << QByteArray() << 25003600 << 0.0168 << kept;
        QTest::newRow("names ignore case, first line wins")
            << QByteArray("xtalfreq=24000000\r\nXTALFREQ=1\r\nSLOPE=0.02\r\nzerolevel=1,2,3,4\r\n")
            << 24000000 << 0.02 << QList<int>{1, 2, 3, 4};
        QTest::newRow("scientific slope, LF lines, other names ignored")
            << QByteArray("Other=1\nSlope=1.5e-2\nXTalFreq= 25000000\n") << 25000000 << 0.015 << kept;
        QTest::newRow("invalid values: defaults and zeros")
            << QByteArray("XTalFreq=25000000 \r\nSlope=abc\r\nZeroLevel=9,x, 11,12 \r\n")
            << 25003600 << 0.0168 << QList<int>{9, 0, 11, 0};
        QTest::newRow("short list keeps the rest, trailing comma adds nothing")
            << QByteArray("ZeroLevel=1,2,\r\n") << 25003600 << 0.0168 << QList<int>{1, 2, 5, 5};
        QTest::newRow("empty value changes nothing") << QByteArray("ZeroLevel=\r\n") << 25003600 << 0.0168 << kept;
        QTest::newRow("value keeps later '='") << QByteArray("Slope==1\r\nXTalFreq=1=2\r\n") << 25003600 << 0.0168 << kept;
        QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBFXTalFreq=123\r\n") << 123 << 0.0168 << kept;
        QTest::newRow("UTF-16LE BOM")
            << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(u"XTalFreq=42\r\n"), 13 * 2)
            << 42 << 0.0168 << kept;
        QTest::newRow("integer out of range") << QByteArray("XTalFreq=2147483648\r\n") << 25003600 << 0.0168 << kept;
        QTest::newRow("non-finite slope") << QByteArray("Slope=inf\r\n") << 25003600 << 0.0168 << kept;
        QTest::newRow("tab is no leading space, grouped slope is no number")
            << QByteArray("XTalFreq=\t25000000\r\nSlope=1,000.5\r\nZeroLevel=1,\t2,3\r\n")
            << 25003600 << 0.0168 << QList<int>{1, 0, 3, 5};
    }
    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(qint32, xtal);
        QFETCH(double, slope);
        QFETCH(QList<int>, firstLevels);
        TCalibrationData cal = Filled(5);
        cal.LoadFromFile(Write(file));
        QCOMPARE(cal.XTalFreq, xtal);
        QCOMPARE(cal.Slope, slope);
        for (int k = 0; k < 150; ++k)
            QCOMPARE(cal.ZeroLevel[k], k < firstLevels.size() ? firstLevels[k] : 5);
    }

    void hundredLevelsKeepTheRest()
    {
        QByteArray line = "ZeroLevel=";
        for (int k = 0; k < 100; ++k)
            line += QByteArray::number(1000 + k) + (k < 99 ? "," : "");
        TCalibrationData cal = Filled(-8);
        cal.LoadFromFile(Write(line + "\r\n"));
        QCOMPARE(cal.ZeroLevel[0], 1000);
        QCOMPARE(cal.ZeroLevel[99], 1099);
        QCOMPARE(cal.ZeroLevel[100], -8);
        QCOMPARE(cal.ZeroLevel[149], -8);
    }

    void extraLevelsIgnored()
    {
        QByteArray line = "ZeroLevel=";
        for (int k = 0; k < 160; ++k)
            line += QByteArray::number(k) + ",";
        TCalibrationData cal;
        cal.LoadFromFile(Write(line));
        QCOMPARE(cal.ZeroLevel[149], 149);
    }

    // Only the first 150 levels are used: a list of ten million must load
    // them (and the lines after it) without holding the whole list as
    // separate texts, which took about 1 GB.
    void hugeLevelListLoadsTheFirst150()
    {
        QByteArray block;
        for (int k = 0; k < 1000; ++k)
            block += QByteArray::number(k) + ',';
        const QString name = Write("XTalFreq=24000000\r\nZeroLevel=" + block.repeated(10000) + "\r\nSlope=0.02\r\n");
        TCalibrationData cal = Filled(-8);
        {
            const TAddressSpaceBudget budget(400 << 20);
            cal.LoadFromFile(name);
        }
        for (int k = 0; k < 150; ++k)
            QCOMPARE(cal.ZeroLevel[k], k);
        QCOMPARE(cal.XTalFreq, 24000000);
        QCOMPARE(cal.Slope, 0.02);
    }

    void missingFileRaisesAndKeepsRecord()
    {
        TCalibrationData cal = Sample();
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, cal.LoadFromFile(dir.filePath("absent.cfg")));
        QVERIFY(cal == Sample());
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
        const QByteArray old = "XTalFreq=24000000\r\nZeroLevel=1,2\r\n";
        QVERIFY(folder.Put("vantrel.cfg", old));
        if (const QString why = folder.Start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        const QString path = folder.Path("vantrel.cfg");
        const QString error = ErrorOf([&] { Sample().SaveToFile(path); });
        if (reason.isEmpty()) {
            QCOMPARE(error, QString());
            TCalibrationData back;
            back.LoadFromFile(path);
            QCOMPARE(back.ZeroLevel, Sample().ZeroLevel);
        } else {
            QCOMPARE(error, QStringLiteral("Cannot write file \"%1\". %2").arg(path, reason));
            QCOMPARE(ReadAll(path), old);
        }
        QCOMPARE(folder.Files(), QStringList{"vantrel.cfg"});
    }

    void failedSaveKeepsOldFile()
    {
        // The target's folder does not exist: nothing may be written, the
        // error must reach the caller.
        const TCalibrationData cal = Sample();
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, cal.SaveToFile(dir.filePath("no/such/dir/cal.cfg")));
        // Saving over an existing file replaces it whole.
        const QString name = Write(QByteArray(5000, 'x'));
        cal.SaveToFile(name);
        TCalibrationData back;
        back.LoadFromFile(name);
        QCOMPARE(back.ZeroLevel, cal.ZeroLevel);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).filter("cal.cfg").size(), 1);
    }
};

QTEST_APPLESS_MAIN(TestCalibrationData)
#include "tst_calibrationdata.moc"
