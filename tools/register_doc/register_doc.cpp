// Prints docs/registers.md, the list of register names, from the register table: every
// channel register and the multi-channel bank with address, access, power-up value, fields
// and meaning, and the 9-bit line values. The committed file is this program's output.
#include <cstdio>
#include <span>
#include <string>

#include "chip/register_table.h"

namespace {

const char* Access_Text(RegisterAccess access) {
    switch (access) {
        case RegisterAccess::Read_Only:
            return "read-only";
        case RegisterAccess::Trigger:
            return "trigger";
        case RegisterAccess::Read_Write:
            break;
    }
    return "read/write";
}

std::string Bits(const RegisterField& field) {
    const int high = field.shift + field.width - 1;
    if (field.width == 1) return "bit " + std::to_string(field.shift);
    return "bits " + std::to_string(high) + "-" + std::to_string(field.shift);
}

std::string Fields(const RegisterInfo& info) {
    std::string text;
    for (const RegisterField& field : info.fields) {
        if (!text.empty()) text += "; ";
        text += "`" + std::string(field.name) + "` " + Bits(field) + ", " +
                Access_Text(field.access) + ": " + std::string(field.meaning);
    }
    return text;
}

void Print_Bank(std::span<const RegisterInfo> bank, const char* prefix, int base) {
    std::puts("| name | address | access | power-up | meaning | fields |");
    std::puts("|---|---|---|---|---|---|");
    for (const RegisterInfo& info : bank)
        std::printf("| `%s%.*s` | %d | %s | %u | %.*s | %s |\n", prefix,
                    static_cast<int>(info.name.size()), info.name.data(), base + info.offset,
                    Access_Text(info.access), info.power_up, static_cast<int>(info.meaning.size()),
                    info.meaning.data(), Fields(info).c_str());
}

void Print_Line_Rows(std::span<const LinePair> lines, std::span<const RegisterInfo> bank,
                     const char* prefix) {
    for (const LinePair& line : lines)
        std::printf(
            "| `%s%.*s` | `%.*s`, `%.*s` | %.*s |\n", prefix, static_cast<int>(line.name.size()),
            line.name.data(), static_cast<int>(bank[line.high_offset].name.size()),
            bank[line.high_offset].name.data(), static_cast<int>(bank[line.low_offset].name.size()),
            bank[line.low_offset].name.data(), static_cast<int>(line.meaning.size()),
            line.meaning.data());
}

}  // namespace

int main() {
    std::puts("# Register names");
    std::puts("");
    std::puts(
        "<!-- Made by the register_doc tool from chip/register_table.cpp: "
        "`build/tools/register_doc/register_doc > docs/registers.md`. -->");
    std::puts("");
    std::puts(
        "The names `osdex read`/`write`, `osdex registers dump` and the Python module "
        "take, from the one register table of the program. Names ignore case. A "
        "channel register is `ch<N>.<REG>` (N = 0..7, address 16 N + offset), a "
        "multi-channel register `<REG>` or `all.<REG>`, a bit field "
        "`ch<N>.<REG>.<FIELD>`, and a 9-bit line value (0..511) names its two "
        "registers at once, written and read high register first. A field write is "
        "a read-modify-write of its register; read-only names cannot be written, and "
        "trigger registers (a write starts an action) cannot be read.");
    std::puts("");
    std::puts("## Channel registers");
    std::puts("");
    std::puts("Channel 0's addresses; channel N's are 16 N higher.");
    std::puts("");
    Print_Bank(Channel_Bank_Registers(), "ch0.", 0);
    std::puts("");
    std::puts("## The multi-channel bank");
    std::puts("");
    std::puts("Writes through `MWRITE` reach every channel of its mask at once.");
    std::puts("");
    Print_Bank(Multi_Bank_Registers(), "", 128);
    std::puts("");
    std::puts("## 9-bit line values");
    std::puts("");
    std::puts("| name | registers (high, low) | meaning |");
    std::puts("|---|---|---|");
    Print_Line_Rows(Channel_Bank_Lines(), Channel_Bank_Registers(), "ch0.");
    Print_Line_Rows(Multi_Bank_Lines(), Multi_Bank_Registers(), "");
    return 0;
}
