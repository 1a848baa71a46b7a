// The millisecond clock behind every wait, every event break of a long loop and the time
// stamp's date and time. Tests and benchmarks replace it with a virtual clock so that busy
// waits cost no real time and nothing depends on how fast the machine is.
#pragma once

#include <cstdint>
#include <optional>

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, wrapping at 2^32 like the system tick count.
    virtual std::uint32_t Milliseconds() = 0;
    // The date and time of day: milliseconds since 1970-01-01 00:00 UTC.
    virtual std::int64_t Epoch_Milliseconds() = 0;
};

// The clock in use: the system's monotonic clock unless one was installed.
Clock& Current_Clock();
// Shorthand for Current_Clock().Milliseconds().
std::uint32_t Clock_Milliseconds();
// Shorthand for Current_Clock().Epoch_Milliseconds().
std::int64_t Clock_Epoch_Milliseconds();

// A clock that moves only when told to, and by Step_ms on every reading, so that a busy
// wait of n ms ends after about n readings. Its date and time is the moment set for its
// zero plus its milliseconds (the start of 1970 unless set), or a moment it holds.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(std::uint32_t start = 0, std::uint32_t step_ms = 1)
        : now_(start), step_(step_ms) {}
    std::uint32_t Milliseconds() override {
        std::uint32_t t = now_;
        now_ += step_;
        return t;
    }
    std::int64_t Epoch_Milliseconds() override {
        return held_epoch_ ? *held_epoch_ : epoch_at_zero_ + now_;
    }
    void Advance(std::uint32_t ms) { now_ += ms; }
    void Set(std::uint32_t ms) { now_ = ms; }
    std::uint32_t Peek() const { return now_; }
    void Set_Step(std::uint32_t step_ms) { step_ = step_ms; }
    void Set_Epoch_At_Zero(std::int64_t epoch_ms) {
        epoch_at_zero_ = epoch_ms;
        held_epoch_.reset();
    }
    // The date and time stand still at epoch_ms while the milliseconds run on.
    void Hold_Epoch(std::int64_t epoch_ms) { held_epoch_ = epoch_ms; }

private:
    std::uint32_t now_;
    std::uint32_t step_;
    std::int64_t epoch_at_zero_ = 0;
    std::optional<std::int64_t> held_epoch_;
};
