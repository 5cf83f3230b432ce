#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>

class QAction;
class QMenu;
class QTableView;
class TGraphM;
class TTracksModel;

// The "Tracks" tool window: every curve of the graph with its visibility,
// colour and caption, and a context menu to delete one curve or to run the
// main window's Clear and Keep last.
class TfrmTracks : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmTracks(TGraphM *graph, QWidget *owner);

    // The main window's commands and its busy state; while Locked() answers
    // true the curves must not change, so the menu's entries are refused.
    std::function<bool()> Locked;
    std::function<void()> OnClear;
    std::function<void()> OnKeepLast;

    // Row count := number of curves; repaints the list.
    void UpdateTracks();

    QTableView *List() const { return VST; }
    QMenu *Menu() const { return contextMenu; }
    QAction *DeleteAction() const { return miDelete; }

    // Opens the context menu's state for the list position p (list viewport
    // coordinates): remembers it and enables "Delete" only over a row.
    void ContextMenuPopup(QPoint p);
    void miDeleteClick();
    void ClearClick();
    void KeepLastClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool IsLocked() const { return Locked && Locked(); }

    QPointer<TGraphM> FGraph;
    TTracksModel *FModel;
    QTableView *VST;
    QMenu *contextMenu;
    QAction *miDelete;
    QAction *clearAction;
    QAction *keepLastAction;
    QPoint pp;
};
