#include "board/video_source.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace board {
namespace {

constexpr std::uint8_t kBarLevel = 191;  // 75 % of full scale
constexpr int kBars = 8;
constexpr int kStripeWidth = 32;
constexpr unsigned kStripeStep = 2;  // pixels the stripes move left per frame

constexpr std::uint32_t Rgb(bool red, bool green, bool blue) {
    return kOpaque | (red ? kBarLevel << 16 : 0U) | (green ? kBarLevel << 8 : 0U) |
           (blue ? kBarLevel : 0U);
}

constexpr std::array<std::uint32_t, kBars> kBarColours = {
    Rgb(true, true, true),   Rgb(true, true, false),  Rgb(false, true, true),
    Rgb(false, true, false), Rgb(true, false, true),  Rgb(true, false, false),
    Rgb(false, false, true), Rgb(false, false, false)};

using Row = std::array<std::uint32_t, kFrameWidth>;

// Bars and ramp are the same on every row: each row is a copy of one made once.
const Row& Bars_Row() {
    static const Row row = [] {
        Row r{};
        for (int x = 0; x < kFrameWidth; ++x) r[x] = kBarColours[x * kBars / kFrameWidth];
        return r;
    }();
    return row;
}

const Row& Ramp_Row() {
    static const Row row = [] {
        Row r{};
        for (int x = 0; x < kFrameWidth; ++x) {
            const int grey = (x * 255 + (kFrameWidth - 1) / 2) / (kFrameWidth - 1);
            r[x] = Grey_Pixel(static_cast<std::uint8_t>(grey));
        }
        return r;
    }();
    return row;
}

void Fill_Stripes(int row, unsigned frame_number, std::uint32_t* out) {
    const unsigned shift = frame_number * kStripeStep;
    for (int x = 0; x < kFrameWidth; ++x) {
        const unsigned phase = (static_cast<unsigned>(x + row) + shift) / kStripeWidth;
        out[x] = Grey_Pixel(phase % 2 == 0 ? 64 : 160);
    }
}

// One 0xAARRGGBB pixel over black.
std::uint32_t Over_Black(std::uint32_t argb) {
    const unsigned alpha = argb >> 24;
    if (alpha == 255) return argb;
    std::uint32_t result = kOpaque;
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned c = (argb >> shift & 0xFFU) * alpha;
        result |= ((c + 127) / 255) << shift;
    }
    return result;
}

}  // namespace

void ChannelSource::Set(VideoSource source) {
    if (source == VideoSource::Picture)
        throw std::invalid_argument("simulated video: a picture source needs its picture");
    kind_ = source;
    picture_.clear();
}

void ChannelSource::Set_Picture(std::span<const std::uint32_t> pixels, int width, int height) {
    if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxSourcePixels ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        throw std::invalid_argument("simulated video: the picture's size does not fit its pixels");
    std::vector<std::uint32_t> scaled(kFramePixels);
    // Each frame pixel takes the picture pixel under its centre.
    for (int y = 0; y < kFrameHeight; ++y) {
        const std::size_t source_row =
            static_cast<std::size_t>((2 * std::int64_t{y} + 1) * height / (2 * kFrameHeight));
        for (int x = 0; x < kFrameWidth; ++x) {
            const auto source_x =
                static_cast<std::size_t>((2 * std::int64_t{x} + 1) * width / (2 * kFrameWidth));
            scaled[static_cast<std::size_t>(y) * kFrameWidth + x] =
                Over_Black(pixels[source_row * static_cast<std::size_t>(width) + source_x]);
        }
    }
    picture_ = std::move(scaled);
    kind_ = VideoSource::Picture;
}

void ChannelSource::Fill_Row(int row, unsigned frame_number, std::uint32_t* out) const {
    switch (kind_) {
        case VideoSource::ColourBars:
            std::copy(Bars_Row().begin(), Bars_Row().end(), out);
            return;
        case VideoSource::GreyRamp:
            std::copy(Ramp_Row().begin(), Ramp_Row().end(), out);
            return;
        case VideoSource::Black:
            std::fill(out, out + kFrameWidth, kOpaque);
            return;
        case VideoSource::MovingPattern:
            Fill_Stripes(row, frame_number, out);
            return;
        case VideoSource::Picture:
            std::copy_n(picture_.begin() + static_cast<std::ptrdiff_t>(row) * kFrameWidth,
                        kFrameWidth, out);
            return;
    }
}

}  // namespace board
