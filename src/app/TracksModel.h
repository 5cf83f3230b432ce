#pragma once

#include <QAbstractTableModel>
#include <QPointer>

class TGraphM;

// The tracks window's list: one row per curve of the graph, in collection
// order. Column 0 shows the curve's visibility as a check box and the row
// index, column 1 the curve's colour, column 2 its caption (editable). Texts,
// colours and check states are read from the curves at every paint; the row
// count follows the curves only at Refresh.
class TTracksModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TTracksModel(TGraphM *graph, QObject *parent = nullptr);

    // Sets the row count to the current number of curves.
    void Refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    class TCurve *CurveAt(int row) const;

    QPointer<TGraphM> FGraph;
    int FRows = 0;
};
