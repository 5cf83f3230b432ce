// Timing of the simulated analyzer's replies as a client on its port sees
// them: how closely a paced sweep keeps the 9600 baud line rate, and how
// fast an unpaced one is.

#include "AnalyzerSim.h"

#include <QByteArray>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

using TClock = std::chrono::steady_clock;

struct TSweepTiming {
    double TotalMs = 0;        // from the command to the last byte
    double WireMs = 0;         // what the bytes take at the line rate
    double WorstLateMs = 0;    // worst byte behind its earliest allowed time
    qint64 Bytes = 0;
};

TSweepTiming TimeSweep(TAnalyzerSim &sim, int count)
{
    const int fd = ::open(sim.PortName().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);

    const QByteArray cmd = "r 0 " + QByteArray::number(count) + "\r";
    qint64 lines = 0;
    TSweepTiming t;
    const double byteMs = 1000.0 / 960;
    const auto start = TClock::now();
    [[maybe_unused]] const ssize_t w = ::write(fd, cmd.constData(), size_t(cmd.size()));
    while (lines < count) {
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, 6000) <= 0)
            break;
        char buf[4096];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        const double ms = std::chrono::duration<double, std::milli>(TClock::now() - start).count();
        for (ssize_t i = 0; i < n; ++i)
            lines += buf[i] == '\r';
        t.Bytes += n;
        t.WorstLateMs = std::max(t.WorstLateMs, ms - (t.Bytes - 1) * byteMs);
        t.TotalMs = ms;
    }
    t.WireMs = (t.Bytes - 1) * byteMs;
    ::close(fd);
    return t;
}

} // namespace

int main()
{
    TAnalyzerSim sim;
    sim.SetLoad({TSimLoadKind::Dipole});
    sim.Start();
    for (const int count : {200, 1000}) {
        const TSweepTiming t = TimeSweep(sim, count);
        std::printf("BENCH sim_paced_%d_lines_total %.1f ms\n", count, t.TotalMs);
        std::printf("BENCH sim_paced_%d_lines_vs_wire_time %+.3f %%\n", count, 100 * (t.TotalMs / t.WireMs - 1));
        std::printf("BENCH sim_paced_%d_lines_worst_byte_late %.3f ms\n", count, t.WorstLateMs);
    }
    sim.SetPaced(false);
    const int unpacedLines = 20000;
    const TSweepTiming t = TimeSweep(sim, unpacedLines);
    std::printf("BENCH sim_unpaced_lines_per_s %.0f lines/s\n", unpacedLines / (t.TotalMs / 1000));
    return 0;
}
