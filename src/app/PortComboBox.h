#pragma once

#include "PortList.h"

#include <QComboBox>

#include <functional>

// The port list: the serial ports with what is behind each, read again every
// time the list drops down (a device plugged in after start appears), then
// the simulator. Editable: a device the system does not list can be typed.
class TPortComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TPortComboBox(QWidget *parent);

    // Where the entries come from; the system's ports unless replaced.
    std::function<std::vector<Vantrel::TPortEntry>()> ReadPorts = Vantrel::SystemPorts;

    // Reads the ports again, keeping the chosen or typed port.
    void Refill();
    // The device of the chosen entry ("Simulator" for the simulator), or the
    // typed text; empty when there is neither.
    QString CurrentPort() const;
    // Chooses the entry of device, or shows device as typed text when the
    // list has no such entry.
    void SelectPort(const QString &device);

    void showPopup() override;
};
