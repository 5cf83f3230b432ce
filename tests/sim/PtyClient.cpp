#include "PtyClient.h"

#include <QElapsedTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

TPtyClient::TPtyClient(const QString &path)
{
    FFd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    if (FFd >= 0 && tcgetattr(FFd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(FFd, TCSANOW, &tio);
    }
}

TPtyClient::~TPtyClient()
{
    Close();
}

void TPtyClient::Close()
{
    if (FFd >= 0)
        ::close(FFd);
    FFd = -1;
    FBuf.clear();
}

void TPtyClient::Write(const QByteArray &bytes)
{
    [[maybe_unused]] const ssize_t n = ::write(FFd, bytes.constData(), size_t(bytes.size()));
}

bool TPtyClient::Fill(int timeoutMs)
{
    if (FFd < 0 || FHungUp)
        return false;
    pollfd pfd{FFd, POLLIN, 0};
    if (::poll(&pfd, 1, timeoutMs) <= 0)
        return false;
    char buf[4096];
    const ssize_t n = ::read(FFd, buf, sizeof buf);
    if (n < 0 && errno == EAGAIN)
        return true;
    if (n <= 0) {
        FHungUp = (pfd.revents & (POLLHUP | POLLERR)) != 0 || n == 0;
        return false;
    }
    FBuf.append(buf, n);
    return true;
}

std::optional<QByteArray> TPtyClient::ReadLine(int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    for (;;) {
        if (FBuf.startsWith('\n'))
            FBuf.remove(0, 1);
        const qsizetype cr = FBuf.indexOf('\r');
        if (cr >= 0) {
            const QByteArray line = FBuf.left(cr);
            FBuf.remove(0, cr + 1);
            return line;
        }
        const qint64 left = timeoutMs - t.elapsed();
        if (left <= 0 || !Fill(int(left)))
            return std::nullopt;
    }
}

QList<QByteArray> TPtyClient::ReadLines(int count, int timeoutMs)
{
    QList<QByteArray> lines;
    while (lines.size() < count) {
        const auto line = ReadLine(timeoutMs);
        if (!line)
            break;
        lines.append(*line);
    }
    return lines;
}

QByteArray TPtyClient::ReadChunk(int timeoutMs)
{
    if (FBuf.isEmpty())
        Fill(timeoutMs);
    return std::exchange(FBuf, {});
}

QByteArray TPtyClient::ReadUntilQuiet(int quietMs)
{
    while (Fill(quietMs)) {
    }
    return std::exchange(FBuf, {});
}

bool TPtyClient::WaitHangUp(int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!FHungUp && t.elapsed() < timeoutMs)
        Fill(int(timeoutMs - t.elapsed()));
    return FHungUp;
}
