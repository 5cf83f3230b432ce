#include "SimServer.h"

#include "ReplyPacer.h"
#include "SimState.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <time.h>
#include <unistd.h>

namespace {

using TClock = TReplyPacer::TClock;

// How often to look whether a client has opened the port again.
constexpr int kReconnectPollMs = 10;
// How long a hang-up waits for the client to read the replies before it.
constexpr int kHangUpDrainMs = 2000;

// The serving loop's working state: the commands waiting for the current
// reply to finish, and that reply's progress.
class TServeLoop {
public:
    TServeLoop(TSimState &state, TPtyPort &port, int wakeFd, const std::atomic<bool> &stop)
        : FState(state), FPort(port), FWakeFd(wakeFd), FStop(stop) {}

    // Returns true when the analyzer hung up by itself.
    bool Run();

private:
    enum class TStep { Go, HangUp };
    void StartReplies();
    TStep RefillLine();
    void Wait();
    bool ReadInput();
    bool WriteDue();
    void LoseClient();

    TSimState &FState;
    TPtyPort &FPort;
    const int FWakeFd;
    const std::atomic<bool> &FStop;

    // A received command, and when its last byte would have arrived over a
    // real 9600 baud line (the pseudo-terminal delivers it at once).
    struct TQueued {
        TSimCommand Command;
        TClock::time_point Arrival;
    };

    TCommandSplitter FSplitter;
    std::deque<TQueued> FQueue;       // received, waiting for the current reply
    TClock::time_point FRxFree{};     // when the receive line has carried all bytes so far
    std::optional<TReplyStream> FReply;
    TReplyPacer FPacer;
    QByteArray FOut;                  // rest of the line being written
    std::int64_t FSent = 0;           // bytes of the current reply stream out
    TClock::time_point FLineFree{};   // when the line can take the next reply's first byte
    bool FClient = true;
    short FMasterEvents = 0;
};

bool TServeLoop::Run()
{
    while (!FStop) {
        StartReplies();
        if (RefillLine() == TStep::HangUp)
            return true;
        Wait();
        if (FStop)
            break;
        if (!FClient) {
            FClient = !FPort.ClientGone();
            continue;
        }
        if ((FMasterEvents & (POLLIN | POLLHUP | POLLERR)) != 0 && !ReadInput()) {
            LoseClient();
            continue;
        }
        if (!WriteDue())
            LoseClient();
    }
    return false;
}

// Commands are acted on in order; one that has replies holds up the rest
// until its last line is out, as a real analyzer busy measuring does.
void TServeLoop::StartReplies()
{
    const auto now = TClock::now();
    while (!FReply && !FQueue.empty() && FQueue.front().Arrival <= now) {
        FReply = FState.Execute(FQueue.front().Command);
        FQueue.pop_front();
        if (FReply) {
            // Back-to-back replies still keep the line rate between them.
            FPacer.Start(std::max(TClock::now(), FLineFree), FState.Paced());
            FSent = 0;
        }
    }
}

TServeLoop::TStep TServeLoop::RefillLine()
{
    while (FReply && FOut.isEmpty()) {
        const bool seriesR = FReply->SeriesR();
        const auto chunk = FReply->Next([&](qint64 hz) { return FState.RawCount(hz, seriesR); },
                                        FState.ReplyFormat());
        using W = TReplyStream::TChunk::TWhat;
        if (chunk.What == W::HangUp) {
            FPort.WaitUntilRead(kHangUpDrainMs);
            return TStep::HangUp;
        }
        if (chunk.What == W::End) {
            FLineFree = FPacer.Paced() ? FPacer.Deadline(FSent) : TClock::time_point{};
            FReply.reset();
            StartReplies();
            continue;
        }
        FOut = chunk.Bytes;
        if (chunk.DelayMs > 0)
            FPacer.Delay(FSent, std::chrono::milliseconds(chunk.DelayMs), TClock::now());
    }
    if (FReply)
        FPacer.SetPaced(FState.Paced(), FSent, TClock::now());
    return TStep::Go;
}

void TServeLoop::Wait()
{
    // While no client holds the port the master reports a hang-up all the
    // time; it is left out of the poll and looked at again now and then.
    pollfd fds[2] = {{FWakeFd, POLLIN, 0}, {FClient ? FPort.MasterFd() : -1, POLLIN, 0}};
    std::optional<std::chrono::nanoseconds> timeout;
    if (!FClient) {
        timeout = std::chrono::milliseconds(kReconnectPollMs);
    } else {
        const auto now = TClock::now();
        if (!FOut.isEmpty()) {
            const auto due = FPacer.Deadline(FSent);
            if (due <= now)
                fds[1].events |= POLLOUT;
            else
                timeout = due - now;
        }
        // A command still on its way down the line wakes the loop when it is in.
        if (!FReply && !FQueue.empty()) {
            const auto arrival = std::max(FQueue.front().Arrival, now);
            if (!timeout || arrival - now < *timeout)
                timeout = arrival - now;
        }
    }
    // ppoll, not poll: a byte lasts about a millisecond, poll's whole unit.
    timespec ts{};
    if (timeout) {
        ts.tv_sec = time_t(timeout->count() / 1'000'000'000);
        ts.tv_nsec = long(timeout->count() % 1'000'000'000);
    }
    const int n = ::ppoll(fds, 2, timeout ? &ts : nullptr, nullptr);
    FMasterEvents = n > 0 ? fds[1].revents : 0;
    if (n > 0 && (fds[0].revents & POLLIN) != 0) {
        char drain[64];
        while (::read(FWakeFd, drain, sizeof drain) > 0) {
        }
    }
}

// Returns false when the client has gone.
bool TServeLoop::ReadInput()
{
    QByteArray bytes;
    bool gone = false;
    for (;;) {
        char buf[1024];
        const ssize_t n = ::read(FPort.MasterFd(), buf, sizeof buf);
        if (n > 0) {
            bytes.append(buf, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        gone = n == 0 || errno != EAGAIN;
        break;
    }
    if (!bytes.isEmpty()) {
        const QList<QByteArray> lines = FSplitter.Feed(bytes);
        FState.LogReceived(bytes, lines);
        // Paced, the bytes take their line time to come in: the commands of
        // a chunk count as arrived with its last byte.
        auto arrival = TClock::time_point{};
        if (FState.Paced()) {
            FRxFree = std::max(FRxFree, TClock::now())
                      + std::chrono::duration_cast<TClock::duration>(bytes.size() * TReplyPacer::kByteTime);
            arrival = FRxFree;
        }
        for (const QByteArray &line : lines)
            FQueue.push_back({TSimCommand::Parse(line), arrival});
    }
    return !gone;
}

// Returns false when the client has gone.
bool TServeLoop::WriteDue()
{
    const std::int64_t due = FPacer.DueCount(TClock::now(), FSent, FOut.size());
    if (due <= 0)
        return true;
    const ssize_t n = ::write(FPort.MasterFd(), FOut.constData(), size_t(due));
    if (n > 0) {
        FOut.remove(0, n);
        FSent += n;
        return true;
    }
    return n < 0 && (errno == EAGAIN || errno == EINTR);
}

// The client closed the port: what was meant for it is lost, as on a real
// serial line, but the commands it sent before closing still take effect.
void TServeLoop::LoseClient()
{
    FReply.reset();
    FOut.clear();
    FSplitter.Reset();
    while (!FQueue.empty()) {
        FState.Execute(FQueue.front().Command);
        FQueue.pop_front();
    }
    FPort.DiscardUnread();
    FClient = false;
}

} // namespace

TSimServer::TSimServer(TSimState &state)
    : FState(state)
{
}

TSimServer::~TSimServer()
{
    Stop();
}

void TSimServer::Start()
{
    Stop();
    FPort.Open();
    FPortName = FPort.SlavePath();
    if (::pipe2(FWake, O_NONBLOCK | O_CLOEXEC) != 0) {
        FPort.Close();
        throw std::runtime_error(std::string("Unable to create the simulator's wake pipe: ") + std::strerror(errno));
    }
    FStop = false;
    FHungUp = false;
    FThread = std::thread([this] {
        TServeLoop loop(FState, FPort, FWake[0], FStop);
        if (loop.Run()) {
            FPort.Close();
            FHungUp = true;
        }
    });
}

void TSimServer::Stop()
{
    if (FThread.joinable()) {
        FStop = true;
        Wake();
        FThread.join();
    }
    FPort.Close();
    CloseWakePipe();
}

void TSimServer::Wake()
{
    if (FWake[1] >= 0) {
        const char c = 1;
        [[maybe_unused]] const ssize_t n = ::write(FWake[1], &c, 1);
    }
}

void TSimServer::CloseWakePipe()
{
    for (int &fd : FWake) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}
