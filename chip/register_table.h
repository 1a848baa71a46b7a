// The one description of the chip's registers that every user reads: the windows' register
// names, `osdex read/write NAME`, the register dump and the Python module. Each register has
// its name, its offset in its bank, how it may be accessed, its power-up value and its bit
// fields; the 9-bit line values (QPLINE, SHRBEG, SHREND) are register pairs read and written
// as one value, the high register first.
//
// Names: ch<N>.<REG> for channel N (0..7), <REG> or all.<REG> for the multi-channel bank,
// ch<N>.<REG>.<FIELD> for a bit field, ch<N>.QPLINE / .SHRBEG / .SHREND (and QPLINE) for the
// 9-bit values. Names are matched without regard to case.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class RegisterAccess : std::uint8_t {
    Read_Write,
    Read_Only,  // reported by the chip; a write changes nothing
    Trigger,    // a write starts an action; a read means nothing
};

struct RegisterField {
    std::string_view name;
    std::uint8_t shift;
    std::uint8_t width;
    RegisterAccess access;
    std::string_view meaning;

    constexpr unsigned Max() const { return (1u << width) - 1; }
};

struct RegisterInfo {
    std::string_view name;
    std::uint8_t offset;  // in its bank: 0..15 for a channel, 0..7 for the multi-channel bank
    RegisterAccess access;
    std::uint8_t power_up;
    std::span<const RegisterField> fields;
    std::string_view meaning;
};

// A 9-bit value kept in two registers of one bank.
struct LinePair {
    std::string_view name;
    std::uint8_t high_offset;
    std::uint8_t low_offset;
    std::string_view meaning;
};

inline constexpr unsigned Line_Max = 511;

// The registers of a channel bank (16, by offset) and of the multi-channel bank (8).
std::span<const RegisterInfo> Channel_Bank_Registers();
std::span<const RegisterInfo> Multi_Bank_Registers();
std::span<const LinePair> Channel_Bank_Lines();
std::span<const LinePair> Multi_Bank_Lines();

// The register at an address; nullptr for 136..255, which hold no register of the chip.
const RegisterInfo* Register_At(std::uint8_t address);
// The name of the register at an address ("ch1.HOFFSET", "LOSALL"); "" for 136..255.
std::string Register_Name(std::uint8_t address);

// Names without the bank, for the windows' register panels: a register by its address
// (channel 0's offsets for a channel register: Reg::STATUS gives "STATUS"), a 9-bit value by
// the offset of its high register, a field by its register's address and its mask.
std::string Register_Label(std::uint8_t address);
std::string Line_Label(std::uint8_t high_offset);
std::string Field_Label(std::uint8_t address, std::uint8_t mask);

// What a name stands for.
struct NamedRegister {
    enum class Kind : std::uint8_t { Register, Field, Line };
    Kind kind = Kind::Register;
    std::string name;                      // as the table spells it: "ch1.STATUS.BLANK"
    std::uint8_t address = 0;              // the register, or the high register of a line pair
    std::uint8_t low_address = 0;          // Line: the low register
    const RegisterInfo* info = nullptr;    // Register and Field
    const RegisterField* field = nullptr;  // Field

    unsigned Max() const;   // the largest value: 255, the field's, or 511
    bool Readable() const;  // false for a trigger
    bool Writable() const;  // false for read-only registers and fields
};

// The name resolved; nothing with *error saying why, with the nearest names, when it names
// nothing.
std::optional<NamedRegister> Find_Register(std::string_view name, std::string* error);

// Every name of a register, field and line value, channels first, in address order.
std::vector<std::string> All_Register_Names();
