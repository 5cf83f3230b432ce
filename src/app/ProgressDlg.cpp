#include "ProgressDlg.h"

#include "ExchangeGuard.h"
#include "UiFont.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kClientWidth = 448;
constexpr int kMinWidth = 260;
constexpr int kSideMargin = 22;
constexpr int kLabelPadding = 20;
const QString kStartText = QStringLiteral("..................");

struct TProgressState
{
    QPointer<TProgressDlgForm> Dialog;
    int Depth = 0;
};

TProgressState &State()
{
    static TProgressState state;
    return state;
}

} // namespace

TProgressDlgForm::TProgressDlgForm()
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint)
{
    setWindowModality(Qt::ApplicationModal);
    setFont(UiFont(11));
    lbText = new QLabel(kStartText, this);
    lbText->setAlignment(Qt::AlignCenter);
    pbBusy = new QProgressBar(this);
    pbBusy->setRange(0, 0); // no position: a block that moves by itself
    pbBusy->setTextVisible(false);
    setFixedSize(kClientWidth, 74);
}

void TProgressDlgForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    lbText->setGeometry(kSideMargin, 16, width() - 2 * kSideMargin - 1, 18);
    pbBusy->setGeometry(kSideMargin, 45, width() - 2 * kSideMargin - 1, 14);
}

void TProgressDlgForm::FitWidth()
{
    // The label sits inside the side margins; the text gets all of its width.
    int w = lbText->fontMetrics().horizontalAdvance(lbText->text()) + kLabelPadding + 2 * kSideMargin + 1;
    if (const QScreen *s = screen())
        w = std::min(w, s->geometry().width() - 100);
    w = std::max(w, kMinWidth);
    if (width() >= w)
        return;
    move(x() + (width() - w) / 2, y());
    setFixedWidth(w);
}

void TProgressDlgForm::SetText(const QString &text)
{
    lbText->setText(text);
    FitWidth();
    lbText->repaint();
    if (!FMinimised.empty())
        RetitleApplication(text);
}

void TProgressDlgForm::closeEvent(QCloseEvent *event)
{
    // Only CloseProgress closes the window.
    if (!FClosing)
        event->ignore();
}

void TProgressDlgForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        MinimiseApplication();
}

// The program's windows that the taskbar shows: the visible top-level
// windows of their own (tool windows and dialogs go with their owners).
void TProgressDlgForm::MinimiseApplication()
{
    if (FMinimised.empty())
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w != this && w->isVisible() && !w->parentWidget() && w->windowType() == Qt::Window)
                FMinimised.push_back({w, w->windowTitle()});
    for (const TMinimised &m : FMinimised)
        if (m.Window)
            m.Window->showMinimized();
    RetitleApplication(lbText->text());
}

void TProgressDlgForm::RetitleApplication(const QString &title)
{
    for (const TMinimised &m : FMinimised)
        if (m.Window)
            m.Window->setWindowTitle(title);
}

void TProgressDlgForm::RestoreApplication()
{
    for (const TMinimised &m : FMinimised) {
        if (!m.Window)
            continue;
        m.Window->setWindowTitle(m.Title);
        if (m.Window->isMinimized())
            m.Window->setWindowState(m.Window->windowState() & ~Qt::WindowMinimized);
    }
    FMinimised.clear();
}

void ShowProgress(const QString &Title)
{
    TProgressState &s = State();
    if (!s.Dialog) {
        s.Dialog = new TProgressDlgForm;
        if (const QScreen *screen = s.Dialog->screen())
            s.Dialog->move(screen->geometry().center() - s.Dialog->rect().center());
        s.Dialog->show();
    }
    s.Dialog->setWindowTitle(Title);
    s.Dialog->SetText(kStartText);
    Vantrel::ProcessUiEvents();
    ++s.Depth;
}

void SetProgressText(const QString &Text)
{
    TProgressState &s = State();
    if (!s.Dialog)
        return;
    s.Dialog->SetText(Text);
    Vantrel::ProcessUiEvents();
}

// Runs while the failed operation's stack unwinds, so it lets no event
// handler run: the caller is back in the event loop right after.
void CloseProgress() noexcept
{
    TProgressState &s = State();
    if (!s.Dialog || --s.Depth > 0)
        return;
    s.Depth = 0;
    TProgressDlgForm *dialog = s.Dialog;
    s.Dialog = nullptr;
    dialog->RestoreApplication();
    dialog->FClosing = true;
    dialog->close(); // ends its modality
    delete dialog;
}

TProgressDlgForm *ProgressDlg()
{
    return State().Dialog;
}

int ProgressDepth()
{
    return State().Depth;
}

namespace {

class TProgressWindowView final : public Vantrel::TProgressView
{
public:
    void Show(const QString &title) override { ShowProgress(title); }
    void SetText(const QString &text) override { SetProgressText(text); }
    void Close() noexcept override { CloseProgress(); }
};

} // namespace

Vantrel::TProgressView &ProgressWindow()
{
    static TProgressWindowView view;
    return view;
}
