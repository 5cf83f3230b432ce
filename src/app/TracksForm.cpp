#include "TracksForm.h"

#include "GraphM.h"
#include "TracksModel.h"

#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The colour column: the curve's colour over the whole cell, also in the
// selected row, where the selection highlight would otherwise hide it.
class TSwatchDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QVariant color = index.data(Qt::BackgroundRole);
        if (color.canConvert<QColor>())
            painter->fillRect(option.rect, color.value<QColor>());
    }
};

} // namespace

TfrmTracks::TfrmTracks(TGraphM *graph, QWidget *owner)
    : QWidget(owner, Qt::Tool), FGraph(graph), FModel(new TTracksModel(graph, this)), VST(new QTableView(this)),
      contextMenu(new QMenu(this))
{
    setWindowTitle(QStringLiteral("Tracks"));
    resize(265, 386);

    VST->setModel(FModel);
    VST->horizontalHeader()->hide();
    VST->verticalHeader()->hide();
    VST->setShowGrid(true);
    VST->setColumnWidth(0, 56);
    VST->setColumnWidth(1, 40);
    VST->setColumnWidth(2, 165);
    VST->setItemDelegateForColumn(1, new TSwatchDelegate(VST));
    VST->horizontalHeader()->setStretchLastSection(true);
    VST->setSelectionBehavior(QAbstractItemView::SelectRows);
    VST->setSelectionMode(QAbstractItemView::SingleSelection);
    VST->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::SelectedClicked);
    VST->setContextMenuPolicy(Qt::CustomContextMenu);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(VST);

    miDelete = contextMenu->addAction(QStringLiteral("Delete"), this, &TfrmTracks::miDeleteClick);
    clearAction = contextMenu->addAction(QStringLiteral("Clear"), this, &TfrmTracks::ClearClick);
    keepLastAction = contextMenu->addAction(QStringLiteral("Keep last"), this, &TfrmTracks::KeepLastClick);

    connect(VST, &QWidget::customContextMenuRequested, this, [this](QPoint p) {
        ContextMenuPopup(p);
        contextMenu->popup(VST->viewport()->mapToGlobal(p));
    });
}

void TfrmTracks::UpdateTracks()
{
    FModel->Refresh();
}

void TfrmTracks::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    UpdateTracks();
}

void TfrmTracks::ContextMenuPopup(QPoint p)
{
    pp = p;
    const bool locked = IsLocked();
    miDelete->setEnabled(!locked && VST->indexAt(pp).isValid());
    clearAction->setEnabled(!locked);
    keepLastAction->setEnabled(!locked);
}

void TfrmTracks::miDeleteClick()
{
    // The menu may have been opened before a sweep started.
    if (IsLocked() || !FGraph)
        return;
    const QModelIndex row = VST->indexAt(pp);
    if (!row.isValid() || row.row() >= FGraph->Curves()->Count())
        return;
    FGraph->Curves()->Delete(row.row());
    UpdateTracks();
}

void TfrmTracks::ClearClick()
{
    if (!IsLocked() && OnClear)
        OnClear();
}

void TfrmTracks::KeepLastClick()
{
    if (!IsLocked() && OnKeepLast)
        OnKeepLast();
}
