// The typed hex-list parser. The first input byte is the array's capacity, the rest the text.
// Canary bytes on both sides of the array must survive every call: nothing may be written
// before bytes[0] or at or past bytes[capacity].
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "shell/hex_text.h"

namespace {

constexpr std::size_t Guard = 32;
constexpr std::uint8_t Canary = 0xA5;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Build_Hex_Prefix();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t capacity = data[0];
    // Exactly the text and its terminator, so that a read past it is caught.
    std::vector<char> text(data + 1, data + size);
    text.push_back('\0');

    std::vector<std::uint8_t> area(Guard + 256 + Guard, Canary);
    std::uint8_t* bytes = area.data() + Guard;
    std::uint8_t counter = 0xEE;
    try {
        ArraytoHexList(text.data(), &counter, bytes, capacity);
        if (counter > capacity) std::abort();
    } catch (const HexTextError&) {
        if (capacity != 0) std::abort();  // only a zero capacity is refused here
    }
    for (std::size_t i = 0; i < Guard; ++i)
        if (area[i] != Canary) std::abort();
    for (std::size_t i = Guard + capacity; i < area.size(); ++i)
        if (area[i] != Canary) std::abort();
    return 0;
}
