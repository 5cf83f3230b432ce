#include "FileFaults.h"
#include "ReplaceFile.h"

#include <QFileInfo>
#include <QtTest>

#include <cerrno>

using namespace Vantrel;

class TestReplaceFile : public QObject
{
    Q_OBJECT
private slots:
    void replacesTheWholeFileKeepingModeAndLinks()
    {
        TFaultyFolder folder(0);
        QVERIFY(folder.Put("a.ini", QByteArray(5000, 'x')));
        QCOMPARE(::chmod(QFile::encodeName(folder.Path("a.ini")).constData(), 0640), 0);
        QVERIFY(QFile::link(folder.Path("a.ini"), folder.Path("link.ini")));

        QCOMPARE(ReplaceFile(folder.Path("link.ini"), "new\n").has_value(), false);
        QCOMPARE(ReadAll(folder.Path("a.ini")), QByteArray("new\n"));
        QVERIFY(QFileInfo(folder.Path("link.ini")).isSymLink());
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(folder.Path("a.ini")).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));

        QCOMPARE(ReplaceFile(folder.Path("b.cfg"), "made\n").has_value(), false);
        QCOMPARE(ReadAll(folder.Path("b.cfg")), QByteArray("made\n"));
        QCOMPARE(folder.Files(), (QStringList{"a.ini", "b.cfg", "link.ini"}));
    }

    void failureKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("faults");
        QTest::addColumn<QString>("name");  // the file to replace; "old.ini" exists
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("error");
        using F = TFaultyFolder;
        QTest::newRow("full disk") << int(F::FullDisk) << "old.ini" << int(TFileWriteError::Write) << ENOSPC;
        QTest::newRow("file size limit") << int(F::SizeLimit) << "old.ini" << int(TFileWriteError::Write) << EFBIG;
        QTest::newRow("in place, file size limit")
            << int(F::NoNewFiles | F::SizeLimit) << "old.ini" << int(TFileWriteError::Write) << EFBIG;
        QTest::newRow("in place, full disk")
            << int(F::NoNewFiles | F::FullDisk) << "old.ini" << int(TFileWriteError::Write) << ENOSPC;
        QTest::newRow("read-only file") << int(F::ReadOnlyFiles) << "old.ini" << int(TFileWriteError::Create) << EACCES;
        QTest::newRow("no new files, no file") << int(F::NoNewFiles) << "new.ini" << int(TFileWriteError::Create) << EACCES;
        QTest::newRow("no folder") << 0 << "none/new.ini" << int(TFileWriteError::Create) << ENOENT;
    }

    void failureKeepsTheOldFile()
    {
        QFETCH(int, faults);
        QFETCH(QString, name);
        QFETCH(int, step);
        QFETCH(int, error);
        TFaultyFolder folder(faults);
        const QByteArray old = "[Old]\n\xE9\n";
        QVERIFY(folder.Put("old.ini", old));
        if (const QString why = folder.Start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        // Larger than the size limit and than the free room: a page of its own.
        const std::optional<TFileWriteError> failure = ReplaceFile(folder.Path(name), QByteArray(8192, 'n'));
        QVERIFY(failure.has_value());
        QCOMPARE(int(failure->Step), step);
        QCOMPARE(failure->Reason, qt_error_string(error));
        QCOMPARE(ReadAll(folder.Path("old.ini")), old);
        QCOMPARE(folder.Files(), QStringList{"old.ini"});
    }

    void inPlaceWhereTheFolderRefusesNewFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("longer") << QByteArray(3000, 'L');
        QTest::newRow("shorter") << QByteArray("s\n");
        QTest::newRow("empty") << QByteArray();
    }

    void inPlaceWhereTheFolderRefusesNewFiles()
    {
        QFETCH(QByteArray, bytes);
        TFaultyFolder folder(TFaultyFolder::NoNewFiles);
        QVERIFY(folder.Put("old.ini", QByteArray(100, 'o')));
        if (const QString why = folder.Start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QCOMPARE(ReplaceFile(folder.Path("old.ini"), bytes).has_value(), false);
        QCOMPARE(ReadAll(folder.Path("old.ini")), bytes);
        QCOMPARE(folder.Files(), QStringList{"old.ini"});
    }
};

QTEST_GUILESS_MAIN(TestReplaceFile)
#include "tst_replacefile.moc"
