// SimulatedBackend: the evaluation board of board/ on a simulated port (target sim), the same
// board kept in a state file between runs (sim:FILE), or the simulated port with nothing on
// its cable (unplugged). The library runs the same cycles over its pins as over a real port.
#pragma once

#include <memory>
#include <string>

#include "board/simulated_board.h"
#include "board/simulated_port.h"
#include "vanlpt/board_state.h"
#include "vanlpt/board_state_file.h"
#include "vanlpt/local_port_backend.h"
#include "vanlpt/simulated_raw_port.h"

namespace vanlpt {

class SimulatedBackend : public LocalPortBackend, private SimulatedExtras {
public:
    // A board powered up, or loaded from the target's file (locked, waiting up to
    // lock_wait_ms for another process); with_board false: no board on the cable.
    SimulatedBackend(const PortTarget& target, bool with_board, unsigned lock_wait_ms);

    std::string Describe() const override;
    std::string Name() const override;
    std::string Unusable() const override { return unusable_; }
    bool Input_Error() const override { return input_error_; }
    SimulatedExtras* Extras() override { return board_ ? this : nullptr; }
    std::string Shutdown() override;
    bool Keeps(const PortTarget& target) const override;
    board::SimulatedBoard* Simulated_Board() override { return board_.get(); }
    board::SimulatedPort* Simulated_Port() override { return port_.get(); }

protected:
    RawPort* Open_Port(std::string* error) override;

private:
    void Load_State_File(unsigned lock_wait_ms);

    std::string Channel_Frame(int channel, unsigned frame_number, std::uint32_t* pixels,
                              int* changed) override;
    std::string Set_Video_Source(int channel, int source, const std::uint32_t* picture, int width,
                                 int height) override;
    int Video_Source(int channel, std::string* error) override;
    std::string Set_Fault(int fault, unsigned value) override;
    std::string Fault_Value(int fault, unsigned* value) override;
    void Clear_Faults() override;
    bool Routing(unsigned char enabled[16], unsigned char input[16],
                 unsigned char gain[16]) override;

    PortTarget target_;
    std::unique_ptr<board::SimulatedBoard> board_;
    std::unique_ptr<board::SimulatedPort> port_;
    std::unique_ptr<SimulatedRawPort> raw_;
    std::unique_ptr<BoardStateFile> state_file_;  // sim:FILE: locked while in use
    std::string unusable_;                        // why the board file cannot be used
    bool input_error_ = false;                    // ... because of what the file holds
    // sim:FILE: what the file holds, or what could not go into it (1.4 MB: only for a file).
    std::unique_ptr<BoardState> kept_;
    std::string save_error_;  // why `kept_` is not in the file; "" when it is
};

}  // namespace vanlpt
