// Register values as the register panels move them between the chip and their fields: the
// 9-bit line pairs (QPLINE, SHRBEG, SHREND) and read values shown in an up-down.
#pragma once

#include <cstdint>

class QSpinBox;

// A 9-bit line pair: the high register (bit 8) at high_address, the low register (bits 7-0)
// right after it. Reads take the whole high byte, as the chip returns it; writes send the
// high register first.
int Read_Line_Pair(std::uint8_t high_address);
void Write_Line_Pair(std::uint8_t high_address, int line);

// Shows a value read from the chip in an up-down. The position changes, and with it the
// field's change action runs, only when the value differs from what is shown; a value beyond
// the up-down's range stops at the nearest end instead of wrapping or being taken as is.
void Show_Read_Value(QSpinBox* up_down, int value);
