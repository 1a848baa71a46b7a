// The board state file reader behind `osdex state restore` and sim:FILE. A real file is
// 1.4 MB, so the input edits a valid one: the first byte chooses the form (0: the input as
// the whole file; 1: patches; 2: patches, then the checksum made right again, so that the
// checks behind it are reached), then (offset, value) patches of three bytes each. Whatever
// it gets, a decoded state encodes to a file that decodes to the same state.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "vanlpt/board_state.h"

namespace {

const std::string& Valid_File() {
    static const std::string file = [] {
        vanlpt::BoardState state;
        state.registers[7] = 128;
        state.routing_known = true;
        return vanlpt::Encode_Board_State(state);
    }();
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string bytes;
    if (data[0] == 0) {
        bytes.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    } else {
        bytes = Valid_File();
        // Only the header, the registers and the routing, and the checksum at the end:
        // memory bytes are plain data.
        for (std::size_t i = 1; i + 2 < size; i += 3) {
            std::size_t at = (static_cast<std::size_t>(data[i]) << 8 | data[i + 1]) % 256;
            if (data[i + 1] & 0x80) at = bytes.size() - 1 - at % 4;
            bytes[at] = static_cast<char>(data[i + 2]);
        }
        if (data[0] == 2) vanlpt::Seal_Board_State(bytes);
    }
    vanlpt::BoardState state;
    std::string error;
    if (!vanlpt::Decode_Board_State(bytes, &state, &error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    vanlpt::BoardState again;
    if (!vanlpt::Decode_Board_State(vanlpt::Encode_Board_State(state), &again, &error) ||
        !(again == state))
        std::abort();
    return 0;
}
