#pragma once

#include "PtyPort.h"

#include <QString>

#include <atomic>
#include <thread>

class TSimState;

// Serves the analyzer's side of a pseudo-terminal on its own thread: reads
// commands, acts on them through the state, and writes the replies at the
// line rate.
class TSimServer {
public:
    explicit TSimServer(TSimState &state);
    ~TSimServer();
    TSimServer(const TSimServer &) = delete;
    TSimServer &operator=(const TSimServer &) = delete;

    void Start(); // throws std::runtime_error
    void Stop();  // hangs up and joins
    QString PortName() const { return FPortName; }
    // False before Start, after Stop and once the analyzer has hung up.
    bool Running() const { return FThread.joinable() && !FHungUp; }
    // Makes the thread look at the state again (pacing switched).
    void Wake();

private:
    void Run();
    void CloseWakePipe();

    TSimState &FState;
    TPtyPort FPort;
    QString FPortName;
    std::thread FThread;
    std::atomic<bool> FStop{false};
    std::atomic<bool> FHungUp{false};
    int FWake[2] = {-1, -1};
};
