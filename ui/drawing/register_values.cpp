// Register values of the panels.
#include "ui/drawing/register_values.h"

#include <QSpinBox>

#include "chip/register_bus.h"
#include "chip/register_map.h"

int Read_Line_Pair(std::uint8_t high_address) {
    const std::uint8_t high = Read_Register(high_address);
    const std::uint8_t low = Read_Register(static_cast<std::uint8_t>(high_address + 1));
    return Line_Value(high, low);
}

void Write_Line_Pair(std::uint8_t high_address, int line) {
    Write_Register(high_address, Line_High(line));
    Write_Register(static_cast<std::uint8_t>(high_address + 1), Line_Low(line));
}

void Show_Read_Value(QSpinBox* up_down, int value) {
    // The spin box clamps to its range and reports a change only when its position moves.
    if (value != up_down->value()) up_down->setValue(value);
}
