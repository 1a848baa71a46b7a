// Where each connector pin sits in the port's registers and whether the hardware inverts
// it. This is the one place that knows the inversions; everything above works in pin levels.
#pragma once

#include <cstdint>

namespace vanlpt {

enum class PinRegister { None, Data, Status, Control };

struct PinLocation {
    PinRegister reg = PinRegister::None;
    std::uint8_t bit = 0;   // mask of the pin's bit in that register
    bool inverted = false;  // pin level is the opposite of the register bit
};

// Pins 1..17; ground pins, pin 0 ("none") and anything else have no register.
PinLocation Locate_Pin(int pin);

bool Is_Output_Pin(int pin);  // data or control pin
bool Is_Input_Pin(int pin);   // status pin

// Level (0 or 1) of the pin at `where` in a register holding `reg_value`.
int Level_In_Register(PinLocation where, std::uint8_t reg_value);

// The register value with the pin at `where` set to `level` (0 low, nonzero high).
std::uint8_t With_Level(PinLocation where, std::uint8_t reg_value, int level);

}  // namespace vanlpt
