#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <stdexcept>

class QSerialPort;

namespace Vantrel {

inline constexpr const char *kOpenFailed = "Unable to open com port";
inline constexpr const char *kWriteFailed = "Unable to write to com port";

// The serial routines talk through this port object, which the main window
// owns and hands over once at start-up (nullptr detaches it again).
void SetPort(QSerialPort *port);

// OpenPort's failure: the message, with the system's errno apart for those
// who explain it.
class TOpenPortError : public std::runtime_error
{
public:
    TOpenPortError(int code);
    int Code;
};

// The device file behind a port name: "ttyUSB0" is "/dev/ttyUSB0".
QString PortDevicePath(const QString &name);

// Opens the named port exclusively at 9600 baud 8N1, DTR on, RTS off, no flow
// control, after emptying the receiver. The name is a device path such as
// "/dev/ttyUSB0" or "/dev/pts/3", or a name under /dev such as "ttyUSB0".
// An already open port is closed first. On failure throws
// "Unable to open com port (Error: N)" (a TOpenPortError), N being the
// system's errno, and the port stays closed. UI thread only.
void OpenPort(const QString &name);
// Closes the port if it is open and ends any GetLine waiting for a reply
// (it throws kPortNotOpen, as does every GetLine without a complete line
// until the port opens again). UI thread only.
void ClosePort();
// Any thread.
bool IsPortOpen();

// Writes the command and one CR in one blocking write. Any thread. Throws
// kPortNotOpen when the port is closed (nothing is sent) and
// "Unable to write to com port (Error: N)" when the write fails.
void SendCmd(const QByteArray &cmd);

// Reports what happens to the port on its own, for the main window.
class TPortMonitor : public QObject
{
    Q_OBJECT
signals:
    // The device went away (unplugged, or the other end hung up) or reading
    // from it failed; the port has been closed already.
    void ConnectionLost();
};

TPortMonitor &PortMonitor();

} // namespace Vantrel
