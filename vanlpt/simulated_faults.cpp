#include "vanlpt/simulated_faults.h"

#include "vanlpt/vanlpt.h"

namespace vanlpt {
namespace {

constexpr unsigned kMaskMax = 255;
constexpr unsigned kFlagMax = 1;

// The largest value of a fault; 0 for an unknown one.
unsigned Value_Max(int fault) {
    switch (fault) {
        case VANLPT_FAULT_LOSS_OF_SYNC:
        case VANLPT_FAULT_READ_FLIPS:
            return kMaskMax;
        case VANLPT_FAULT_UNPLUGGED:
        case VANLPT_FAULT_STUCK_BUSY:
            return kFlagMax;
        default:
            return 0;
    }
}

std::string Unknown_Fault(int fault) {
    return "there is no simulated fault " + std::to_string(fault) +
           ": the faults are 1 (loss of sync) to 4 (read-back flips)";
}

unsigned Loss_Of_Sync_Mask(const board::OsdexChip& chip) {
    unsigned mask = 0;
    for (int channel = 0; channel < board::kChannels; ++channel)
        if (chip.Loss_Of_Sync(channel)) mask |= 1U << channel;
    return mask;
}

}  // namespace

std::string Set_Simulated_Fault(board::SimulatedBoard& model, int fault, unsigned value) {
    const unsigned max = Value_Max(fault);
    if (max == 0) return Unknown_Fault(fault);
    if (value > max)
        return "simulated fault " + std::to_string(fault) + " takes 0 to " + std::to_string(max) +
               ", not " + std::to_string(value);
    switch (fault) {
        case VANLPT_FAULT_LOSS_OF_SYNC:
            for (int channel = 0; channel < board::kChannels; ++channel)
                model.Chip().Set_Loss_Of_Sync(channel, (value >> channel & 1U) != 0);
            break;
        case VANLPT_FAULT_UNPLUGGED:
            model.Set_Connected(value == 0);
            break;
        case VANLPT_FAULT_STUCK_BUSY:
            model.Chip().Set_Stuck_Busy(value != 0);
            break;
        case VANLPT_FAULT_READ_FLIPS:
            model.Set_Read_Flip_Mask(static_cast<std::uint8_t>(value));
            break;
    }
    return "";
}

std::string Get_Simulated_Fault(const board::SimulatedBoard& model, int fault, unsigned* value) {
    if (Value_Max(fault) == 0) return Unknown_Fault(fault);
    if (value == nullptr) return "no place for the fault's value";
    switch (fault) {
        case VANLPT_FAULT_LOSS_OF_SYNC:
            *value = Loss_Of_Sync_Mask(model.Chip());
            break;
        case VANLPT_FAULT_UNPLUGGED:
            *value = model.Connected() ? 0 : 1;
            break;
        case VANLPT_FAULT_STUCK_BUSY:
            *value = model.Chip().Stuck_Busy() ? 1 : 0;
            break;
        case VANLPT_FAULT_READ_FLIPS:
            *value = model.Read_Flip_Mask();
            break;
    }
    return "";
}

}  // namespace vanlpt
