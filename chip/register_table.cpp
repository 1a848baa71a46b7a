#include "chip/register_table.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "chip/register_map.h"
#include "shell/message_text.h"

namespace {

using Access = RegisterAccess;

constexpr RegisterField Status_Fields[] = {
    {"VINC", 4, 1, Access::Read_Write, "advance QPLINE after each quad command"},
    {"HINC", 3, 1, Access::Read_Write, "advance QPHORIZ after each quad command"},
    {"ASYNC", 2, 1, Access::Read_Write, "asynchronous mode"},
    {"BLANK", 1, 1, Access::Read_Write, "the overlay is blanked while set"},
    {"LOS", 0, 1, Access::Read_Only, "loss of sync, reported by the chip"},
};
constexpr RegisterField Control_Fields[] = {
    {"VINC", 4, 1, Access::Read_Write, "advance the multi-channel line after each MWRITE"},
    {"HINC", 3, 1, Access::Read_Write, "advance the multi-channel column after each MWRITE"},
};

constexpr std::uint8_t Offset_Power_Up = 128;

constexpr RegisterInfo Channel_Table[Bank_Size] = {
    {"QPH", Reg::QPH, Access::Read_Write, 0, {}, "quad data: pixel 0 (bits 7-4), pixel 1 (3-0)"},
    {"QPL", Reg::QPL, Access::Read_Write, 0, {}, "quad data: pixel 2 (bits 7-4), pixel 3 (3-0)"},
    {"QPHORIZ", Reg::QPHORIZ, Access::Read_Write, 0, {}, "quad column 0..177"},
    {"QPLINEH", Reg::QPLINEH, Access::Read_Write, 0, {}, "bit 8 of the quad line"},
    {"QPLINEL", Reg::QPLINEL, Access::Read_Write, 0, {}, "bits 7-0 of the quad line"},
    {"STATUS", Reg::STATUS, Access::Read_Write, 0, Status_Fields, "increments, blanking, sync"},
    {"COMMAND", Reg::COMMAND, Access::Trigger, 0, {}, "1 reads the addressed quad, 2 writes it"},
    {"HOFFSET", Reg::HOFFSET, Access::Read_Write, Offset_Power_Up, {}, "horizontal offset"},
    {"VOFFSET", Reg::VOFFSET, Access::Read_Write, Offset_Power_Up, {}, "vertical offset"},
    {"SHRSRC", Reg::SHRSRC, Access::Read_Write, 0, {}, "shared-buffer source, one bit or 0"},
    {"SHRBEGH", Reg::SHRBEGH, Access::Read_Write, 0, {}, "bit 8 of the first shared line"},
    {"SHRBEGL", Reg::SHRBEGL, Access::Read_Write, 0, {}, "bits 7-0 of the first shared line"},
    {"SHRENDH", Reg::SHRENDH, Access::Read_Write, 0, {}, "bit 8 of the last shared line"},
    {"SHRENDL", Reg::SHRENDL, Access::Read_Write, 0, {}, "bits 7-0 of the last shared line"},
    {"reservedE", Reg::ReservedE, Access::Read_Write, 0, {}, "not used"},
    {"reservedF", Reg::ReservedF, Access::Read_Write, 0, {}, "not used"},
};

constexpr RegisterInfo Multi_Table[8] = {
    {"QPH", MReg::QPH - Multi_Bank, Access::Read_Write, 0, {}, "quad data for MWRITE, as QPH"},
    {"QPL", MReg::QPL - Multi_Bank, Access::Read_Write, 0, {}, "quad data for MWRITE, as QPL"},
    {"QPHORIZ", MReg::QPHORIZ - Multi_Bank, Access::Read_Write, 0, {}, "multi-channel column"},
    {"QPLINEH", MReg::QPLINEH - Multi_Bank, Access::Read_Write, 0, {}, "bit 8 of the line"},
    {"QPLINEL", MReg::QPLINEL - Multi_Bank, Access::Read_Write, 0, {}, "bits 7-0 of the line"},
    {"LOSALL",
     MReg::LOSALL - Multi_Bank,
     Access::Read_Only,
     0,
     {},
     "bit n: loss of sync, channel n"},
    {"MWRITE", MReg::MWRITE - Multi_Bank, Access::Trigger, 0, {}, "writes the quad into a mask"},
    {"CONTROL", MReg::CONTROL - Multi_Bank, Access::Read_Write, 0, Control_Fields,
     "increments of the multi-channel address"},
};

constexpr LinePair Channel_Line_Table[] = {
    {"QPLINE", Reg::QPLINEH, Reg::QPLINEL, "quad line 0..511"},
    {"SHRBEG", Reg::SHRBEGH, Reg::SHRBEGL, "first shared line 0..511"},
    {"SHREND", Reg::SHRENDH, Reg::SHRENDL, "last shared line 0..511"},
};
constexpr LinePair Multi_Line_Table[] = {
    {"QPLINE", MReg::QPLINEH - Multi_Bank, MReg::QPLINEL - Multi_Bank, "multi-channel line"},
};

// The table is indexed by offset, so that a look-up is one step.
constexpr bool Indexed_By_Offset() {
    for (std::uint8_t i = 0; i < Bank_Size; ++i)
        if (Channel_Table[i].offset != i) return false;
    for (std::uint8_t i = 0; i < 8; ++i)
        if (Multi_Table[i].offset != i) return false;
    return true;
}
static_assert(Indexed_By_Offset());

constexpr std::string_view Multi_Prefix = "all.";

bool Same_Name(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::string Bank_Prefix(std::uint8_t bank) {
    return bank == Multi_Bank ? "" : "ch" + std::to_string(Channel_Of(bank)) + ".";
}

// The bank start a name's prefix chooses ("ch3." or "all." or none) and the rest of the name.
std::optional<std::uint8_t> Split_Bank(std::string_view* name) {
    if (name->size() > 4 && Same_Name(name->substr(0, 2), "ch") && (*name)[3] == '.' &&
        (*name)[2] >= '0' && (*name)[2] <= '7') {
        const int channel = (*name)[2] - '0';
        name->remove_prefix(4);
        return Channel_Bank(channel);
    }
    if (name->size() > Multi_Prefix.size() &&
        Same_Name(name->substr(0, Multi_Prefix.size()), Multi_Prefix))
        name->remove_prefix(Multi_Prefix.size());
    return Multi_Bank;
}

std::span<const RegisterInfo> Bank_Registers(std::uint8_t bank) {
    return bank == Multi_Bank ? Multi_Bank_Registers() : Channel_Bank_Registers();
}
std::span<const LinePair> Bank_Lines(std::uint8_t bank) {
    return bank == Multi_Bank ? Multi_Bank_Lines() : Channel_Bank_Lines();
}

std::optional<NamedRegister> Find_In_Bank(std::uint8_t bank, std::string_view rest) {
    const std::string prefix = Bank_Prefix(bank);
    const std::size_t dot = rest.find('.');
    const std::string_view reg = rest.substr(0, dot);
    for (const LinePair& line : Bank_Lines(bank))
        if (dot == std::string_view::npos && Same_Name(reg, line.name))
            return NamedRegister{NamedRegister::Kind::Line,
                                 prefix + std::string(line.name),
                                 static_cast<std::uint8_t>(bank | line.high_offset),
                                 static_cast<std::uint8_t>(bank | line.low_offset),
                                 nullptr,
                                 nullptr};
    for (const RegisterInfo& info : Bank_Registers(bank)) {
        if (!Same_Name(reg, info.name)) continue;
        NamedRegister named{NamedRegister::Kind::Register,
                            prefix + std::string(info.name),
                            static_cast<std::uint8_t>(bank | info.offset),
                            0,
                            &info,
                            nullptr};
        if (dot == std::string_view::npos) return named;
        for (const RegisterField& field : info.fields) {
            if (!Same_Name(rest.substr(dot + 1), field.name)) continue;
            named.kind = NamedRegister::Kind::Field;
            named.name += "." + std::string(field.name);
            named.field = &field;
            return named;
        }
    }
    return std::nullopt;
}

// Edit distance of two names, without regard to case: how far a typing slip is.
std::size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Up to three names nearest to a wrong one, for its message.
std::string Nearest_Names(std::string_view wrong) {
    std::vector<std::pair<std::size_t, std::string>> ranked;
    for (std::string& name : All_Register_Names())
        ranked.emplace_back(Distance(wrong, name), std::move(name));
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string text;
    for (std::size_t i = 0; i < 3 && i < ranked.size(); ++i)
        text += (i ? ", " : "") + ranked[i].second;
    return text;
}

}  // namespace

std::span<const RegisterInfo> Channel_Bank_Registers() {
    return Channel_Table;
}
std::span<const RegisterInfo> Multi_Bank_Registers() {
    return Multi_Table;
}
std::span<const LinePair> Channel_Bank_Lines() {
    return Channel_Line_Table;
}
std::span<const LinePair> Multi_Bank_Lines() {
    return Multi_Line_Table;
}

const RegisterInfo* Register_At(std::uint8_t address) {
    if (Is_Channel_Address(address)) return &Channel_Table[address & 15];
    if (address - Multi_Bank < 8) return &Multi_Table[address - Multi_Bank];
    return nullptr;
}

std::string Register_Name(std::uint8_t address) {
    const RegisterInfo* info = Register_At(address);
    if (info == nullptr) return {};
    return Bank_Prefix(Is_Channel_Address(address) ? Channel_Bank(Channel_Of(address))
                                                   : Multi_Bank) +
           std::string(info->name);
}

std::string Register_Label(std::uint8_t address) {
    const RegisterInfo* info = Register_At(address);
    return info ? std::string(info->name) : std::string();
}

std::string Line_Label(std::uint8_t high_offset) {
    for (const LinePair& line : Channel_Line_Table)
        if (line.high_offset == high_offset) return std::string(line.name);
    return {};
}

std::string Field_Label(std::uint8_t address, std::uint8_t mask) {
    if (const RegisterInfo* info = Register_At(address))
        for (const RegisterField& field : info->fields)
            if ((field.Max() << field.shift) == mask) return std::string(field.name);
    return {};
}

unsigned NamedRegister::Max() const {
    if (kind == Kind::Line) return Line_Max;
    if (kind == Kind::Field) return field->Max();
    return 255;
}

bool NamedRegister::Readable() const {
    return kind == Kind::Line || info->access != RegisterAccess::Trigger;
}

bool NamedRegister::Writable() const {
    if (kind == Kind::Line) return true;
    if (kind == Kind::Field) return field->access == RegisterAccess::Read_Write;
    return info->access != RegisterAccess::Read_Only;
}

std::optional<NamedRegister> Find_Register(std::string_view name, std::string* error) {
    std::string_view rest = name;
    if (auto bank = Split_Bank(&rest))
        if (auto found = Find_In_Bank(*bank, rest)) return found;
    if (error)
        *error = "no register is named " + Quoted_Token(name) + "; the nearest names are " +
                 Nearest_Names(name.substr(0, 64)) + " (osdex registers dump lists them all)";
    return std::nullopt;
}

std::vector<std::string> All_Register_Names() {
    std::vector<std::string> names;
    const auto add_bank = [&names](std::uint8_t bank) {
        const std::string prefix = Bank_Prefix(bank);
        for (const RegisterInfo& info : Bank_Registers(bank)) {
            names.push_back(prefix + std::string(info.name));
            for (const RegisterField& field : info.fields)
                names.push_back(prefix + std::string(info.name) + "." + std::string(field.name));
        }
        for (const LinePair& line : Bank_Lines(bank))
            names.push_back(prefix + std::string(line.name));
    };
    for (int channel = 0; channel < Channel_Count; ++channel) add_bank(Channel_Bank(channel));
    add_bank(Multi_Bank);
    return names;
}
