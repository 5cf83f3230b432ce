#include "PortList.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace Vantrel {

std::vector<TPortEntry> SortedPorts(std::vector<TPortEntry> ports)
{
    std::stable_sort(ports.begin(), ports.end(), [](const TPortEntry &a, const TPortEntry &b) {
        if (a.Usb != b.Usb)
            return a.Usb;
        return a.Device.compare(b.Device, Qt::CaseInsensitive) < 0;
    });
    return ports;
}

QString PortEntryText(const TPortEntry &port)
{
    return port.Description.isEmpty() ? port.Device : port.Device + QStringLiteral(" \u2014 ") + port.Description;
}

std::vector<TPortEntry> SystemPorts()
{
    std::vector<TPortEntry> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString name = info.portName();
        const bool usb = info.hasVendorIdentifier() || name.startsWith(QStringLiteral("ttyUSB")) ||
                         name.startsWith(QStringLiteral("ttyACM"));
        ports.push_back({info.systemLocation(), info.description().trimmed(), usb});
    }
    return SortedPorts(std::move(ports));
}

} // namespace Vantrel
