// The Osdex register map: every address, bit field, command code and encoding the program
// uses, so that no caller writes a bare register number.
//
// Channel n (0..7) owns the bank 16 n .. 16 n + 15; a window forms an address by OR-ing an
// offset of namespace Reg into its RegisterBase. The multi-channel bank 128..135 (namespace
// MReg) writes several channels at once.
#pragma once

#include <cstdint>

inline constexpr int Channel_Count = 8;
inline constexpr int Bank_Size = 16;
inline constexpr std::uint8_t Multi_Bank = 128;

// Bank start of channel n (its RegisterBase).
constexpr std::uint8_t Channel_Bank(int channel) {
    return static_cast<std::uint8_t>((channel & 7) * Bank_Size);
}
// Channel of a channel-bank address (0..127).
constexpr int Channel_Of(std::uint8_t address) {
    return (address >> 4) & 7;
}
constexpr bool Is_Channel_Address(std::uint8_t address) {
    return address < Multi_Bank;
}

// Offsets inside a channel bank.
namespace Reg {
inline constexpr std::uint8_t QPH = 0;      // quad data: pixel 0 (bits 7-4), pixel 1 (3-0)
inline constexpr std::uint8_t QPL = 1;      // quad data: pixel 2 (bits 7-4), pixel 3 (3-0)
inline constexpr std::uint8_t QPHORIZ = 2;  // quad column 0..177
inline constexpr std::uint8_t QPLINEH = 3;  // bit 8 of the quad line
inline constexpr std::uint8_t QPLINEL = 4;  // bits 7-0 of the quad line
inline constexpr std::uint8_t STATUS = 5;
inline constexpr std::uint8_t COMMAND = 6;  // trigger: read or write the addressed quad
inline constexpr std::uint8_t HOFFSET = 7;
inline constexpr std::uint8_t VOFFSET = 8;
inline constexpr std::uint8_t SHRSRC = 9;
inline constexpr std::uint8_t SHRBEGH = 10;
inline constexpr std::uint8_t SHRBEGL = 11;
inline constexpr std::uint8_t SHRENDH = 12;
inline constexpr std::uint8_t SHRENDL = 13;
inline constexpr std::uint8_t ReservedE = 14;
inline constexpr std::uint8_t ReservedF = 15;
}  // namespace Reg

// The multi-channel bank (absolute addresses).
namespace MReg {
inline constexpr std::uint8_t QPH = 128;
inline constexpr std::uint8_t QPL = 129;
inline constexpr std::uint8_t QPHORIZ = 130;
inline constexpr std::uint8_t QPLINEH = 131;
inline constexpr std::uint8_t QPLINEL = 132;
inline constexpr std::uint8_t LOSALL = 133;   // read-only: bit n = loss of sync on channel n
inline constexpr std::uint8_t MWRITE = 134;   // trigger: write the quad into the channels of a mask
inline constexpr std::uint8_t CONTROL = 135;  // VINC / HINC of the multi-channel address
}  // namespace MReg

// STATUS (channel) and CONTROL (multi-channel) bits.
inline constexpr std::uint8_t Status_VINC = 0x10;  // advance QPLINE after each quad command
inline constexpr std::uint8_t Status_HINC = 0x08;  // advance QPHORIZ after each quad command
inline constexpr std::uint8_t Status_ASYNC = 0x04;
inline constexpr std::uint8_t Status_BLANK = 0x02;  // OSD blanked while set
inline constexpr std::uint8_t Status_LOS = 0x01;    // loss of sync; reported, not writable
inline constexpr std::uint8_t Increment_Bits = Status_VINC | Status_HINC;

// COMMAND codes.
inline constexpr std::uint8_t Command_Read_Quad = 1;   // quad at (QPHORIZ, QPLINE) -> QPH/QPL
inline constexpr std::uint8_t Command_Write_Quad = 2;  // QPH/QPL -> quad at (QPHORIZ, QPLINE)

// A LOSALL read that returns its own address means the data pins are not read back.
inline constexpr std::uint8_t LOSALL_Echo = MReg::LOSALL;

// Register classes that the cache and the write verification single out.
constexpr bool Is_Trigger_Address(std::uint8_t a) {
    return a == MReg::MWRITE || (a < Multi_Bank && (a & 15) == Reg::COMMAND);
}
constexpr bool Is_Channel_Status_Address(std::uint8_t a) {
    return a < Multi_Bank && (a & 15) == Reg::STATUS;
}

// 9-bit line values (QPLINE, SHRBEG, SHREND): high register first, then low.
constexpr std::uint8_t Line_High(int line) {
    return static_cast<std::uint8_t>((line >> 8) & 1);
}
constexpr std::uint8_t Line_Low(int line) {
    return static_cast<std::uint8_t>(line & 0xFF);
}
constexpr int Line_Value(std::uint8_t high, std::uint8_t low) {
    return high * 256 + low;
}

// Quad data bytes: the first level of each pair in the high nibble, kept to 8 bits.
constexpr std::uint8_t Quad_Byte(int first, int second) {
    return static_cast<std::uint8_t>(16 * first + second);
}
// Level of pixel i (0 leftmost .. 3) of a quad held as QPH, QPL.
constexpr int Quad_Pixel(std::uint8_t qph, std::uint8_t qpl, int i) {
    const std::uint8_t byte = i < 2 ? qph : qpl;
    return (i % 2 == 0) ? (byte >> 4) & 15 : byte & 15;
}

// SHRSRC: the list index 0..4 ("No Sharing", "Channel 0/1" .. "Channel 6/7").
inline constexpr int Shrsrc_Source_Count = 5;
inline constexpr const char* Shrsrc_Source_Names[Shrsrc_Source_Count] = {
    "No Sharing", "Channel 0/1", "Channel 2/3", "Channel 4/5", "Channel 6/7"};

// Value for source index p seen from the channel whose bank starts at bank_start: one bit
// of the pair, the odd bit for an odd channel. Index 0 (or out of range) writes 0.
constexpr std::uint8_t Shrsrc_Encode(int index, std::uint8_t bank_start) {
    if (index < 1 || index >= Shrsrc_Source_Count) return 0;
    const int odd = (bank_start & 0x10) ? 1 : 0;
    return static_cast<std::uint8_t>(1u << (2 * (index - 1) + odd));
}
// Index shown for a SHRSRC value: the highest pair with any bit set.
constexpr int Shrsrc_Decode(std::uint8_t value) {
    if (value & 0xC0) return 4;
    if (value & 0x30) return 3;
    if (value & 0x0C) return 2;
    if (value & 0x03) return 1;
    return 0;
}
