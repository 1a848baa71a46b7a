// The bitmap decoder alone, without the toolkit, so that it runs many times faster than the
// picture target: a decoded bitmap has every pixel, a refused one none and a reason.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "chip/bmp_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 256 * 1024) return 0;
    const BmpPicture picture = Decode_Bmp(std::span<const std::uint8_t>(data, size));
    if (picture.error.empty()) {
        if (picture.width <= 0 || picture.height <= 0 ||
            picture.pixels.size() != std::size_t(picture.width) * std::size_t(picture.height))
            std::abort();
        for (std::uint32_t argb : picture.pixels)
            if (!picture.has_alpha && (argb >> 24) != 0xFF) std::abort();
    } else if (!picture.pixels.empty() || picture.width != 0) {
        std::abort();
    }
    return 0;
}
