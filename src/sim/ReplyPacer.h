#pragma once

#include <chrono>
#include <cstdint>

// Schedules the bytes of one reply stream at the analyzer's line rate:
// 9600 baud with ten bits per byte (start, 8 data, stop). Deadlines are
// absolute points of a steady clock, so lateness in one write does not
// accumulate: bytes that fall behind are sent together as soon as possible.
class TReplyPacer {
public:
    using TClock = std::chrono::steady_clock;
    // Ten bits at 9600 baud: exactly 1/960 s.
    static constexpr std::chrono::duration<std::int64_t, std::ratio<1, 960>> kByteTime{1};

    // The stream's byte 0 leaves at start.
    void Start(TClock::time_point start, bool paced);
    // Byte `index` of the stream may leave no earlier than this.
    TClock::time_point Deadline(std::int64_t index) const;
    // How many of the bytes from `index` on, at most `available`, are due at now.
    std::int64_t DueCount(TClock::time_point now, std::int64_t index, std::int64_t available) const;
    // Everything from `index` on leaves `delay` later than scheduled.
    void Delay(std::int64_t index, std::chrono::milliseconds delay, TClock::time_point now);
    // Switches pacing on or off from byte `index` on; that byte is due at now.
    void SetPaced(bool paced, std::int64_t index, TClock::time_point now);
    bool Paced() const { return FPaced; }

private:
    TClock::time_point FBase{}; // when byte FBaseIndex is due
    std::int64_t FBaseIndex = 0;
    bool FPaced = true;
};
