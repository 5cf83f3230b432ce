// Ports that explain themselves (the list's entries, their order and its
// re-reading, the help after a failed open), the command line, and where the
// settings and calibration files live.
#include "FormRig.h"

#include "AppFiles.h"
#include "CommandLine.h"
#include "PortComboBox.h"
#include "PortHelp.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QtTest>

#include <grp.h>

#include <cerrno>

using namespace Vantrel;

class TestPortsAndStart : public QObject
{
    Q_OBJECT

private slots:
    void openFailureText_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("help"); // what the second line holds; empty: no second line
        QTest::newRow("no permission") << EACCES << "dialout" << "sudo usermod -aG dialout $USER";
        QTest::newRow("another group") << EACCES << "uucp" << "group \"uucp\" that owns it (sudo usermod -aG uucp $USER)";
        QTest::newRow("group unknown") << EACCES << "" << "sudo usermod -aG dialout $USER";
        QTest::newRow("gone") << ENOENT << "dialout" << "the analyzer was unplugged";
        QTest::newRow("hung up") << EIO << "dialout" << "the analyzer was unplugged";
        QTest::newRow("no such device") << ENXIO << "" << "the analyzer was unplugged";
        QTest::newRow("held by another program") << EBUSY << "dialout" << "";
    }
    void openFailureText()
    {
        QFETCH(int, code);
        QFETCH(QString, group);
        QFETCH(QString, help);
        const QString first = QStringLiteral("Unable to open com port (Error: %1)").arg(code);
        const QStringList lines = OpenFailureText(first, code, group).split(u'\n');
        QCOMPARE(lines.first(), first);
        QCOMPARE(lines.size(), help.isEmpty() ? 1 : 2);
        if (!help.isEmpty())
            QVERIFY2(lines[1].contains(help), qPrintable(lines[1]));
        if (code == EACCES)
            QVERIFY2(lines[1].endsWith(QStringLiteral("then log in again.")), qPrintable(lines[1]));
    }

    // The real failure of a device that is not there, and the group read
    // from a device file.
    void openFailureFromTheSystem()
    {
        TFormRig rig;
        rig.Create().OpenPortNamed(QStringLiteral("/dev/vantrel-unplugged"));
        QCOMPARE(rig.Errors.size(), 1);
        const QString error = rig.Errors.first();
        QCOMPARE(error.section(u'\n', 0, 0), QStringLiteral("Unable to open com port (Error: %1)").arg(ENOENT));
        QVERIFY2(error.section(u'\n', 1).contains(QStringLiteral("unplugged")), qPrintable(error));

        // The group named is the one whose members may use the device.
        QTemporaryFile f;
        QVERIFY(f.open());
        const group *g = getgrgid(QFileInfo(f.fileName()).groupId());
        QVERIFY(g);
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup));
        QCOMPARE(DeviceAccessGroup(f.fileName()), QString::fromLocal8Bit(g->gr_name));
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QCOMPARE(DeviceAccessGroup(f.fileName()), QString());
        QCOMPARE(DeviceAccessGroup(QStringLiteral("/dev/vantrel-unplugged")), QString());
    }

    // USB adapters first, each with its description; the simulator last;
    // the list is read again when it drops down and keeps the choice; what
    // is opened (and kept in the settings) is the device alone.
    void systemPortsAreSortedDevicePaths()
    {
        const std::vector<TPortEntry> ports = SystemPorts();
        if (ports.empty())
            QSKIP("this machine has no serial ports");
        const std::vector<TPortEntry> sorted = SortedPorts(ports);
        for (size_t i = 0; i < ports.size(); ++i) {
            QCOMPARE(ports[i].Device, sorted[i].Device);
            QVERIFY2(ports[i].Device.startsWith(QStringLiteral("/dev/")), qPrintable(ports[i].Device));
        }
    }

    void portList()
    {
        TPortComboBox box(nullptr);
        std::vector<TPortEntry> ports{{QStringLiteral("/dev/ttyS0"), QString(), false},
                                      {QStringLiteral("/dev/ttyUSB1"), QStringLiteral("CP2102 USB to UART"), true},
                                      {QStringLiteral("/dev/ttyACM0"), QStringLiteral("Analyzer CDC"), true}};
        box.ReadPorts = [&] { return SortedPorts(ports); };
        box.Refill();
        auto texts = [&] {
            QStringList t;
            for (int i = 0; i < box.count(); ++i)
                t << box.itemText(i);
            return t;
        };
        QCOMPARE(texts(), (QStringList{QStringLiteral("/dev/ttyACM0 \u2014 Analyzer CDC"),
                                       QStringLiteral("/dev/ttyUSB1 \u2014 CP2102 USB to UART"),
                                       QStringLiteral("/dev/ttyS0"), QStringLiteral("Simulator")}));
        QCOMPARE(box.CurrentPort(), QString());

        box.SelectPort(QStringLiteral("/dev/ttyUSB1"));
        QCOMPARE(box.currentText(), QStringLiteral("/dev/ttyUSB1 \u2014 CP2102 USB to UART"));
        QCOMPARE(box.CurrentPort(), QStringLiteral("/dev/ttyUSB1"));

        // Plugged in after start: there when the list drops down.
        ports.push_back({QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"), true});
        box.showPopup();
        box.hidePopup();
        QCOMPARE(box.count(), 5);
        QCOMPARE(box.itemText(1), QStringLiteral("/dev/ttyUSB0 \u2014 FT232R USB UART"));
        QCOMPARE(box.CurrentPort(), QStringLiteral("/dev/ttyUSB1"));

        // A typed path stays typed across a re-read.
        box.setEditText(QStringLiteral("/dev/rfcomm0"));
        box.showPopup();
        box.hidePopup();
        QCOMPARE(box.CurrentPort(), QStringLiteral("/dev/rfcomm0"));
        box.SelectPort(QStringLiteral("Simulator"));
        QCOMPARE(box.CurrentPort(), QStringLiteral("Simulator"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("text"); // contained in the text to print
        using A = TCommandLine::TAction;
        QTest::newRow("none") << QStringList{} << int(A::Run) << "" << "";
        QTest::newRow("simulator") << QStringList{"--port", "Simulator"} << int(A::Run) << "Simulator" << "";
        QTest::newRow("device") << QStringList{"--port=/dev/ttyUSB0"} << int(A::Run) << "/dev/ttyUSB0" << "";
        QTest::newRow("version") << QStringList{"--version"} << int(A::Print) << "" << "vantrel 1.3";
        QTest::newRow("help") << QStringList{"--help"} << int(A::Print) << "" << "--port <name>";
        QTest::newRow("port without name") << QStringList{"--port"} << int(A::Fail) << "" << "--help";
        QTest::newRow("unknown option") << QStringList{"--bogus"} << int(A::Fail) << "" << "bogus";
        QTest::newRow("stray argument") << QStringList{"COM1"} << int(A::Fail) << "" << "'COM1'";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, action);
        QFETCH(QString, port);
        QFETCH(QString, text);
        const TCommandLine cl = ParseCommandLine(QStringList{QStringLiteral("vantrel")} + args);
        QCOMPARE(int(cl.Action), action);
        QCOMPARE(cl.Port, port);
        QVERIFY2(cl.Text.contains(text), qPrintable(cl.Text));
    }

    // --port Simulator: the window opens the simulated analyzer and keeps
    // its name in the settings.
    void portFromCommandLineOpens()
    {
        TFormRig rig;
        TMainForm &f = rig.Create();
        f.OpenPortNamed(QStringLiteral("Simulator"));
        QVERIFY2(rig.Errors.isEmpty(), qPrintable(rig.Errors.join(u'|')));
        QVERIFY(f.Analyzer.Simulator());
        QVERIFY(f.Analyzer.IsOpen());
        QCOMPARE(f.Settings.port, QStringLiteral("Simulator"));
        QVERIFY(rig.SettingsText().contains("port=Simulator"));
    }

    void appFiles_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("calibration");
        QTest::newRow("built or unpacked") << true << "/home/u/vantrel/bin/vantrel.ini" << "/home/u/vantrel/bin/vantrel.cfg";
        QTest::newRow("installed") << false << "/home/u/.config/vantrel/vantrel.ini" << "/home/u/.config/vantrel/vantrel.cfg";
    }
    void appFiles()
    {
        QFETCH(bool, writable);
        QFETCH(QString, settings);
        QFETCH(QString, calibration);
        const TAppFiles files = TAppFiles::Choose(QStringLiteral("/home/u/vantrel/bin/vantrel"), writable,
                                                  QStringLiteral("/home/u/.config/vantrel"));
        QCOMPARE(files.Settings, settings);
        QCOMPARE(files.Calibration, calibration);
    }
};

QTEST_MAIN(TestPortsAndStart)
#include "TestPortsAndStart.moc"
