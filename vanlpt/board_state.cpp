#include "vanlpt/board_state.h"

#include <cstring>

namespace vanlpt {

namespace {

constexpr char kMagic[8] = {'O', 'S', 'D', 'X', 'S', 'T', 'A', 'T'};
constexpr std::size_t kHeaderBytes = 16;  // magic, version, flags
constexpr std::size_t kRouteBytes = 4;    // enabled, input, gain, 0
constexpr std::size_t kRoutingOffset = kHeaderBytes + kStateRegisters;
constexpr std::size_t kMemoryOffset = kRoutingOffset + kStateOutputs * kRouteBytes;
constexpr std::size_t kChecksumOffset = kMemoryOffset + kStateQuads * 2;
constexpr std::size_t kFileBytes = kChecksumOffset + 4;
constexpr std::uint32_t kRoutingKnown = 1;

// The zlib CRC-32, eight bytes a step ("slicing by 8"): every run on a sim:FILE board reads
// a whole file, and a byte at a time this was most of the cost.
std::uint32_t Crc32(std::string_view bytes) {
    using Tables = std::array<std::array<std::uint32_t, 256>, 8>;
    static const Tables tables = [] {
        Tables t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (std::uint32_t i = 0; i < 256; ++i)
            for (int s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
        return t;
    }();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (; n >= 8; p += 8, n -= 8) {
        const std::uint32_t low = crc ^ (p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24);
        crc = tables[7][low & 0xFF] ^ tables[6][(low >> 8) & 0xFF] ^ tables[5][(low >> 16) & 0xFF] ^
              tables[4][low >> 24] ^ tables[3][p[4]] ^ tables[2][p[5]] ^ tables[1][p[6]] ^
              tables[0][p[7]];
    }
    for (; n > 0; ++p, --n) crc = tables[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void Put_U32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t Get_U32(std::string_view in, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return v;
}

std::uint8_t Byte(std::string_view in, std::size_t at) {
    return static_cast<std::uint8_t>(in[at]);
}

}  // namespace

std::string Encode_Board_State(const BoardState& state) {
    std::string out(kFileBytes, '\0');
    std::memcpy(out.data(), kMagic, sizeof kMagic);
    Put_U32(out, 8, kBoardStateVersion);
    Put_U32(out, 12, state.routing_known ? kRoutingKnown : 0);
    for (unsigned a = 0; a < kStateRegisters; ++a)
        out[kHeaderBytes + a] = static_cast<char>(state.registers[a]);
    for (int o = 0; o < kStateOutputs; ++o) {
        const StateRoute& r = state.routing[o];
        const std::size_t at = kRoutingOffset + o * kRouteBytes;
        out[at] = static_cast<char>(r.enabled ? 1 : 0);
        out[at + 1] = static_cast<char>(r.input);
        out[at + 2] = static_cast<char>(r.gain);
    }
    for (std::size_t q = 0; q < kStateQuads; ++q) {
        out[kMemoryOffset + 2 * q] = static_cast<char>(state.memory[q] >> 8);  // QPH first
        out[kMemoryOffset + 2 * q + 1] = static_cast<char>(state.memory[q] & 0xFF);
    }
    Seal_Board_State(out);
    return out;
}

void Seal_Board_State(std::string& bytes) {
    if (bytes.size() < 4) return;
    const std::size_t at = bytes.size() - 4;
    Put_U32(bytes, at, Crc32(std::string_view(bytes).substr(0, at)));
}

bool Decode_Board_State(std::string_view in, BoardState* state, std::string* error) {
    if (in.size() < kHeaderBytes || std::memcmp(in.data(), kMagic, sizeof kMagic) != 0) {
        *error = "not an Osdex board state file";
        return false;
    }
    const std::uint32_t version = Get_U32(in, 8);
    if (version != kBoardStateVersion) {
        *error = "board state format " + std::to_string(version) + "; this program reads format " +
                 std::to_string(kBoardStateVersion);
        return false;
    }
    if (in.size() != kFileBytes) {
        *error = (in.size() < kFileBytes ? "truncated: " : "too long: ") +
                 std::to_string(in.size()) + " bytes instead of " + std::to_string(kFileBytes);
        return false;
    }
    if (Get_U32(in, kChecksumOffset) != Crc32(in.substr(0, kChecksumOffset))) {
        *error = "damaged: the checksum does not match the content";
        return false;
    }
    for (int o = 0; o < kStateOutputs; ++o) {
        const std::size_t at = kRoutingOffset + o * kRouteBytes;
        const unsigned enabled = Byte(in, at), input = Byte(in, at + 1), gain = Byte(in, at + 2);
        if (enabled > 1 || input >= static_cast<unsigned>(kStateInputs) ||
            (gain != 1 && gain != 2)) {
            *error = "crosspoint output " + std::to_string(o) + " holds an impossible setting";
            return false;
        }
    }
    // Intact: only now is *state touched, in place (it is 1.4 MB).
    state->routing_known = (Get_U32(in, 12) & kRoutingKnown) != 0;
    for (unsigned a = 0; a < kStateRegisters; ++a) state->registers[a] = Byte(in, kHeaderBytes + a);
    for (int o = 0; o < kStateOutputs; ++o) {
        const std::size_t at = kRoutingOffset + o * kRouteBytes;
        state->routing[o] = {Byte(in, at) == 1, Byte(in, at + 1), Byte(in, at + 2)};
    }
    state->memory.resize(kStateQuads);
    for (std::size_t q = 0; q < kStateQuads; ++q)
        state->memory[q] = static_cast<std::uint16_t>(Byte(in, kMemoryOffset + 2 * q) << 8 |
                                                      Byte(in, kMemoryOffset + 2 * q + 1));
    return true;
}

}  // namespace vanlpt
