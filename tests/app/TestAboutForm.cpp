// The About box: the version label, the link to the project's page, and a
// layout that fits its fixed size.
#include "AboutForm.h"

#include "Version.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// Takes the pages the desktop is asked to open, instead of a browser.
class TUrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> Opened;

public slots:
    void Open(const QUrl &url) { Opened << url; }
};

class TestAboutForm : public QObject
{
    Q_OBJECT

private slots:
    void versionIsMajorDotMinor()
    {
        TfrmAbout about;
        const QStringList parts = QStringLiteral(VANTREL_VERSION).split(u'.');
        QVERIFY(parts.size() >= 2);
        QCOMPARE(about.lbVersion->text(), parts[0] + u'.' + parts[1]);
    }

    void linkOpensTheProjectPage()
    {
        TUrlCatcher catcher;
        const QString scheme = QUrl(QStringLiteral(VANTREL_HOMEPAGE)).scheme();
        QDesktopServices::setUrlHandler(scheme, &catcher, "Open");
        TfrmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));

        QTest::mouseClick(about.lbTitle, Qt::LeftButton);
        QTest::mouseClick(about.lbLink, Qt::RightButton);
        QCOMPARE(catcher.Opened.size(), 0);
        QTest::mouseClick(about.lbLink, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(catcher.Opened, QList<QUrl>{QUrl(QStringLiteral(VANTREL_HOMEPAGE))});
        QVERIFY(about.lbLink->text().contains(catcher.Opened[0].host()));
    }

    // With the stand-in fonts too, no text is cut by the box's edge or runs
    // into another.
    void textsFitTheBox()
    {
        TfrmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.size(), QSize(399, 266));
        const QList<QWidget *> parts = {about.lbTitle, about.lbCredit, about.lbPlace, about.lbLink,
                                        about.lbVersion, about.btnOK};
        for (QWidget *w : parts) {
            QVERIFY2(about.rect().contains(w->geometry()), qPrintable(w->objectName()));
            for (QWidget *other : parts)
                QVERIFY(w == other || !w->geometry().intersects(other->geometry()));
        }
    }

    void okCloses()
    {
        TfrmAbout about;
        QTimer::singleShot(0, about.btnOK, [&] { about.btnOK->click(); });
        QCOMPARE(about.exec(), int(QDialog::Accepted));
        QVERIFY(about.isHidden());
    }
};

QTEST_MAIN(TestAboutForm)
#include "TestAboutForm.moc"
