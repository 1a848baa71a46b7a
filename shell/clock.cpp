// The system millisecond clock and the switch to an installed (virtual) clock.
#include "shell/clock.h"

#include <time.h>

#include "shell/services.h"

namespace {

// CLOCK_MONOTONIC never jumps with wall-clock changes, so busy waits stay honest.
class SystemClock : public Clock {
public:
    std::uint32_t Milliseconds() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        const std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                                 static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
        return static_cast<std::uint32_t>(ms);  // wraps like the system tick count
    }
    std::int64_t Epoch_Milliseconds() override {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
    }
};

SystemClock system_clock;

}  // namespace

Clock& Current_Clock() {
    Clock* installed = Program_Services().clock;
    return installed ? *installed : system_clock;
}

std::uint32_t Clock_Milliseconds() {
    return Current_Clock().Milliseconds();
}

std::int64_t Clock_Epoch_Milliseconds() {
    return Current_Clock().Epoch_Milliseconds();
}
