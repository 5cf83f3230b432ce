#include "TracksModel.h"

#include "GraphM.h"

TTracksModel::TTracksModel(TGraphM *graph, QObject *parent) : QAbstractTableModel(parent), FGraph(graph)
{
}

void TTracksModel::Refresh()
{
    beginResetModel();
    FRows = FGraph ? FGraph->Curves()->Count() : 0;
    endResetModel();
}

int TTracksModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FRows;
}

int TTracksModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

TCurve *TTracksModel::CurveAt(int row) const
{
    // Curves may have gone since the last Refresh; such rows show nothing.
    if (!FGraph || row < 0 || row >= FGraph->Curves()->Count())
        return nullptr;
    return FGraph->Curves()->Items(row);
}

QVariant TTracksModel::data(const QModelIndex &index, int role) const
{
    TCurve *c = CurveAt(index.row());
    if (!c)
        return {};
    switch (index.column()) {
    case 0:
        if (role == Qt::DisplayRole)
            return index.row();
        if (role == Qt::CheckStateRole)
            return c->Visible() ? Qt::Checked : Qt::Unchecked;
        break;
    case 1:
        if (role == Qt::BackgroundRole)
            return c->Color();
        break;
    case 2:
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return c->Caption();
        break;
    }
    return {};
}

bool TTracksModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    TCurve *c = CurveAt(index.row());
    if (!c)
        return false;
    if (index.column() == 0 && role == Qt::CheckStateRole) {
        c->SetVisible(value.toInt() == Qt::Checked);
        FGraph->RequestRepaint();
    } else if (index.column() == 2 && role == Qt::EditRole) {
        // The graph draws no captions, so it need not repaint.
        c->SetCaption(value.toString());
    } else {
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags TTracksModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    if (index.column() == 2)
        f |= Qt::ItemIsEditable;
    return f;
}
