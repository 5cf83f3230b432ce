#include "PtyPort.h"

#include <cerrno>
#include <chrono>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/ioctl.h>
#include <thread>
#include <termios.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const char *what)
{
    throw std::runtime_error(std::string("Unable to create the pseudo-terminal: ") + what + ": "
                             + std::strerror(errno));
}

} // namespace

TPtyPort::~TPtyPort()
{
    Close();
}

void TPtyPort::Open()
{
    Close();
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        Fail("posix_openpt");
    FMaster = fd;
    if (grantpt(fd) != 0 || unlockpt(fd) != 0) {
        const int err = errno;
        Close();
        errno = err;
        Fail("grantpt/unlockpt");
    }
    const char *name = ptsname(fd);
    termios tio{};
    if (name == nullptr || tcgetattr(fd, &tio) != 0) {
        const int err = errno;
        Close();
        errno = err;
        Fail("ptsname/tcgetattr");
    }
    // Raw: no echo, no CR/LF translation, no signals, 8 bit clean.
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        const int err = errno;
        Close();
        errno = err;
        Fail("tcsetattr");
    }
    FSlavePath = QString::fromLocal8Bit(name);
}

void TPtyPort::Close()
{
    if (FMaster >= 0)
        ::close(FMaster);
    FMaster = -1;
}

bool TPtyPort::ClientGone() const
{
    // The master reports a hang-up while the slave has no open descriptor
    // (on Linux only once a client has opened and closed it).
    pollfd pfd{FMaster, 0, 0};
    return ::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR)) != 0;
}

void TPtyPort::DiscardUnread() const
{
    // Unread bytes sit in the slave's input queue, which only the slave side
    // can flush.
    const QByteArray path = FSlavePath.toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    tcflush(fd, TCIFLUSH);
    ::close(fd);
}

void TPtyPort::WaitUntilRead(int maxWaitMs) const
{
    using namespace std::chrono;
    const QByteArray path = FSlavePath.toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) { // held exclusively: give the client a moment instead
        std::this_thread::sleep_for(milliseconds(std::min(maxWaitMs, 100)));
        return;
    }
    // Bytes just written may still be on their way into the slave's queue,
    // so it must be seen empty twice in a row.
    const auto end = steady_clock::now() + milliseconds(maxWaitMs);
    int emptyChecks = 0;
    while (emptyChecks < 2 && steady_clock::now() < end) {
        std::this_thread::sleep_for(milliseconds(5));
        int unread = 0;
        emptyChecks = ::ioctl(fd, FIONREAD, &unread) == 0 && unread == 0 ? emptyChecks + 1 : 0;
    }
    ::close(fd);
}
