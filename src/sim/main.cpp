// vantrel-sim: a simulated analyzer on a pseudo-terminal. Prints the port
// path, then serves until interrupted or until its standard input (when that
// is a pipe) is closed by the parent.

#include "AnalyzerSim.h"
#include "SimLoadText.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A parent that holds our stdin as a pipe ends us by closing it. A terminal
// or /dev/null says nothing about the parent and is not read (reading a
// terminal from the background would stop the process).
bool StdinIsPipe()
{
    struct stat st{};
    return fstat(STDIN_FILENO, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode));
}

void WatchStdin()
{
    std::thread([] {
        char buf[256];
        while (::read(STDIN_FILENO, buf, sizeof buf) > 0) {
        }
        ::kill(::getpid(), SIGTERM);
    }).detach();
}

} // namespace

int main(int argc, char *argv[])
{
    // The signals that end the program are taken by sigwait below; block them
    // before any thread starts so none of them gets one.
    sigset_t endSignals;
    sigemptyset(&endSignals);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&endSignals, sig);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vantrel-sim");
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Simulated antenna analyzer on a pseudo-terminal. Prints the port to open, then serves "
        "until interrupted (or until standard input, when it is a pipe, is closed).");
    parser.addHelpOption();
    const QCommandLineOption loadOpt("load", "Load on the jack: open, short, 50, 100, dipole (the default), or R,X in ohms.",
                                     "load", "dipole");
    const QCommandLineOption firmwareOpt("firmware", "Reply to \"w\" (\"1.0.60.lite\" for the lite 60 MHz variant).",
                                         "text", "SWR 1.2.150");
    const QCommandLineOption unpacedOpt("unpaced", "Reply as fast as possible instead of at 9600 baud.");
    const QCommandLineOption crlfOpt("crlf", "End reply lines with CR LF instead of CR.");
    parser.addOptions({loadOpt, firmwareOpt, unpacedOpt, crlfOpt});
    parser.process(app);

    const auto load = ParseSimLoad(parser.value(loadOpt));
    if (!load) {
        std::fprintf(stderr, "vantrel-sim: unknown load '%s'\n", qPrintable(parser.value(loadOpt)));
        return 2;
    }
    TSimOptions options;
    options.Firmware = parser.value(firmwareOpt).toLatin1();
    options.Paced = !parser.isSet(unpacedOpt);
    options.LineEnd = parser.isSet(crlfOpt) ? "\r\n" : "\r";

    TAnalyzerSim sim(options);
    sim.SetLoad(*load);
    try {
        sim.Start();
    } catch (const std::runtime_error &e) {
        std::fprintf(stderr, "vantrel-sim: %s\n", e.what());
        return 1;
    }
    std::printf("%s\n", qPrintable(sim.PortName()));
    std::fflush(stdout);

    if (StdinIsPipe())
        WatchStdin();
    int sig = 0;
    sigwait(&endSignals, &sig);
    sim.Stop();
    return 0;
}
