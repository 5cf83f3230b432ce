#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>
#include <map>
#include <set>

// Faults that spoil one sweep's reply stream; reply indexes are 0-based.
struct TSweepFaults {
    std::set<int> GarbageBefore;   // a non-numeric line before these replies
    std::set<int> Drop;            // these replies are never sent
    std::map<int, int> DelayMs;    // these replies leave so much later
    int HangUpAfter = -1;          // hang up once this many replies are out
};

// How reply lines look on the wire.
struct TReplyFormat {
    QByteArray LineEnd = "\r";
    bool NulBytes = false;         // NUL bytes inside every line
};

// The lines that answer one command, produced one at a time so a reading is
// taken only when its line is about to leave (a load change applies to the
// next reading) and a long sweep needs no memory.
class TReplyStream {
public:
    // Reads the detector at hz (the series resistor state of the sweep applies).
    using TReading = std::function<int(qint64 hz)>;

    static TReplyStream Sweep(qint64 startHz, qint64 stepHz, int count, bool seriesR, TSweepFaults faults);
    static TReplyStream Single(const QByteArray &text);

    struct TChunk {
        enum class TWhat { Line, HangUp, End };
        TWhat What = TWhat::End;
        QByteArray Bytes;  // the whole line with its end
        int DelayMs = 0;   // extra wait before the line
    };
    TChunk Next(const TReading &reading, const TReplyFormat &format);

    bool SeriesR() const { return FSeriesR; }

private:
    static QByteArray Format(const QByteArray &text, const TReplyFormat &format);

    qint64 FStart = 0, FStep = 0;
    int FCount = 0;
    int FIndex = 0;       // next reply
    int FSent = 0;        // replies out so far
    bool FSeriesR = false;
    QByteArray FText;     // the reply of a single-line stream
    bool FSingle = false;
    TSweepFaults FFaults;
};
