#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: the program's version (major.minor) and a link to the
// project's web page over a drawn background. Made once, shown modally.
class TfrmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    // Opens the project's page in the default browser; a failure is not
    // reported.
    void LinkClick();

    QLabel *imgBackground;
    QLabel *lbTitle;
    QLabel *lbCredit;
    QLabel *lbPlace;
    QLabel *lbLink;
    QLabel *lbVersion;
    QPushButton *btnOK;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
