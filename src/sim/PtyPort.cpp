#include "PtyPort.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
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

TPtyPort::~TPtyPort()
{
    Close();
}

void TPtyPort::Fail(const char *what)
{
    const int err = errno;
    Close();
    throw std::runtime_error(std::string("Unable to create the pseudo-terminal: ") + what + ": "
                             + std::strerror(err));
}

void TPtyPort::Open()
{
    Close();
    FMaster = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (FMaster < 0)
        Fail("posix_openpt");
    if (grantpt(FMaster) != 0 || unlockpt(FMaster) != 0)
        Fail("grantpt/unlockpt");
    char name[256];
    termios tio{};
    // ptsname_r: ptsname's static buffer is not safe with two simulators
    // starting on two threads.
    if (ptsname_r(FMaster, name, sizeof name) != 0 || tcgetattr(FMaster, &tio) != 0)
        Fail("ptsname/tcgetattr");
    // Raw: no echo, no CR/LF translation, no signals, 8 bit clean.
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    if (tcsetattr(FMaster, TCSANOW, &tio) != 0)
        Fail("tcsetattr");
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
