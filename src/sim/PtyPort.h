#pragma once

#include <QByteArray>
#include <QString>

// The master side of a POSIX pseudo-terminal in raw mode, non-blocking. The
// slave side is what a serial port client opens.
class TPtyPort {
public:
    TPtyPort() = default;
    ~TPtyPort();
    TPtyPort(const TPtyPort &) = delete;
    TPtyPort &operator=(const TPtyPort &) = delete;

    // Creates the pseudo-terminal; throws std::runtime_error on failure.
    void Open();
    // Closing the master hangs up every client of the slave.
    void Close();
    bool IsOpen() const { return FMaster >= 0; }
    int MasterFd() const { return FMaster; }
    QString SlavePath() const { return FSlavePath; }

    // True while no client holds the slave open (after at least one has).
    bool ClientGone() const;
    // Throws away what was written for a client that has gone, so the next
    // client does not read the rest of an old reply.
    void DiscardUnread() const;
    // Returns once the client has read everything sent so far, or after
    // maxWaitMs: a hang-up throws away what the client has not read yet.
    void WaitUntilRead(int maxWaitMs) const;

private:
    // Closes what was opened and throws the error of the failed step.
    [[noreturn]] void Fail(const char *what);

    int FMaster = -1;
    QString FSlavePath;
};
