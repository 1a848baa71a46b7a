// The simulated evaluation board as a RawPort: a thin adapter over board::SimulatedPort,
// which turns every register access into pin levels for the board.
#pragma once

#include "board/simulated_port.h"
#include "vanlpt/raw_port.h"

namespace vanlpt {

class SimulatedRawPort : public RawPort {
public:
    explicit SimulatedRawPort(board::SimulatedPort& port) : port_(port) {}

    std::uint8_t Read_Data() override { return port_.Read_Data(); }
    void Write_Data(std::uint8_t value) override { port_.Write_Data(value); }
    std::uint8_t Read_Status() override { return port_.Read_Status(); }
    std::uint8_t Read_Control() override { return port_.Read_Control(); }
    void Write_Control(std::uint8_t value) override { port_.Write_Control(value); }
    void Write_Register(unsigned offset, std::uint8_t value) override {
        port_.Write_Register(offset, value);
    }

private:
    board::SimulatedPort& port_;
};

}  // namespace vanlpt
