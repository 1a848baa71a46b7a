#include "chip/board_snapshot.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "vanlpt/vanlpt.h"

namespace {

std::uint64_t cycles = 0;

// Registers that must never be written back: the chip reports LOSALL itself, and a write to
// a trigger (COMMAND, MWRITE) would run a memory command.
bool Restorable(std::uint8_t address) {
    return address != MReg::LOSALL && !Is_Trigger_Address(address);
}

// The registers a channel's memory read-back or upload moves, restored afterwards.
constexpr std::uint8_t Moved_Registers[] = {Reg::QPH,     Reg::QPL,     Reg::QPHORIZ,
                                            Reg::QPLINEH, Reg::QPLINEL, Reg::STATUS};

std::uint8_t Bank_Register(int channel, std::uint8_t offset) {
    return static_cast<std::uint8_t>(Channel_Bank(channel) | offset);
}

// Write is Write_Register or a run's Write.
template <typename Write>
void Start_Line(Write write, int channel, int line) {
    write(Bank_Register(channel, Reg::QPLINEH), static_cast<std::uint8_t>(line >> 8));
    write(Bank_Register(channel, Reg::QPLINEL), static_cast<std::uint8_t>(line & 0xFF));
    write(Bank_Register(channel, Reg::QPHORIZ), 0);
}

// The whole read-back is one run: a served board answers it in one request.
void Read_Channel_Memory(int channel, vanlpt::BoardState* state) {
    Register_Run run;
    const auto write = [&run](std::uint8_t a, std::uint8_t d) { run.Write(a, d); };
    const std::uint8_t status = Bank_Register(channel, Reg::STATUS);
    run.Write(status, static_cast<std::uint8_t>((state->registers[status] & ~Increment_Bits) |
                                                Status_HINC));
    for (int line = 0; line < vanlpt::kStateLines; ++line) {
        Start_Line(write, channel, line);
        for (int q = 0; q < vanlpt::kStateQuadsPerLine; ++q) {
            run.Write(Bank_Register(channel, Reg::COMMAND), Command_Read_Quad);
            run.Read(Bank_Register(channel, Reg::QPH));
            run.Read(Bank_Register(channel, Reg::QPL));
        }
    }
    run.Send();
    const std::vector<std::uint8_t> values = run.Values();
    std::size_t next = 0;
    for (int line = 0; line < vanlpt::kStateLines; ++line)
        for (int q = 0; q < vanlpt::kStateQuadsPerLine; ++q, next += 2)
            state->Quad(channel, line, q) =
                static_cast<std::uint16_t>(values[next] << 8 | values[next + 1]);
}

void Write_Channel_Memory(int channel, const vanlpt::BoardState& state) {
    Write_Register(Bank_Register(channel, Reg::STATUS), Status_HINC);
    for (int line = 0; line < vanlpt::kStateLines; ++line) {
        Start_Line(Write_Register, channel, line);
        for (int q = 0; q < vanlpt::kStateQuadsPerLine; ++q) {
            const std::uint16_t quad = state.Quad(channel, line, q);
            // With the cache on, a data byte the chip already holds is not sent again.
            Write_Register(Bank_Register(channel, Reg::QPH), static_cast<std::uint8_t>(quad >> 8));
            Write_Register(Bank_Register(channel, Reg::QPL), static_cast<std::uint8_t>(quad));
            Write_Register(Bank_Register(channel, Reg::COMMAND), Command_Write_Quad);
        }
    }
}

// Every register of the chip by address, as a board state keeps them.
using Registers = std::array<std::uint8_t, vanlpt::kStateRegisters>;

void Restore_Moved_Registers(int channel, const Registers& registers) {
    Register_Run run;
    for (std::uint8_t offset : Moved_Registers) {
        const std::uint8_t a = Bank_Register(channel, offset);
        run.Write(a, registers[a]);
    }
    run.Send();
}

// Reads the registers at addresses into registers, in one run.
void Read_Registers(std::span<const std::uint8_t> addresses, Registers* registers) {
    Register_Run run;
    for (std::uint8_t a : addresses) run.Read(a);
    run.Send();
    const std::vector<std::uint8_t> values = run.Values();
    std::size_t next = 0;
    for (std::uint8_t a : addresses) (*registers)[a] = values[next++];
}

void Read_Moved_Registers(int channel, Registers* registers) {
    std::vector<std::uint8_t> addresses;
    for (std::uint8_t offset : Moved_Registers) addresses.push_back(Bank_Register(channel, offset));
    Read_Registers(addresses, registers);
}

std::uint64_t Transactions() {
    return static_cast<std::uint64_t>(num_reg_writes) + static_cast<std::uint64_t>(num_reg_reads);
}

}  // namespace

bool Read_Board_Snapshot(vanlpt::BoardState* state) {
    const std::int32_t failures = num_busy_timeout_errors;
    const std::uint64_t start = Transactions();
    // Triggers and LOSALL hold no setting: they are kept as 0, and so is each STATUS's loss
    // of sync bit, so that the same board always gives the same file.
    std::vector<std::uint8_t> restorable;
    for (unsigned a = 0; a < vanlpt::kStateRegisters; ++a) {
        const auto address = static_cast<std::uint8_t>(a);
        state->registers[a] = 0;
        if (Restorable(address)) restorable.push_back(address);
    }
    Read_Registers(restorable, &state->registers);
    for (int c = 0; c < vanlpt::kStateChannels; ++c)
        state->registers[Bank_Register(c, Reg::STATUS)] &= static_cast<std::uint8_t>(~Status_LOS);
    for (int c = 0; c < vanlpt::kStateChannels; ++c) {
        Read_Channel_Memory(c, state);
        Restore_Moved_Registers(c, state->registers);
    }
    unsigned char enabled[16], input[16], gain[16];
    state->routing_known = Vanlpt_Crosspoint_Routing(enabled, input, gain) != 0;
    for (int o = 0; state->routing_known && o < vanlpt::kStateOutputs; ++o)
        state->routing[o] = {enabled[o] != 0, input[o], gain[o]};
    cycles = Transactions() - start;
    return num_busy_timeout_errors == failures;
}

bool Write_Board_Snapshot(const vanlpt::BoardState& state) {
    const std::int32_t failures = num_busy_timeout_errors;
    const std::uint64_t start = Transactions();
    for (int c = 0; c < vanlpt::kStateChannels; ++c) Write_Channel_Memory(c, state);
    for (unsigned a = 0; a < vanlpt::kStateRegisters; ++a) {
        const auto address = static_cast<std::uint8_t>(a);
        if (Restorable(address)) Write_Register(address, state.registers[a]);
    }
    cycles = Transactions() - start;
    return num_busy_timeout_errors == failures;
}

bool Read_Channel_Snapshot(int channel, vanlpt::BoardState* state) {
    const std::int32_t failures = num_busy_timeout_errors;
    const std::uint64_t start = Transactions();
    Read_Moved_Registers(channel, &state->registers);
    Read_Channel_Memory(channel, state);
    Restore_Moved_Registers(channel, state->registers);
    cycles = Transactions() - start;
    return num_busy_timeout_errors == failures;
}

bool Write_Channel_Snapshot(int channel, const vanlpt::BoardState& state) {
    const std::int32_t failures = num_busy_timeout_errors;
    const std::uint64_t start = Transactions();
    Registers moved{};
    Read_Moved_Registers(channel, &moved);
    Write_Channel_Memory(channel, state);
    Restore_Moved_Registers(channel, moved);
    cycles = Transactions() - start;
    return num_busy_timeout_errors == failures;
}

std::uint64_t Board_Snapshot_Cycles() {
    return cycles;
}
