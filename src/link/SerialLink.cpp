#include "SerialLink.h"

#include "RxBuf.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSerialPort>

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace Vantrel {

namespace {

constexpr int kWriteTimeoutMs = 5000;

struct TLinkState
{
    QPointer<QSerialPort> Port;              // UI thread only
    QMetaObject::Connection ClosingLink;     // forgets Fd on any close
    QMetaObject::Connection RxLink, ErrorLink;  // attached while open
    // Writes go straight to the descriptor, so any thread can send without
    // touching the (thread-bound) port object; WriteLock keeps a close from
    // pulling the descriptor away in the middle of a write.
    std::mutex WriteLock;
    int Fd = -1;
};

TLinkState &Link()
{
    static TLinkState state;
    return state;
}

void ForgetDescriptor()
{
    TLinkState &s = Link();
    std::lock_guard lock(s.WriteLock);
    s.Fd = -1;
}

std::string CodedMessage(const char *message, int code)
{
    return QStringLiteral("%1 (Error: %2)").arg(QLatin1String(message)).arg(code).toStdString();
}

[[noreturn]] void ThrowWithCode(const char *message, int code)
{
    throw std::runtime_error(CodedMessage(message, code));
}

// QSerialPort keeps the system error code to itself. Repeating the failed
// open gives it back; when the repeat succeeds, what stopped the port was the
// exclusive hold of another user (EBUSY), or a file that is no terminal.
int OpenErrorCode(const QString &name)
{
    if (name.isEmpty())
        return ENOENT;
    const QString path = PortDevicePath(name);
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const bool tty = ::isatty(fd);
    ::close(fd);
    return tty ? EBUSY : ENOTTY;
}

void DetachHandlers()
{
    TLinkState &s = Link();
    QObject::disconnect(s.RxLink);
    QObject::disconnect(s.ErrorLink);
}

void DeliverReceived()
{
    QSerialPort *port = Link().Port;
    if (!port)
        return;
    QByteArray data = port->readAll();
    data.removeIf([](char c) { return c == '\0'; });
    RxBuf().OnRxBuf(data.constData(), qint32(data.size()));
}

// A device that went away (unplugged, or a pseudo-terminal whose other end
// hung up) shows as a resource error or as a read error that repeats for
// as long as the port stays open; either way the link is gone.
void HandlePortError(QSerialPort::SerialPortError error)
{
    QSerialPort *port = Link().Port;
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError)
        return;
    if (!port || !port->isOpen())
        return;
    ClosePort();
    emit PortMonitor().ConnectionLost();
}

void WriteAll(int fd, const QByteArray &bytes)
{
    QElapsedTimer clock;
    clock.start();
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n >= 0) {
            p += n;
            left -= n;
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            ThrowWithCode(kWriteFailed, errno);
        const qint64 remaining = kWriteTimeoutMs - clock.elapsed();
        if (remaining <= 0)
            ThrowWithCode(kWriteFailed, ETIMEDOUT);
        pollfd pfd{fd, POLLOUT, 0};
        if (::poll(&pfd, 1, int(remaining)) < 0 && errno != EINTR)
            ThrowWithCode(kWriteFailed, errno);
    }
}

} // namespace

void SetPort(QSerialPort *port)
{
    TLinkState &s = Link();
    if (s.Port == port)
        return;
    if (s.Port) {
        ClosePort();
        QObject::disconnect(s.ClosingLink);
    }
    s.Port = port;
    if (port)
        s.ClosingLink = QObject::connect(port, &QIODevice::aboutToClose, port, &ForgetDescriptor);
}

TOpenPortError::TOpenPortError(int code)
    : std::runtime_error(CodedMessage(kOpenFailed, code)), Code(code)
{
}

QString PortDevicePath(const QString &name)
{
    return name.startsWith(u'/') ? name : QStringLiteral("/dev/") + name;
}

void OpenPort(const QString &name)
{
    TLinkState &s = Link();
    RxBuf().ClearBuffers();
    if (!s.Port)
        throw TOpenPortError(ENODEV);
    QSerialPort &port = *s.Port;
    ClosePort();
    DetachHandlers();  // still attached after a failed open
    port.setPortName(name);
    port.setBaudRate(QSerialPort::Baud9600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    s.RxLink = QObject::connect(&port, &QSerialPort::readyRead, &port, &DeliverReceived);
    s.ErrorLink = QObject::connect(&port, &QSerialPort::errorOccurred, &port, &HandlePortError);
    if (!port.open(QIODevice::ReadWrite)) {
        // QSerialPort opens its devices exclusively (TIOCEXCL and a lock file).
        throw TOpenPortError(OpenErrorCode(name));
    }
    // A pseudo-terminal has no modem lines and refuses these; the link
    // works without them, so their failure is no reason to give up.
    port.setDataTerminalReady(true);
    port.setRequestToSend(false);
    port.clearError();
    {
        std::lock_guard lock(s.WriteLock);
        s.Fd = int(port.handle());
    }
    RxBuf().ResumeWaits();
}

void ClosePort()
{
    TLinkState &s = Link();
    if (!s.Port || !s.Port->isOpen())
        return;
    DetachHandlers();
    ForgetDescriptor();
    s.Port->close();
    RxBuf().CancelWaits();
}

bool IsPortOpen()
{
    TLinkState &s = Link();
    std::lock_guard lock(s.WriteLock);
    return s.Fd >= 0;
}

void SendCmd(const QByteArray &cmd)
{
    TLinkState &s = Link();
    std::lock_guard lock(s.WriteLock);
    if (s.Fd < 0)
        throw std::runtime_error(kPortNotOpen);
    WriteAll(s.Fd, cmd + '\r');
}

TPortMonitor &PortMonitor()
{
    static TPortMonitor monitor;
    return monitor;
}

} // namespace Vantrel
