#include "ReplyPacer.h"

#include <algorithm>

void TReplyPacer::Start(TClock::time_point start, bool paced)
{
    FBase = start;
    FBaseIndex = 0;
    FPaced = paced;
}

TReplyPacer::TClock::time_point TReplyPacer::Deadline(std::int64_t index) const
{
    if (!FPaced)
        return FBase;
    // Rounded up to the clock's tick: never early.
    return FBase + std::chrono::ceil<TClock::duration>((index - FBaseIndex) * kByteTime);
}

std::int64_t TReplyPacer::DueCount(TClock::time_point now, std::int64_t index, std::int64_t available) const
{
    if (available <= 0 || now < Deadline(index))
        return 0;
    if (!FPaced)
        return available;
    // Bytes index .. last are due when Deadline(last) <= now.
    const std::int64_t last = FBaseIndex + (now - FBase) / kByteTime;
    return std::min(available, last - index + 1);
}

void TReplyPacer::Delay(std::int64_t index, std::chrono::milliseconds delay, TClock::time_point now)
{
    // A stream that is already behind its schedule is delayed from now on,
    // so the pause is never swallowed by the backlog.
    const TClock::time_point due = std::max(Deadline(index), now);
    FBase = due + delay;
    FBaseIndex = index;
}

void TReplyPacer::SetPaced(bool paced, std::int64_t index, TClock::time_point now)
{
    if (paced == FPaced)
        return;
    FPaced = paced;
    FBase = now;
    FBaseIndex = index;
}
