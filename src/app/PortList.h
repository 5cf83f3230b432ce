#pragma once

#include <QString>

#include <vector>

namespace Vantrel {

// A serial port as the system describes it.
struct TPortEntry {
    QString Device;      // what the port is opened by: "/dev/ttyUSB0"
    QString Description; // "FT232R USB UART"; may be empty
    bool Usb = false;    // a USB serial adapter (the analyzer's usual way in)
};

// USB serial devices first, then the others, each by device ignoring case.
std::vector<TPortEntry> SortedPorts(std::vector<TPortEntry> ports);

// The list's text: "/dev/ttyUSB0 — FT232R USB UART", or the device alone
// when there is no description.
QString PortEntryText(const TPortEntry &port);

// The serial ports present now, sorted.
std::vector<TPortEntry> SystemPorts();

} // namespace Vantrel
