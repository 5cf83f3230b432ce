// The progress window: nesting, widening, what the user cannot do to it, the
// windows it blocks, and the program's state coming back after the last
// close, also when the operation under it fails.
#include "ProgressDlg.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <stdexcept>

class TestProgressDlg : public QObject
{
    Q_OBJECT

    // An ordinary window of the program with a button to click.
    struct TOtherWindow
    {
        QWidget Window;
        QPushButton *Button = new QPushButton(QStringLiteral("Run"), &Window);
        int Clicks = 0;

        TOtherWindow()
        {
            Window.setWindowTitle(QStringLiteral("Vantrel [Firmware 1.2.150]"));
            Window.resize(300, 200);
            QObject::connect(Button, &QPushButton::clicked, [this] { ++Clicks; });
            Window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&Window));
        }
    };

    // Through the window system, where a modal window blocks input.
    static void Click(TOtherWindow &w)
    {
        QTest::mouseClick(w.Window.windowHandle(), Qt::LeftButton, {}, w.Button->geometry().center());
    }

private slots:
    void cleanup()
    {
        while (ProgressDlg())
            CloseProgress();
    }

    void nesting_data()
    {
        // S:<title> shows, T:<text> sets the text, C closes.
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<int>("depth");
        QTest::addColumn<QString>("title"); // empty: no window
        QTest::addColumn<QString>("text");
        const QString dots = QStringLiteral("..................");
        QTest::newRow("one show") << QStringList{"S:Calibration"} << 1 << "Calibration" << dots;
        QTest::newRow("a text") << QStringList{"S:Calibration", "T:Measured at 1 MHz"} << 1 << "Calibration"
                                << "Measured at 1 MHz";
        QTest::newRow("nested show: new title, dots again")
            << QStringList{"S:A", "T:x", "S:B"} << 2 << "B" << dots;
        QTest::newRow("two shows, one close") << QStringList{"S:A", "S:B", "C"} << 1 << "B" << dots;
        QTest::newRow("two shows, two closes") << QStringList{"S:A", "S:B", "C", "C"} << 0 << "" << "";
        QTest::newRow("close without show") << QStringList{"C"} << 0 << "" << "";
        QTest::newRow("text without show") << QStringList{"T:x"} << 0 << "" << "";
        QTest::newRow("extra close, then a show") << QStringList{"S:A", "C", "C", "S:B"} << 1 << "B" << dots;
    }

    void nesting()
    {
        QFETCH(QStringList, calls);
        QFETCH(QString, title);
        for (const QString &c : calls) {
            const QString arg = c.mid(2);
            if (c.startsWith(u'S'))
                ShowProgress(arg);
            else if (c.startsWith(u'T'))
                SetProgressText(arg);
            else
                CloseProgress();
        }
        QTEST(ProgressDepth(), "depth");
        QCOMPARE(ProgressDlg() != nullptr, !title.isEmpty());
        if (TProgressDlgForm *d = ProgressDlg()) {
            QVERIFY(d->isVisible());
            QCOMPARE(d->windowTitle(), title);
            QTEST(d->lbText->text(), "text");
            QCOMPARE(d->pbBusy->minimum(), 0); // no position: it animates by itself
            QCOMPARE(d->pbBusy->maximum(), 0);
        }
    }

    void widensToItsText()
    {
        ShowProgress(QStringLiteral("Calibration"));
        TProgressDlgForm &d = *ProgressDlg();
        QCOMPARE(d.width(), 448);
        const int left = d.x();
        SetProgressText(QStringLiteral("Measured at 150 MHz"));
        QCOMPARE(d.width(), 448);

        const int screenWidth = d.screen()->geometry().width();
        QString wide = QStringLiteral("Measured at");
        while (d.lbText->fontMetrics().horizontalAdvance(wide) < 500)
            wide += QStringLiteral(" and at");
        const int textWidth = d.lbText->fontMetrics().horizontalAdvance(wide);
        QVERIFY(textWidth < screenWidth - 200);
        SetProgressText(wide);
        QVERIFY(d.width() > 448);
        QVERIFY(d.lbText->width() >= textWidth); // the whole text shows
        QCOMPARE(d.x(), left - (d.width() - 448) / 2);

        SetProgressText(wide.repeated(20));
        QCOMPARE(d.width(), screenWidth - 100);
        const int widest = d.width();
        SetProgressText(QStringLiteral("short"));
        QCOMPARE(d.width(), widest);
        QCOMPARE(d.minimumSize(), d.maximumSize()); // never resized by the user
    }

    void userCannotCloseIt()
    {
        ShowProgress(QStringLiteral("Calibration"));
        TProgressDlgForm *d = ProgressDlg();
        QVERIFY(!d->close());
        QTest::keyClick(d, Qt::Key_F4, Qt::AltModifier);
        QTest::keyClick(d, Qt::Key_Escape);
        QVERIFY(d->isVisible());
        QCOMPARE(ProgressDlg(), d);
        QVERIFY(!(d->windowFlags() & Qt::WindowCloseButtonHint));
    }

    // While it is up no other window takes input; after the last close all
    // do again.
    void blocksEveryOtherWindow()
    {
        TOtherWindow other;
        Click(other);
        QCOMPARE(other.Clicks, 1);
        ShowProgress(QStringLiteral("A"));
        ShowProgress(QStringLiteral("B"));
        QCOMPARE(QApplication::activeModalWidget(), ProgressDlg());
        Click(other);
        CloseProgress();
        Click(other);
        QCOMPARE(other.Clicks, 1);
        CloseProgress();
        Click(other);
        QCOMPARE(other.Clicks, 2);
    }

    // Minimising it minimises the program, whose windows then show the
    // progress text as their title; the last close gives them back.
    void minimisedShowsTheText()
    {
        TOtherWindow other;
        ShowProgress(QStringLiteral("Calibration"));
        SetProgressText(QStringLiteral("Measured at 5 MHz"));
        ProgressDlg()->showMinimized();
        QVERIFY(other.Window.isMinimized());
        QCOMPARE(other.Window.windowTitle(), QStringLiteral("Measured at 5 MHz"));
        SetProgressText(QStringLiteral("Measured at 6 MHz"));
        QCOMPARE(other.Window.windowTitle(), QStringLiteral("Measured at 6 MHz"));
        CloseProgress();
        QVERIFY(!other.Window.isMinimized());
        QCOMPARE(other.Window.windowTitle(), QStringLiteral("Vantrel [Firmware 1.2.150]"));
    }

    // The operation under it fails, with nested scopes and the program
    // minimised: everything comes back.
    void failureRestoresEverything()
    {
        TOtherWindow other;
        QString error;
        try {
            Vantrel::TProgressScope outer(ProgressWindow(), QStringLiteral("Calibration"));
            Vantrel::TProgressScope inner(ProgressWindow(), QStringLiteral("Step"));
            inner.SetText(QStringLiteral("Measured at 7 MHz"));
            ProgressDlg()->showMinimized();
            throw std::runtime_error("Timeout while reading com port");
        } catch (const std::exception &e) {
            error = QString::fromUtf8(e.what());
        }
        QCOMPARE(error, QStringLiteral("Timeout while reading com port"));
        QVERIFY(!ProgressDlg());
        QCOMPARE(ProgressDepth(), 0);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!other.Window.isMinimized());
        QCOMPARE(other.Window.windowTitle(), QStringLiteral("Vantrel [Firmware 1.2.150]"));
        Click(other);
        QCOMPARE(other.Clicks, 1);
    }
};

QTEST_MAIN(TestProgressDlg)
#include "TestProgressDlg.moc"
