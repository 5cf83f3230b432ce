#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A plain POSIX client of the simulator's pseudo-terminal, in raw mode, as
// the tests' view of the wire.
class TPtyClient {
public:
    explicit TPtyClient(const QString &path);
    ~TPtyClient();
    TPtyClient(const TPtyClient &) = delete;
    TPtyClient &operator=(const TPtyClient &) = delete;

    bool IsOpen() const { return FFd >= 0; }
    void Close();
    void Write(const QByteArray &bytes);
    // Writes the command and one CR.
    void Send(const QByteArray &command) { Write(command + '\r'); }
    // The next line without its CR (a leading LF dropped), or nothing when
    // none completes within timeoutMs or the line hangs up.
    std::optional<QByteArray> ReadLine(int timeoutMs);
    QList<QByteArray> ReadLines(int count, int timeoutMs);
    // The bytes of the next read, waiting up to timeoutMs for them.
    QByteArray ReadChunk(int timeoutMs);
    // Every byte that arrives until the wire has been quiet for quietMs.
    QByteArray ReadUntilQuiet(int quietMs);
    // True when the other side has hung up within timeoutMs.
    bool WaitHangUp(int timeoutMs);

private:
    // Appends what arrives within timeoutMs; false on timeout or hang-up.
    bool Fill(int timeoutMs);

    int FFd = -1;
    bool FHungUp = false;
    QByteArray FBuf;
};
