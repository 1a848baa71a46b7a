#include "board/simulated_port.h"

#include "board/simulated_board.h"

namespace board {
namespace {

// Control bits 0, 1 and 3 drive their pins inverted; status bit 7 reads its pin inverted.
constexpr std::uint8_t kControlInversions = 0x0B;
constexpr std::uint8_t kControlPinBits = 0x0F;
constexpr std::uint8_t kStatusInversions = 0x80;
// Status bits 0..2 are no pins: bit 0 (the EPP time-out flag) reads 0, bits 1 and 2 read 1.
constexpr std::uint8_t kStatusUnusedBits = 0x06;
// What an address with no register behind it reads.
constexpr std::uint8_t kOpenBus = 0xFF;

}  // namespace

SimulatedPort::SimulatedPort(SimulatedBoard* board) : board_(board) {
    Drive_Pins();
}

bool SimulatedPort::Data_Pins_Floating() const {
    return (ecr_ & kEcrModeMask) == kEcrByteMode && (control_ & kControlDirection) != 0;
}

void SimulatedPort::Drive_Pins() {
    if (board_ == nullptr) return;
    const auto levels =
        static_cast<std::uint8_t>((control_ ^ kControlInversions) & kControlPinBits);
    board_->Drive_Pins(data_latch_, !Data_Pins_Floating(), levels);
}

std::uint8_t SimulatedPort::Read_Data() {
    ++io_operations_;
    // A port that drives its data pins reads back its own latch, whatever the board does.
    if (!Data_Pins_Floating()) return data_latch_;
    return board_ != nullptr ? board_->Data_Pins() : kFloatingData;
}

void SimulatedPort::Write_Data(std::uint8_t v) {
    ++io_operations_;
    data_latch_ = v;
    Drive_Pins();
}

std::uint8_t SimulatedPort::Read_Status() {
    ++io_operations_;
    // Nothing on the cable: every input pin floats high.
    const std::uint8_t levels = board_ != nullptr ? board_->Poll_Input_Pins() : kInputPinsMask;
    return static_cast<std::uint8_t>(((levels & kInputPinsMask) ^ kStatusInversions) |
                                     kStatusUnusedBits);
}

std::uint8_t SimulatedPort::Read_Control() {
    ++io_operations_;
    return control_;
}

void SimulatedPort::Write_Control(std::uint8_t v) {
    ++io_operations_;
    control_ = v;
    Drive_Pins();
}

void SimulatedPort::Write_Register(unsigned offset, std::uint8_t v) {
    switch (offset) {
        case kDataOffset:
            Write_Data(v);
            return;
        case kControlOffset:
            Write_Control(v);
            return;
        case kEcrOffset:
        case kEcrOffsetLegacy:
            ++io_operations_;
            ecr_ = v;
            Drive_Pins();  // a mode change may float or drive the data pins
            return;
        default:
            ++io_operations_;  // status is read-only; other offsets address nothing
            return;
    }
}

std::uint8_t SimulatedPort::Read_Register(unsigned offset) {
    switch (offset) {
        case kDataOffset:
            return Read_Data();
        case kStatusOffset:
            return Read_Status();
        case kControlOffset:
            return Read_Control();
        case kEcrOffset:
        case kEcrOffsetLegacy:
            ++io_operations_;
            return ecr_;
        default:
            ++io_operations_;
            return kOpenBus;
    }
}

std::uint64_t SimulatedPort::Io_Operations() const {
    return io_operations_;
}

void SimulatedPort::Reset_Counters() {
    io_operations_ = 0;
}

SimulatedBoard* SimulatedPort::Board() {
    return board_;
}

}  // namespace board
