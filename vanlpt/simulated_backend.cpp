#include "vanlpt/simulated_backend.h"

#include "vanlpt/report.h"
#include "vanlpt/simulated_faults.h"
#include "vanlpt/simulated_video.h"

namespace vanlpt {

// A simulated board appears on the cable powered up, as when the board is switched on.
SimulatedBackend::SimulatedBackend(const PortTarget& target, bool with_board, unsigned lock_wait_ms)
    : target_(target) {
    if (with_board) {
        board_ = std::make_unique<board::SimulatedBoard>();
        board_->Power_Up();
    }
    port_ = std::make_unique<board::SimulatedPort>(board_.get());
    raw_ = std::make_unique<SimulatedRawPort>(*port_);
    if (board_ && !target.device.empty()) Load_State_File(lock_wait_ms);
}

// A board from a state file starts as the file left it, and the file stays locked to this
// process; a file that is in use or damaged makes the port unusable rather than lose it.
void SimulatedBackend::Load_State_File(unsigned lock_wait_ms) {
    const int own_wait = target_.lock_wait_ms;
    const unsigned wait = own_wait >= 0 ? static_cast<unsigned>(own_wait) : lock_wait_ms;
    std::string error;
    state_file_ = BoardStateFile::Lock(target_.device, &error, wait);
    bool bad_input = false;
    auto loaded = std::make_unique<BoardState>();
    if (state_file_ && state_file_->Load(loaded.get(), &error, &bad_input)) {
        Apply_Board_State(*loaded, board_.get());
        // What the board makes of the file (a file from a tool may hold bits no register
        // keeps), so that a run that changes nothing writes nothing.
        if (!Board_Holds(*board_, *loaded)) *loaded = Capture_Board_State(*board_);
        kept_ = std::move(loaded);
        return;
    }
    unusable_ = error;
    input_error_ = bad_input;
    state_file_.reset();
}

std::string SimulatedBackend::Describe() const {
    if (!board_) return "simulated port, no board on the cable";
    return Describe_Target(target_);
}

std::string SimulatedBackend::Name() const {
    if (!board_) return "unplugged";
    if (target_.device.empty()) return "sim";
    std::string name = target_.device.substr(target_.device.rfind('/') + 1);
    if (name.size() > 6 && name.ends_with(".osdex")) name.resize(name.size() - 6);
    return name.empty() ? "sim" : name;
}

RawPort* SimulatedBackend::Open_Port(std::string* error) {
    if (!unusable_.empty()) {
        *error = unusable_;
        return nullptr;
    }
    return raw_.get();
}

// Writes a board kept in a file back when it differs from what the file holds. A failure is
// reported once, and the same state is not tried again.
std::string SimulatedBackend::Shutdown() {
    if (!state_file_ || !board_ || !unusable_.empty()) return save_error_;
    if (kept_ && Board_Holds(*board_, *kept_)) return save_error_;
    auto now = std::make_unique<BoardState>(Capture_Board_State(*board_));
    std::string error;
    save_error_.clear();
    if (!state_file_->Save(*now, &error)) {
        save_error_ = error + "; the board's state of this run is lost";
        Report_Once(save_error_);
    }
    kept_ = std::move(now);
    return save_error_;
}

// A port that stays simulated keeps its board (and what the board holds); a board file that
// could not be used is tried again.
bool SimulatedBackend::Keeps(const PortTarget& target) const {
    return unusable_.empty() && target_.kind == target.kind && target_.device == target.device;
}

std::string SimulatedBackend::Channel_Frame(int channel, unsigned frame_number,
                                            std::uint32_t* pixels, int* changed) {
    return Fetch_Channel_Frame(*board_, channel, frame_number, pixels, changed);
}

std::string SimulatedBackend::Set_Video_Source(int channel, int source,
                                               const std::uint32_t* picture, int width,
                                               int height) {
    return vanlpt::Set_Video_Source(*board_, channel, source, picture, width, height);
}

int SimulatedBackend::Video_Source(int channel, std::string* error) {
    const int source = Video_Source_Of(*board_, channel);
    if (source < 0) *error = "there is no channel " + std::to_string(channel);
    return source;
}

std::string SimulatedBackend::Set_Fault(int fault, unsigned value) {
    return Set_Simulated_Fault(*board_, fault, value);
}

std::string SimulatedBackend::Fault_Value(int fault, unsigned* value) {
    return Get_Simulated_Fault(*board_, fault, value);
}

void SimulatedBackend::Clear_Faults() {
    board_->Clear_Faults();
}

bool SimulatedBackend::Routing(unsigned char enabled[16], unsigned char input[16],
                               unsigned char gain[16]) {
    for (int o = 0; o < board::kCrosspointOutputs; ++o) {
        const board::CrosspointRoute r = board_->Crosspoint().Route(o);
        enabled[o] = r.enabled ? 1 : 0;
        input[o] = static_cast<unsigned char>(r.input);
        gain[o] = static_cast<unsigned char>(r.gain);
    }
    return true;
}

}  // namespace vanlpt
