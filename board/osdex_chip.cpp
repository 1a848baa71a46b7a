#include "board/osdex_chip.h"

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <string>

namespace board {
namespace {

constexpr unsigned kChannelBanksEnd = kChannels * kBankSize;  // 128
constexpr unsigned kMultiBank = kChannels;                    // bank index of 128..135
constexpr unsigned kLineMask = kLines - 1;                    // QPLINE is 9 bits wide
constexpr std::uint8_t kPowerUpOffset = 128;

// Registers that hold bit 8 of a line value: only that bit exists.
bool Is_Line_High(unsigned address) {
    if (address >= kChannelBanksEnd) return address == kMultiQPLINEH;
    const unsigned offset = address % kBankSize;
    return offset == kQPLINEH || offset == kSHRBEGH || offset == kSHRENDH;
}

void Check(bool ok, const char* what) {
    if (!ok) throw std::out_of_range(std::string("simulated Osdex: ") + what + " out of range");
}

void Check_Location(int channel, int line, int quad) {
    Check(channel >= 0 && channel < kChannels, "channel");
    Check(line >= 0 && line < kLines, "line");
    Check(quad >= 0 && quad < kQuadsPerLine, "quad column");
}

}  // namespace

OsdexChip::OsdexChip() : memory_(static_cast<std::size_t>(kChannels) * kLines * kQuadsPerLine) {
    Power_Up();
}

void OsdexChip::Power_Up() {
    registers_.fill(0);
    for (unsigned channel = 0; channel < kChannels; ++channel) {
        registers_[channel * kBankSize + kHOFFSET] = kPowerUpOffset;
        registers_[channel * kBankSize + kVOFFSET] = kPowerUpOffset;
    }
    std::fill(memory_.begin(), memory_.end(), std::uint16_t{0});
    busy_polls_left_ = 0;
    Update_Sharers();
    changes_.Mark_All();
}

// ---- bus accesses ----

void OsdexChip::Write(std::uint8_t address, std::uint8_t value) {
    if (!Ready()) ++counters_.accesses_while_busy;
    ++counters_.register_writes;
    Set_Register(address, value);
    if (address < kChannelBanksEnd && address % kBankSize == kCOMMAND) {
        Execute_Command(address / kBankSize, value);
    } else if (address == kMWRITE) {
        Execute_Mwrite(value);
    } else {
        Start_Busy(register_busy_polls_);
    }
}

std::uint8_t OsdexChip::Read(std::uint8_t address) {
    if (!Ready()) ++counters_.accesses_while_busy;
    ++counters_.register_reads;
    Start_Busy(register_busy_polls_);
    return Register(address);
}

bool OsdexChip::Poll_Ready() {
    if (stuck_busy_) return false;
    if (busy_polls_left_ == 0) return true;
    --busy_polls_left_;
    return false;
}

void OsdexChip::Start_Busy(unsigned polls) {
    busy_polls_left_ = polls;
}

void OsdexChip::Set_Busy_Polls(unsigned register_access, unsigned memory_command) {
    register_busy_polls_ = register_access;
    memory_busy_polls_ = memory_command;
}

// ---- quad commands ----

OsdexChip::QuadAddress OsdexChip::Channel_Address(int channel) {
    const unsigned base = static_cast<unsigned>(channel) * kBankSize;
    return {base + kQPHORIZ, base + kQPLINEH, base + kQPLINEL, base + kSTATUS};
}

OsdexChip::QuadAddress OsdexChip::Multi_Address() {
    return {kMultiQPHORIZ, kMultiQPLINEH, kMultiQPLINEL, kCONTROL};
}

unsigned OsdexChip::Line_Of(const QuadAddress& a) const {
    return (registers_[a.line_high_register] & 1U) << 8 | registers_[a.line_low_register];
}

bool OsdexChip::Quad_In_Range(unsigned line, unsigned column) const {
    return line < static_cast<unsigned>(kLines) && column < static_cast<unsigned>(kQuadsPerLine);
}

std::uint16_t& OsdexChip::Memory(int channel, unsigned line, unsigned column) {
    return memory_[(static_cast<std::size_t>(channel) * kLines + line) * kQuadsPerLine + column];
}

// Columns 178..255 have no memory behind them: writes there change nothing and reads give
// level 0, so a run that overshoots the line never spills into the next one.
void OsdexChip::Execute_Command(int channel, std::uint8_t command) {
    if (command != kCommandReadQuad && command != kCommandWriteQuad) {
        Start_Busy(register_busy_polls_);
        return;
    }
    ++counters_.memory_commands;
    const QuadAddress a = Channel_Address(channel);
    const unsigned line = Line_Of(a);
    const unsigned column = registers_[a.column_register];
    const unsigned base = static_cast<unsigned>(channel) * kBankSize;
    const bool in_range = Quad_In_Range(line, column);
    if (!in_range) ++counters_.out_of_range;
    if (command == kCommandReadQuad) {
        const std::uint16_t quad = in_range ? Memory(channel, line, column) : 0;
        registers_[base + kQPH] = static_cast<std::uint8_t>(quad >> 8);
        registers_[base + kQPL] = static_cast<std::uint8_t>(quad & 0xFF);
        if (in_range) ++counters_.quads_read;
    } else if (in_range) {
        Store_Quad(
            channel, line, column,
            static_cast<std::uint16_t>(registers_[base + kQPH] << 8 | registers_[base + kQPL]));
        ++counters_.quads_written;
    }
    Advance(a);
    Start_Busy(memory_busy_polls_);
}

// The multi-channel address advances after every MWRITE, also for an empty mask.
void OsdexChip::Execute_Mwrite(std::uint8_t mask) {
    ++counters_.memory_commands;
    const QuadAddress a = Multi_Address();
    const unsigned line = Line_Of(a);
    const unsigned column = registers_[a.column_register];
    const auto quad =
        static_cast<std::uint16_t>(registers_[kMultiQPH] << 8 | registers_[kMultiQPL]);
    if (!Quad_In_Range(line, column)) {
        if (mask != 0) ++counters_.out_of_range;
    } else {
        for (int channel = 0; channel < kChannels; ++channel) {
            if ((mask >> channel & 1U) == 0) continue;
            Store_Quad(channel, line, column, quad);
            ++counters_.quads_written;
        }
    }
    Advance(a);
    Start_Busy(memory_busy_polls_);
}

// A quad that changes redraws its line on the channel and on every channel that shows this
// channel's memory on that line.
void OsdexChip::Store_Quad(int channel, unsigned line, unsigned column, std::uint16_t value) {
    std::uint16_t& quad = Memory(channel, line, column);
    if (quad == value) return;
    quad = value;
    changes_.Mark_Line(channel, line);
    for (unsigned sharers = sharers_[channel]; sharers != 0; sharers &= sharers - 1) {
        const int sharer = std::countr_zero(sharers);
        if (Share_Source(sharer, static_cast<int>(line)) == static_cast<unsigned>(channel))
            changes_.Mark_Line(sharer, line);
    }
}

// QPHORIZ counts modulo 256 (it is a plain 8-bit register); QPLINE wraps from 511 to 0.
void OsdexChip::Advance(const QuadAddress& a) {
    const std::uint8_t increments = registers_[a.increment_register];
    if ((increments & kStatusHinc) != 0) {
        registers_[a.column_register] =
            static_cast<std::uint8_t>(registers_[a.column_register] + 1);
    }
    if ((increments & kStatusVinc) != 0) {
        const unsigned line = (Line_Of(a) + 1) & kLineMask;
        registers_[a.line_high_register] = static_cast<std::uint8_t>(line >> 8);
        registers_[a.line_low_register] = static_cast<std::uint8_t>(line & 0xFF);
    }
}

// ---- loss of sync ----

void OsdexChip::Set_Loss_Of_Sync(int channel, bool lost) {
    Check(channel >= 0 && channel < kChannels, "channel");
    const auto bit = static_cast<std::uint8_t>(1U << channel);
    const auto los = static_cast<std::uint8_t>(lost ? (los_ | bit) : (los_ & ~bit));
    if (los != los_) changes_.Mark_Channel(channel);
    los_ = los;
}

bool OsdexChip::Loss_Of_Sync(int channel) const {
    Check(channel >= 0 && channel < kChannels, "channel");
    return (los_ >> channel & 1U) != 0;
}

// ---- inspection ----

std::uint8_t OsdexChip::Register(unsigned address) const {
    Check(address < registers_.size(), "register address");
    if (address == kLOSALL) return los_;
    if (address < kChannelBanksEnd && address % kBankSize == kSTATUS) {
        const unsigned channel = address / kBankSize;
        return static_cast<std::uint8_t>((registers_[address] & ~kStatusLos) |
                                         (los_ >> channel & 1U));
    }
    return registers_[address];
}

void OsdexChip::Set_Register(unsigned address, std::uint8_t value) {
    Check(address < registers_.size(), "register address");
    if (address == kLOSALL) return;  // read-only: the chip reports sync, nobody sets it
    if (Is_Line_High(address)) value &= 1U;
    if (address < kChannelBanksEnd && address % kBankSize == kSTATUS) value &= ~kStatusLos;
    const std::uint8_t before = registers_[address];
    registers_[address] = value;
    if (before != value) Note_Register_Change(address, before);
}

// Offsets, blanking and sharing change what a channel shows everywhere; the quad data and
// address registers and the multi-channel bank change nothing on the screen.
void OsdexChip::Note_Register_Change(unsigned address, std::uint8_t before) {
    if (address >= kChannelBanksEnd) return;
    const int channel = static_cast<int>(address / kBankSize);
    switch (address % kBankSize) {
        case kSTATUS:
            if (((before ^ registers_[address]) & kStatusBlank) != 0)
                changes_.Mark_Channel(channel);
            break;
        case kHOFFSET:
        case kVOFFSET:
            changes_.Mark_Channel(channel);
            break;
        case kSHRSRC:
        case kSHRBEGH:
        case kSHRBEGL:
        case kSHRENDH:
        case kSHRENDL:
            changes_.Mark_Channel(channel);
            Update_Sharers();
            break;
        default:
            break;
    }
}

void OsdexChip::Update_Sharers() {
    sharers_.fill(0);
    for (int channel = 0; channel < kChannels; ++channel) {
        const unsigned base = static_cast<unsigned>(channel) * kBankSize;
        const unsigned sources = registers_[base + kSHRSRC];
        if (sources == 0 || Nine_Bit(base + kSHRENDH) < Nine_Bit(base + kSHRBEGH)) continue;
        const auto source = static_cast<unsigned>(std::bit_width(sources) - 1);
        if (source != static_cast<unsigned>(channel))
            sharers_[source] |= static_cast<std::uint8_t>(1U << channel);
    }
}

std::uint16_t OsdexChip::Quad(int channel, int line, int quad) const {
    Check_Location(channel, line, quad);
    return memory_[(static_cast<std::size_t>(channel) * kLines + line) * kQuadsPerLine + quad];
}

std::span<const std::uint16_t, kQuadsPerLine> OsdexChip::Line_Quads(int channel, int line) const {
    Check_Location(channel, line, 0);
    return std::span<const std::uint16_t, kQuadsPerLine>(
        memory_.data() + (static_cast<std::size_t>(channel) * kLines + line) * kQuadsPerLine,
        kQuadsPerLine);
}

void OsdexChip::Set_Quad(int channel, int line, int quad, std::uint16_t value) {
    Check_Location(channel, line, quad);
    Store_Quad(channel, static_cast<unsigned>(line), static_cast<unsigned>(quad), value);
}

// Pixel 0 of a quad is its leftmost pixel and the high nibble of QPH.
unsigned OsdexChip::Pixel(int channel, int line, int x) const {
    Check(x >= 0 && x < kPixelsPerLine, "pixel x");
    const unsigned shift = (kPixelsPerQuad - 1 - x % kPixelsPerQuad) * 4;
    return Quad(channel, line, x / kPixelsPerQuad) >> shift & 0x0FU;
}

void OsdexChip::Set_Pixel(int channel, int line, int x, unsigned level) {
    Check(x >= 0 && x < kPixelsPerLine, "pixel x");
    Check(level < 16, "level");
    const unsigned shift = (kPixelsPerQuad - 1 - x % kPixelsPerQuad) * 4;
    const unsigned quad = Quad(channel, line, x / kPixelsPerQuad);
    Set_Quad(channel, line, x / kPixelsPerQuad,
             static_cast<std::uint16_t>((quad & ~(0x0FU << shift)) | level << shift));
}

unsigned OsdexChip::Quad_Line(int bank) const {
    Check(bank >= 0 && bank <= static_cast<int>(kMultiBank), "bank");
    return Line_Of(bank == static_cast<int>(kMultiBank) ? Multi_Address() : Channel_Address(bank));
}

unsigned OsdexChip::Quad_Column(int bank) const {
    Check(bank >= 0 && bank <= static_cast<int>(kMultiBank), "bank");
    const QuadAddress a =
        bank == static_cast<int>(kMultiBank) ? Multi_Address() : Channel_Address(bank);
    return registers_[a.column_register];
}

// A 9-bit line value: bit 8 in the register at high_address, bits 7..0 in the next one.
unsigned OsdexChip::Nine_Bit(unsigned high_address) const {
    return (registers_[high_address] & 1U) << 8 | registers_[high_address + 1];
}

// SHRSRC holds one bit per source channel; lines SHRBEG..SHREND (inclusive) of the channel
// show that channel's memory. Should several bits be set, the highest channel wins, as the
// register panels read the value back.
unsigned OsdexChip::Share_Source(int channel, int line) const {
    Check_Location(channel, line, 0);
    const unsigned base = static_cast<unsigned>(channel) * kBankSize;
    const unsigned sources = registers_[base + kSHRSRC];
    if (sources == 0) return static_cast<unsigned>(channel);
    const auto l = static_cast<unsigned>(line);
    if (l < Nine_Bit(base + kSHRBEGH) || l > Nine_Bit(base + kSHRENDH))
        return static_cast<unsigned>(channel);
    return static_cast<unsigned>(std::bit_width(sources) - 1);
}

std::uint16_t OsdexChip::Displayed_Quad(int channel, int line, int quad) const {
    Check_Location(channel, line, quad);
    if ((registers_[static_cast<unsigned>(channel) * kBankSize + kSTATUS] & kStatusBlank) != 0) {
        return 0;
    }
    return Quad(static_cast<int>(Share_Source(channel, line)), line, quad);
}

}  // namespace board
