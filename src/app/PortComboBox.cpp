#include "PortComboBox.h"

#include "AnalyzerConnection.h"

#include <QAbstractItemView>

#include <algorithm>

TPortComboBox::TPortComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void TPortComboBox::Refill()
{
    const QString current = CurrentPort();
    clear();
    for (const Vantrel::TPortEntry &p : ReadPorts())
        addItem(Vantrel::PortEntryText(p), p.Device);
    addItem(Vantrel::TAnalyzerConnection::kSimulatorEntry, Vantrel::TAnalyzerConnection::kSimulatorEntry);
    // The descriptions are longer than the box.
    view()->setMinimumWidth(std::max(160, view()->sizeHintForColumn(0) + 24));
    SelectPort(current);
}

QString TPortComboBox::CurrentPort() const
{
    const int i = currentIndex();
    if (i >= 0 && itemText(i) == currentText())
        return itemData(i).toString();
    return currentText().trimmed();
}

void TPortComboBox::SelectPort(const QString &device)
{
    const int i = device.isEmpty() ? -1 : findData(device);
    setCurrentIndex(i);
    if (i < 0)
        setEditText(device);
}

void TPortComboBox::showPopup()
{
    Refill();
    QComboBox::showPopup();
}
