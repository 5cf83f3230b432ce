// The digit editor on frequency edits in a window: opening and closing with
// the focus, which wheel turns and double-clicks it takes, and what it writes
// back into the edit.
#include "DigitEditorInput.h"
#include "FreqDigitEditor.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QtTest>

namespace {

// Stands for the main window: counts the wheel turns that reach it, so a turn
// the editor did not take shows up here.
class TWindow : public QWidget
{
public:
    int WheelsReached = 0;

protected:
    void wheelEvent(QWheelEvent *event) override
    {
        ++WheelsReached;
        event->accept();
    }
};

struct TRig
{
    TWindow Window;
    QGroupBox *Box = new QGroupBox(QStringLiteral(" Frequency range "), &Window);
    QLineEdit *Start = new QLineEdit(QStringLiteral("1000000"), Box);
    QLineEdit *Stop = new QLineEdit(QStringLiteral("30000000"), Box);
    QLineEdit *Points = new QLineEdit(QStringLiteral("100"), Box);
    TFreqDigitEditor *Editor = new TFreqDigitEditor(&Window);
    qint32 MaxFreq = 150000000;

    TRig()
    {
        Window.resize(420, 320);
        Box->setGeometry(116, 33, 145, 140);
        Start->setGeometry(62, 18, 75, 21);
        Stop->setGeometry(62, 44, 75, 21);
        Points->setGeometry(62, 70, 75, 21);
        Editor->Attach(Start);
        Editor->Attach(Stop);
        Editor->MaxFreq = [this] { return MaxFreq; };
    }

    bool Show()
    {
        Window.show();
        Window.activateWindow();
        return QTest::qWaitForWindowActive(&Window);
    }

    QLabel *Label() const { return Editor->Label(); }
    QPoint CharCentre(int col) const { return DigitCentre(*Editor, col, Window); }
    void WheelAt(QPoint at, int delta) { ::WheelAt(Window, at, delta); }
};

} // namespace

class TestFreqDigitEditor : public QObject
{
    Q_OBJECT

private slots:
    void focusOpensAndClosesThePanel()
    {
        TRig rig;
        QVERIFY(rig.Editor->isHidden());
        QVERIFY(rig.Show());
        rig.Points->setFocus();
        QTRY_VERIFY(rig.Editor->isHidden());

        rig.Start->setFocus();
        QTRY_VERIFY(rig.Editor->isVisible());
        QCOMPARE(rig.Editor->FreqEdit(), rig.Start);
        QCOMPARE(rig.Label()->text(), QStringLiteral("001.000.000"));
        // Below the edit, 16 pixels in, in the window's coordinates.
        QCOMPARE(rig.Editor->pos(), QPoint(116 + 62 + 16, 33 + 18 + 21));

        rig.Stop->setFocus();
        QTRY_COMPARE(rig.Editor->FreqEdit(), rig.Stop);
        QVERIFY(rig.Editor->isVisible());
        QCOMPARE(rig.Label()->text(), QStringLiteral("030.000.000"));
        QCOMPARE(rig.Editor->pos(), QPoint(116 + 62 + 16, 33 + 44 + 21));

        // The points edit has no digit editor.
        rig.Points->setFocus();
        QTRY_VERIFY(rig.Editor->isHidden());
        QCOMPARE(rig.Editor->FreqEdit(), nullptr);

        rig.Start->setText(QStringLiteral("MHz"));
        rig.Start->setFocus();
        QTRY_VERIFY(rig.Editor->isVisible());
        QCOMPARE(rig.Label()->text(), QStringLiteral("000.000.000"));
    }

    void panelHoldsTheWholeText()
    {
        TRig rig;
        const QFontMetricsF fm(rig.Label()->font());
        QVERIFY(fm.horizontalAdvance(QStringLiteral("000.000.000")) <= rig.Label()->width());
        QVERIFY(rig.Label()->geometry().right() < rig.Editor->width());
    }

    // col -1: a point just outside the label, on the panel's left margin.
    void wheel_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("maxFreq");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<bool>("taken");
        const int m = 150000000;
        QTest::newRow("MHz up") << 2 << 120 << m << "2000000" << "002.000.000" << true;
        QTest::newRow("100 MHz down to the floor") << 0 << -120 << m << "100000" << "000.100.000" << true;
        QTest::newRow("Hz up") << 10 << 15 << m << "1000001" << "001.000.001" << true;
        QTest::newRow("not identified") << 2 << 120 << 0 << "0" << "000.000.000" << true;
        QTest::newRow("over a point") << 3 << 120 << m << "1000000" << "001.000.000" << true;
        QTest::newRow("zero delta") << 2 << 0 << m << "1000000" << "001.000.000" << true;
        QTest::newRow("outside the label") << -1 << 120 << m << "1000000" << "001.000.000" << false;
    }

    void wheel()
    {
        QFETCH(int, col);
        QFETCH(int, delta);
        QFETCH(int, maxFreq);
        QFETCH(bool, taken);
        TRig rig;
        rig.MaxFreq = maxFreq;
        QVERIFY(rig.Show());
        rig.Start->setFocus();
        QTRY_VERIFY(rig.Editor->isVisible());

        const QPoint at = col >= 0 ? rig.CharCentre(col) : rig.Editor->mapTo(&rig.Window, QPoint(2, 14));
        rig.WheelAt(at, delta);
        QTEST(rig.Start->text(), "edit");
        QTEST(rig.Label()->text(), "panel");
        QCOMPARE(rig.Window.WheelsReached, taken ? 0 : 1);
        QCOMPARE(rig.Stop->text(), QStringLiteral("30000000"));
    }

    void turnsFollowThePanelValue()
    {
        TRig rig;
        QVERIFY(rig.Show());
        rig.Stop->setFocus();
        QTRY_VERIFY(rig.Editor->isVisible());
        rig.WheelAt(rig.CharCentre(1), 120);   // 040.000.000
        rig.WheelAt(rig.CharCentre(6), -120);  // 039.999.000
        rig.WheelAt(rig.CharCentre(0), 120);   // 139.999.000
        rig.WheelAt(rig.CharCentre(0), 120);   // capped
        QCOMPARE(rig.Stop->text(), QStringLiteral("150000000"));
        QCOMPARE(rig.Label()->text(), QStringLiteral("150.000.000"));
        QCOMPARE(rig.Window.WheelsReached, 0);
    }

    // The double-click zeroes the digits right of the clicked one and leaves
    // the focus in the edit, so the panel stays open.
    void doubleClick_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("panel");
        QTest::newRow("kHz digit") << "14074321" << 5 << "14070000" << "014.070.000";
        QTest::newRow("up to the floor") << "99000" << 0 << "100000" << "000.100.000";
        QTest::newRow("point") << "14074321" << 7 << "14074321" << "014.074.321";
    }

    void doubleClick()
    {
        QFETCH(QString, start);
        QFETCH(int, col);
        TRig rig;
        rig.Start->setText(start);
        QVERIFY(rig.Show());
        rig.Start->setFocus();
        QTRY_VERIFY(rig.Editor->isVisible());

        QTest::mouseDClick(rig.Label(), Qt::LeftButton, {}, rig.Label()->mapFrom(&rig.Window, rig.CharCentre(col)));
        QTEST(rig.Start->text(), "edit");
        QTEST(rig.Label()->text(), "panel");
        QCOMPARE(QApplication::focusWidget(), rig.Start);
        QVERIFY(rig.Editor->isVisible());
    }
};

QTEST_MAIN(TestFreqDigitEditor)
#include "TestFreqDigitEditor.moc"
