#include "shell/png_writer.h"

#include <zlib.h>

#include <stdexcept>

namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr std::uint8_t Bit_Depth = 8;
constexpr std::uint8_t Colour_Type_Rgb = 2;
constexpr std::uint8_t Filter_None = 0;
// Rows of raw data bigger than this would not fit zlib's length type in one call.
constexpr std::size_t Max_Raw_Bytes = std::size_t{1} << 31;

void Put_U32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift & 0xFF);
}

// Length, type, data and the CRC of type and data.
void Put_Chunk(std::string& out, const char type[4], const std::string& data) {
    Put_U32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.append(type, 4);
    out += data;
    const auto* bytes = reinterpret_cast<const Bytef*>(out.data() + start);
    Put_U32(out,
            static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(out.size() - start))));
}

std::string Header(int width, int height) {
    std::string header;
    Put_U32(header, static_cast<std::uint32_t>(width));
    Put_U32(header, static_cast<std::uint32_t>(height));
    header += static_cast<char>(Bit_Depth);
    header += static_cast<char>(Colour_Type_Rgb);
    header += std::string(3, '\0');  // deflate, adaptive filtering, no interlace
    return header;
}

// Each row: its filter byte, then red, green and blue of every pixel.
std::string Raw_Rows(std::span<const std::uint32_t> pixels, int width, int height) {
    std::string raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * static_cast<std::size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw += static_cast<char>(Filter_None);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            raw += static_cast<char>(p >> 16 & 0xFF);
            raw += static_cast<char>(p >> 8 & 0xFF);
            raw += static_cast<char>(p & 0xFF);
        }
    }
    return raw;
}

std::string Deflate(const std::string& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    const int result = compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                                 reinterpret_cast<const Bytef*>(raw.data()),
                                 static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION);
    if (result == Z_MEM_ERROR) throw std::bad_alloc();
    if (result != Z_OK) throw std::runtime_error("zlib could not compress the picture");
    packed.resize(size);
    return packed;
}

}  // namespace

std::string Encode_Png(std::span<const std::uint32_t> pixels, int width, int height) {
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        throw std::invalid_argument("a PNG needs width x height pixels");
    if (static_cast<std::size_t>(height) * (1 + 3 * static_cast<std::size_t>(width)) >
        Max_Raw_Bytes)
        throw std::invalid_argument("the picture is too large for one PNG block");
    std::string png(kSignature, sizeof kSignature - 1);
    Put_Chunk(png, "IHDR", Header(width, height));
    Put_Chunk(png, "IDAT", Deflate(Raw_Rows(pixels, width, height)));
    Put_Chunk(png, "IEND", "");
    return png;
}
