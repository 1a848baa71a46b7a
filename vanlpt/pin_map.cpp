#include "vanlpt/pin_map.h"

namespace vanlpt {

namespace {

PinLocation At(PinRegister reg, int bit, bool inverted) {
    return PinLocation{reg, static_cast<std::uint8_t>(1u << bit), inverted};
}

}  // namespace

PinLocation Locate_Pin(int pin) {
    if (pin >= 2 && pin <= 9) return At(PinRegister::Data, pin - 2, false);
    switch (pin) {
        case 1:
            return At(PinRegister::Control, 0, true);
        case 14:
            return At(PinRegister::Control, 1, true);
        case 16:
            return At(PinRegister::Control, 2, false);
        case 17:
            return At(PinRegister::Control, 3, true);
        case 10:
            return At(PinRegister::Status, 6, false);
        case 11:
            return At(PinRegister::Status, 7, true);
        case 12:
            return At(PinRegister::Status, 5, false);
        case 13:
            return At(PinRegister::Status, 4, false);
        case 15:
            return At(PinRegister::Status, 3, false);
        default:
            return PinLocation{};
    }
}

bool Is_Output_Pin(int pin) {
    PinRegister reg = Locate_Pin(pin).reg;
    return reg == PinRegister::Data || reg == PinRegister::Control;
}

bool Is_Input_Pin(int pin) {
    return Locate_Pin(pin).reg == PinRegister::Status;
}

int Level_In_Register(PinLocation where, std::uint8_t reg_value) {
    bool bit_set = (reg_value & where.bit) != 0;
    return (bit_set != where.inverted) ? 1 : 0;
}

std::uint8_t With_Level(PinLocation where, std::uint8_t reg_value, int level) {
    bool bit_set = (level != 0) != where.inverted;
    return bit_set ? static_cast<std::uint8_t>(reg_value | where.bit)
                   : static_cast<std::uint8_t>(reg_value & ~where.bit);
}

}  // namespace vanlpt
