// "Save data": the CSV of the visible tracks, read back with Python's csv
// module, in a locale with a decimal comma too; the file of a failed save.
#include "Conversions.h"
#include "GraphM.h"
#include "SaveData.h"
#include "TrackCsv.h"
#include "Tracks.h"

#include "ErrorOf.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <cmath>

using namespace Vantrel;

namespace {

// The rows of a CSV file as Python's csv module reads them, or a failure.
QJsonArray ReadCsvWithPython(const QString &path)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        return {};
    QProcess p;
    p.start(python, {QStringLiteral("-c"),
                     QStringLiteral("import csv, json, sys\n"
                                    "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                    "    print(json.dumps(list(csv.reader(f, strict=True))))\n"),
                     path});
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        qWarning() << p.readAllStandardError();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
}

// a within 6 significant digits of b, read from the file's text.
bool SixDigits(const QJsonValue &cell, double b)
{
    bool ok = false;
    const double a = cell.toString().toDouble(&ok); // QString::toDouble takes only '.'
    return ok && std::abs(a - b) <= 1e-5 * std::abs(b) + 1e-12;
}

} // namespace

class TestTrackCsv : public QObject
{
    Q_OBJECT

private slots:
    // Two tracks on a graph (the second with a caption that needs quoting
    // and points not in frequency order), written through the program's own
    // save and read back: every value as the curves and the conversions give
    // it, empty cells where a curve has no point, "." whatever the locale.
    void roundTrip_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("locale");
        QTest::newRow("SWR") << int(TDispMode::SWR) << QStringLiteral("C");
        QTest::newRow("Gamma") << int(TDispMode::Gamma) << QStringLiteral("C");
        QTest::newRow("return loss") << int(TDispMode::ReturnLoss) << QStringLiteral("C");
        QTest::newRow("SWR, German locale") << int(TDispMode::SWR) << QStringLiteral("de_DE.UTF-8");
    }
    void roundTrip()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
            QSKIP("python3 is not installed: no CSV reader to check the file against");
        QFETCH(int, mode);
        QFETCH(QString, locale);
        const TDispMode m = TDispMode(mode);
        const QLocale oldDefault;
        QLocale::setDefault(QLocale(locale == u"C" ? QStringLiteral("C") : QStringLiteral("de_DE")));
        const std::string oldNumeric = std::setlocale(LC_NUMERIC, nullptr);
        std::setlocale(LC_NUMERIC, locale.toLatin1().constData()); // when the system has it
        auto restore = qScopeGuard([&] {
            QLocale::setDefault(oldDefault);
            std::setlocale(LC_NUMERIC, oldNumeric.c_str());
        });

        // Return losses of the points, shown in mode m.
        const double rls[] = {-3.5, -12.25, -27.125, -2.0}; // all below the SWR cap of 10
        auto shown = [m](double rl) {
            return m == TDispMode::SWR ? RLToSWR(rl) : m == TDispMode::Gamma ? RLToGamma(rl) : rl;
        };
        TGraphM graph;
        TCurves &curves = *graph.Curves();
        AddTrack(curves, m, true, true);
        for (int i = 0; i < 4; ++i) {
            curves.Items(0)->AddPoint(7000000 + i * 50000, shown(rls[i]));
            curves.Items(1)->AddPoint(7000000 + i * 50000, 40.5 + i);
            if (i < 3) // a sweep stopped in the X pass
                curves.Items(2)->AddPoint(7000000 + i * 50000, 12.345678 * i);
        }
        AddTrack(curves, m, true, true);
        curves.Items(3)->SetCaption(QStringLiteral("Dipole, \"tuned\""));
        curves.Items(3)->AddPoint(14200000, shown(-20));
        curves.Items(3)->AddPoint(14100000, shown(-10));
        curves.Items(4)->SetVisible(false); // hidden: not written
        curves.Items(4)->AddPoint(14100000, 99);
        curves.Items(5)->AddPoint(14100000, 1.5);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sweep.csv"));
        SaveTracksCsv(curves, m, true, true, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray raw = f.readAll();
        QVERIFY2(raw.startsWith(QByteArray(kCsvHeader) + "\r\n"), raw.left(80).constData());

        const QJsonArray rows = ReadCsvWithPython(path);
        QCOMPARE(rows.size(), 1 + 4 + 2);
        struct TExpect {
            QString track;
            double freq, rl;
            QString r, x;
        };
        const TExpect expect[] = {
            {QStringLiteral("%1 1"), 7000000, rls[0], QStringLiteral("40.5"), QStringLiteral("0")},
            {QStringLiteral("%1 1"), 7050000, rls[1], QStringLiteral("41.5"), QStringLiteral("12.3457")},
            {QStringLiteral("%1 1"), 7100000, rls[2], QStringLiteral("42.5"), QStringLiteral("24.6914")},
            {QStringLiteral("%1 1"), 7150000, rls[3], QStringLiteral("43.5"), QString()},
            {QStringLiteral("Dipole, \"tuned\""), 14100000, -10, QString(), QStringLiteral("1.5")},
            {QStringLiteral("Dipole, \"tuned\""), 14200000, -20, QString(), QString()},
        };
        const QString symbol = curves.Items(0)->Caption().section(u' ', 0, 0);
        for (int i = 0; i < 6; ++i) {
            const QJsonArray row = rows[i + 1].toArray();
            const TExpect &e = expect[i];
            QCOMPARE(row.size(), 7);
            QCOMPARE(row[0].toString(), e.track.arg(symbol));
            QCOMPARE(row[1].toString(), QString::number(qint64(e.freq)));
            QVERIFY2(SixDigits(row[2], RLToSWR(e.rl)), qPrintable(row[2].toString()));
            QVERIFY2(SixDigits(row[3], e.rl), qPrintable(row[3].toString()));
            QVERIFY2(SixDigits(row[4], RLToGamma(e.rl)), qPrintable(row[4].toString()));
            QCOMPARE(row[5].toString(), e.r);
            QCOMPARE(row[6].toString(), e.x);
        }
    }

    // The failure names the file and the system's reason; nothing is left.
    void failedSave()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("no-such-folder/sweep.csv"));
        TGraphM graph;
        AddTrack(*graph.Curves(), TDispMode::SWR, false, false);
        graph.Curves()->Items(0)->AddPoint(7000000, 1.5);
        const QString error = ErrorOf([&] { SaveTracksCsv(*graph.Curves(), TDispMode::SWR, false, false, path); });
        QVERIFY2(error.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)), qPrintable(error));
        QVERIFY2(error.size() > path.size() + 25 && !error.contains(u'\n'), qPrintable(error));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(TestTrackCsv)
#include "TestTrackCsv.moc"
