#include "ReplyStream.h"

#include <utility>

TReplyStream TReplyStream::Sweep(qint64 startHz, qint64 stepHz, int count, bool seriesR, TSweepFaults faults)
{
    TReplyStream s;
    s.FStart = startHz;
    s.FStep = stepHz;
    s.FCount = count;
    s.FSeriesR = seriesR;
    s.FFaults = std::move(faults);
    return s;
}

TReplyStream TReplyStream::Single(const QByteArray &text)
{
    TReplyStream s;
    s.FCount = 1;
    s.FText = text;
    s.FSingle = true;
    return s;
}

TReplyStream::TChunk TReplyStream::Next(const TReading &reading, const TReplyFormat &format)
{
    using W = TChunk::TWhat;
    if (FFaults.HangUpAfter >= 0 && FSent >= FFaults.HangUpAfter)
        return {W::HangUp, {}, 0};
    while (FIndex < FCount) {
        if (FFaults.GarbageBefore.erase(FIndex) > 0)
            return {W::Line, Format("?#x", format), 0};
        const int index = FIndex++;
        if (FFaults.Drop.count(index) > 0)
            continue;
        const auto delay = FFaults.DelayMs.find(index);
        const int delayMs = delay == FFaults.DelayMs.end() ? 0 : delay->second;
        ++FSent;
        const QByteArray text = FSingle ? FText : QByteArray::number(reading(FStart + index * FStep));
        return {W::Line, Format(text, format), delayMs};
    }
    return {W::End, {}, 0};
}

QByteArray TReplyStream::Format(const QByteArray &text, const TReplyFormat &format)
{
    QByteArray line = text;
    if (format.NulBytes) {
        // One inside the text and one right before the line end.
        line.insert(qMin<qsizetype>(1, line.size()), '\0');
        line.append('\0');
    }
    return line + format.LineEnd;
}
