#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// One command line as the analyzer understands it.
struct TSimCommand {
    enum class TKind { Unknown, SetFreq, Sweep, SeriesOn, SeriesOff, Version, SetXtal, XtalCheckOn, XtalCheckOff };
    TKind Kind = TKind::Unknown;
    qint32 A = 0; // frequency ("f", "x") or step ("r")
    qint32 B = 0; // count ("r")

    // Reads one line (without its end). Malformed numbers make it Unknown.
    static TSimCommand Parse(const QByteArray &line);
};

// Cuts received bytes into command lines. A line ends at CR or LF; the LF of
// a CR LF pair ends nothing, so both line ends give one line each.
class TCommandSplitter {
public:
    QList<QByteArray> Feed(const QByteArray &bytes);
    void Reset();

private:
    QByteArray FPending;
    bool FAfterCR = false;
};
