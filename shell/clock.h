// The millisecond clock behind every wait and time stamp. Tests and benchmarks replace it
// with a virtual clock so that busy waits cost no real time.
#pragma once

#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, wrapping at 2^32 like the system tick count.
    virtual std::uint32_t Milliseconds() = 0;
};

// The clock in use: the system's monotonic clock unless one was installed.
Clock& Current_Clock();
// Installs a clock; nullptr restores the system clock. The caller keeps ownership.
void Install_Clock(Clock* clock);
// Shorthand for Current_Clock().Milliseconds().
std::uint32_t Clock_Milliseconds();

// A clock that moves only when told to, and by Step_ms on every reading, so that a busy
// wait of n ms ends after about n readings.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(std::uint32_t start = 0, std::uint32_t step_ms = 1)
        : now_(start), step_(step_ms) {}
    std::uint32_t Milliseconds() override {
        std::uint32_t t = now_;
        now_ += step_;
        return t;
    }
    void Advance(std::uint32_t ms) { now_ += ms; }
    void Set(std::uint32_t ms) { now_ = ms; }
    std::uint32_t Peek() const { return now_; }
    void Set_Step(std::uint32_t step_ms) { step_ = step_ms; }

private:
    std::uint32_t now_;
    std::uint32_t step_;
};
