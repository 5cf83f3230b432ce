#pragma once

#include "ProgressView.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class QLabel;
class QProgressBar;

// The small window that tells the user a long operation is running, while
// the operation itself goes on in the calling code (which keeps letting the
// UI process its events). It is application-modal: while it is up the user
// can act on no other window of the program. It cannot be closed by the user
// (Alt+F4 and the like are ignored) nor resized; minimising it minimises the
// whole program, and the program's windows then show the progress text as
// their title (the taskbar's text).
class TProgressDlgForm : public QWidget
{
    Q_OBJECT
public:
    TProgressDlgForm();

    // Widens the window (never narrows it) so that the text fits, up to the
    // screen's width less 100 pixels.
    void FitWidth();
    // Shows a new text at once.
    void SetText(const QString &text);

    QLabel *lbText;
    QProgressBar *pbBusy;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend void CloseProgress() noexcept;
    void MinimiseApplication();
    void RestoreApplication();
    void RetitleApplication(const QString &title);

    struct TMinimised
    {
        QPointer<QWidget> Window;
        QString Title;
    };
    std::vector<TMinimised> FMinimised;  // the program's windows minimised with this one
    bool FClosing = false;
};

// Opens the progress window with a title, or reuses the open one (calls
// nest). The text starts as a row of dots.
void ShowProgress(const QString &Title);
// Shows a new progress text; nothing without an open window.
void SetProgressText(const QString &Text);
// Closes one level; the last close removes the window and gives the program
// back its windows and titles as they were.
void CloseProgress() noexcept;

// The window while it is open, else nullptr; the nesting depth.
TProgressDlgForm *ProgressDlg();
int ProgressDepth();

// The three routines as the view that the measurement steps report to.
Vantrel::TProgressView &ProgressWindow();
