#include "chip/named_registers.h"

#include <cctype>

#include "chip/register_batch.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "shell/message_text.h"

namespace {

unsigned Field_Of(std::uint8_t value, const RegisterField& field) {
    return (value >> field.shift) & field.Max();
}

std::uint8_t With_Field(std::uint8_t value, const RegisterField& field, unsigned bits) {
    const unsigned mask = field.Max() << field.shift;
    return static_cast<std::uint8_t>((value & ~mask) | ((bits << field.shift) & mask));
}

// The value of the address in a dump; 0 when the dump lacks it.
std::uint8_t Dumped(const std::vector<DumpedRegister>& dump, std::uint8_t address) {
    for (const DumpedRegister& r : dump)
        if (r.address == address) return r.value;
    return 0;
}

// The line pair a register belongs to, if any.
const LinePair* Line_Of(std::uint8_t address) {
    const auto lines = Is_Channel_Address(address) ? Channel_Bank_Lines() : Multi_Bank_Lines();
    const unsigned offset = Is_Channel_Address(address) ? address & 15u : address - Multi_Bank;
    for (const LinePair& line : lines)
        if (offset == line.high_offset || offset == line.low_offset) return &line;
    return nullptr;
}

std::string Line_Name(std::uint8_t address, const LinePair& line) {
    const std::string reg = Register_Name(address);
    return reg.substr(0, reg.rfind('.') + 1) + std::string(line.name);
}

unsigned Line_Value_In(const std::vector<DumpedRegister>& dump, std::uint8_t address,
                       const LinePair& line) {
    const std::uint8_t bank =
        Is_Channel_Address(address) ? Channel_Bank(Channel_Of(address)) : Multi_Bank;
    return Line_Value(Dumped(dump, bank | line.high_offset), Dumped(dump, bank | line.low_offset));
}

std::string Trimmed(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string_view::npos) return {};
    const std::size_t end = text.find_last_not_of(" \t\r");
    return std::string(text.substr(start, end - start + 1));
}

// One "NAME = VALUE" line; the problem in words, or "" when it is good.
std::string Parse_Dump_Line(std::string_view line, std::vector<NamedWrite>* writes, int* skipped) {
    const std::string body = Trimmed(line.substr(0, line.find('#')));
    if (body.empty()) return {};
    const std::size_t equals = body.find('=');
    if (equals == std::string::npos) return "expected NAME = VALUE, found " + Quoted_Token(body);
    const std::string name = Trimmed(std::string_view(body).substr(0, equals));
    const std::string value_text = Trimmed(std::string_view(body).substr(equals + 1));
    std::string error;
    const auto named = Find_Register(name, &error);
    if (!named) return error;
    unsigned value = 0;
    if (!Parse_Byte_Number(value_text, named->Max(), &value))
        return "bad value " + Quoted_Token(value_text) + " for " + named->name + " (0.." +
               std::to_string(named->Max()) + ")";
    if (!named->Writable() || !named->Readable()) {
        ++*skipped;
        return {};
    }
    writes->push_back({*named, value});
    return {};
}

}  // namespace

RegisterArgument Register_By_Address(std::uint8_t address) {
    std::string name = Register_Name(address);
    if (name.empty()) name = "register " + std::to_string(address);
    return {{NamedRegister::Kind::Register, name, address, 0, Register_At(address), nullptr}, true};
}

std::optional<RegisterArgument> Register_Argument(std::string_view text, std::string* error) {
    unsigned address = 0;
    if (Parse_Byte_Number(text, 255, &address))
        return Register_By_Address(static_cast<std::uint8_t>(address));
    if (!text.empty() &&
        (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' || text[0] == '+')) {
        *error = "bad register address " + Quoted_Token(text) +
                 ": expected 0..255, decimal or 0x hexadecimal, or a register name";
        return std::nullopt;
    }
    auto named = Find_Register(text, error);
    if (!named) return std::nullopt;
    return RegisterArgument{*named, false};
}

std::optional<std::string> Refuse_Write(const RegisterArgument& target) {
    if (target.by_address || target.named.Writable()) return std::nullopt;
    return target.named.name + " is read-only: the chip reports it";
}

std::optional<std::string> Refuse_Read(const RegisterArgument& target) {
    if (target.by_address || target.named.Readable()) return std::nullopt;
    return target.named.name + " is a trigger: a write starts an action, a read means nothing";
}

unsigned Read_Named(const NamedRegister& named) {
    switch (named.kind) {
        case NamedRegister::Kind::Line: {
            const std::uint8_t high = Read_Register(named.address);
            return Line_Value(high, Read_Register(named.low_address));
        }
        case NamedRegister::Kind::Field:
            return Field_Of(Read_Register(named.address), *named.field);
        case NamedRegister::Kind::Register:
            break;
    }
    return Read_Register(named.address);
}

void Write_Named(const NamedRegister& named, unsigned value) {
    switch (named.kind) {
        case NamedRegister::Kind::Line:
            Write_Register(named.address, Line_High(static_cast<int>(value)));
            Write_Register(named.low_address, Line_Low(static_cast<int>(value)));
            return;
        case NamedRegister::Kind::Field:
            Write_Register(named.address,
                           With_Field(Read_Register(named.address), *named.field, value));
            return;
        case NamedRegister::Kind::Register:
            Write_Register(named.address, static_cast<std::uint8_t>(value));
            return;
    }
}

std::vector<DumpedRegister> Read_Register_Dump() {
    std::vector<DumpedRegister> dump;
    Register_Run run;  // one request on a served board, not one a register
    for (unsigned a = 0; a < Multi_Bank + Multi_Bank_Registers().size(); ++a) {
        const auto address = static_cast<std::uint8_t>(a);
        if (Register_At(address)->access == RegisterAccess::Trigger) continue;
        dump.push_back({address, 0});
        run.Read(address);
    }
    run.Send();
    const std::vector<std::uint8_t> values = run.Values();
    for (std::size_t i = 0; i < dump.size(); ++i) dump[i].value = values[i];
    return dump;
}

std::string Format_Register_Dump(const std::vector<DumpedRegister>& dump) {
    std::string text =
        "# Osdex registers: NAME = VALUE (decimal), one register a line; osdex registers load\n"
        "# writes them back (read-only registers are left out)\n";
    for (const DumpedRegister& r : dump) {
        const RegisterInfo& info = *Register_At(r.address);
        std::string note;
        for (const RegisterField& field : info.fields)
            note += " " + std::string(field.name) + "=" + std::to_string(Field_Of(r.value, field));
        if (const LinePair* line = Line_Of(r.address))
            note += " " + Line_Name(r.address, *line) + "=" +
                    std::to_string(Line_Value_In(dump, r.address, *line));
        if (info.access == RegisterAccess::Read_Only) note += " read-only";
        text += Register_Name(r.address) + " = " + std::to_string(r.value);
        if (!note.empty()) text += "  #" + note;
        text += '\n';
    }
    return text;
}

std::vector<std::pair<std::string, unsigned>> Named_Values(
    const std::vector<DumpedRegister>& dump) {
    std::vector<std::pair<std::string, unsigned>> values;
    for (const DumpedRegister& r : dump) {
        const std::string name = Register_Name(r.address);
        values.emplace_back(name, r.value);
        for (const RegisterField& field : Register_At(r.address)->fields)
            values.emplace_back(name + "." + std::string(field.name), Field_Of(r.value, field));
        const LinePair* line = Line_Of(r.address);
        const bool high =
            line && (Is_Channel_Address(r.address) ? r.address & 15u : r.address - Multi_Bank) ==
                        line->high_offset;
        if (high)
            values.emplace_back(Line_Name(r.address, *line), Line_Value_In(dump, r.address, *line));
    }
    return values;
}

std::string Format_Register_Dump_Json(const std::vector<DumpedRegister>& dump) {
    std::string text = "{";
    bool first = true;
    for (const auto& [name, value] : Named_Values(dump)) {
        text += (first ? "\n  \"" : ",\n  \"") + name + "\": " + std::to_string(value);
        first = false;
    }
    return text + "\n}\n";
}

bool Parse_Register_Dump(std::string_view text, std::vector<NamedWrite>* writes, int* skipped,
                         std::string* problem) {
    writes->clear();
    *skipped = 0;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::string why = Parse_Dump_Line(line, writes, skipped);
        if (why.empty()) continue;
        *problem = "line " + std::to_string(number) + ": " + why;
        writes->clear();
        return false;
    }
    return true;
}
