// Registers by name through Write_Register and Read_Register: a field written by
// read-modify-write of its register, a 9-bit value as its two registers (high first), and
// the register dump, a text of every named register with its value that diff compares line
// by line and that can be written back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chip/register_table.h"

// The value a name stands for: the register, the field's bits, or the 9-bit value.
unsigned Read_Named(const NamedRegister& named);
// Writes value (at most named.Max()) to what the name stands for.
void Write_Named(const NamedRegister& named, unsigned value);

// What a register argument of a script names: a number 0..255, sent as it is (named as the
// table names it, else "register N"), or a name of the table.
struct RegisterArgument {
    NamedRegister named;
    bool by_address = false;
};
RegisterArgument Register_By_Address(std::uint8_t address);
// The text as a number or a name; nothing with *error saying why when it is neither (a bad
// number, or a name with the nearest names).
std::optional<RegisterArgument> Register_Argument(std::string_view text, std::string* error);
// Why what the argument names cannot be written (read-only) or read (a trigger); nothing for
// a number, which is always sent.
std::optional<std::string> Refuse_Write(const RegisterArgument& target);
std::optional<std::string> Refuse_Read(const RegisterArgument& target);

// One register of a dump.
struct DumpedRegister {
    std::uint8_t address;
    std::uint8_t value;
};

// Reads every register that can be read (all but the triggers), in address order.
std::vector<DumpedRegister> Read_Register_Dump();

// The dump as text: "NAME = VALUE" a line, decimal, with its fields and 9-bit value after
// a "#"; or as one JSON object of every register, field and 9-bit value by name.
std::string Format_Register_Dump(const std::vector<DumpedRegister>& dump);
std::string Format_Register_Dump_Json(const std::vector<DumpedRegister>& dump);
// Every name of the dump with its value: registers, fields and 9-bit values.
std::vector<std::pair<std::string, unsigned>> Named_Values(const std::vector<DumpedRegister>& dump);

// A dump (or any file of "NAME = VALUE" lines, blank lines and # comments) read for writing
// back; names of registers, fields and 9-bit values. Read-only and trigger names are left
// out (counted in *skipped). False with *problem ("line N: ...") on the first bad line:
// nothing is written from a file that is not good as a whole.
struct NamedWrite {
    NamedRegister named;
    unsigned value;
};
bool Parse_Register_Dump(std::string_view text, std::vector<NamedWrite>* writes, int* skipped,
                         std::string* problem);
