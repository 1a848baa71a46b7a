// Bitmap decoding: the headers, the palette, plain rows and the RLE streams. Every offset is
// checked against the file's length before it is read; sizes are computed in 64 bits.
#include "chip/bmp_decoder.h"

#include <algorithm>
#include <bit>

namespace {

constexpr std::size_t File_Header_Size = 14;
constexpr std::uint32_t Core_Header_Size = 12;

enum Compression : std::uint32_t {
    Bi_Rgb = 0,
    Bi_Rle8 = 1,
    Bi_Rle4 = 2,
    Bi_Bitfields = 3,
    Bi_Alpha_Bitfields = 6,
};

using Bytes = std::span<const std::uint8_t>;

std::string Unreadable(const std::string& why) {
    return "not a readable picture (" + why + ")";
}

std::string Incomplete(const std::string& why) {
    return "the picture is incomplete: " + why;
}

std::uint32_t U16(Bytes b, std::size_t at) {
    return b[at] | (std::uint32_t{b[at + 1]} << 8);
}

std::uint32_t U32(Bytes b, std::size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0;  // positive; top_down says the order of the rows
    bool top_down = false;
    int bits = 0;
    std::uint32_t compression = Bi_Rgb;
    std::uint32_t masks[4] = {};  // red, green, blue, alpha
    std::size_t palette_offset = 0;
    std::size_t palette_entry_size = 4;
    std::int64_t palette_count = 0;
    std::size_t data_offset = 0;
};

bool Is_Compressed(const Header& h) {
    return h.compression == Bi_Rle8 || h.compression == Bi_Rle4;
}

bool Has_Masks(const Header& h) {
    return h.compression == Bi_Bitfields || h.compression == Bi_Alpha_Bitfields;
}

void Set_Default_Masks(Header* h) {
    if (h->bits == 16) {
        h->masks[0] = 0x7C00, h->masks[1] = 0x03E0, h->masks[2] = 0x001F, h->masks[3] = 0;
    } else {
        h->masks[0] = 0xFF0000, h->masks[1] = 0xFF00, h->masks[2] = 0xFF, h->masks[3] = 0;
    }
}

// Where the masks of a bit-field bitmap are: inside a header of version 2 and later, else in
// three (four with alpha) words after it. Returns the end of the masks.
std::size_t Read_Masks(Bytes b, std::uint32_t header_size, Header* h) {
    const std::size_t at = File_Header_Size + 40;
    const int count = h->compression == Bi_Alpha_Bitfields || header_size >= 56 ? 4 : 3;
    const std::size_t end = at + 4 * static_cast<std::size_t>(count);
    if (end > b.size()) return 0;
    for (int i = 0; i < count; ++i) h->masks[i] = U32(b, at + 4 * i);
    return header_size > 40 ? File_Header_Size + header_size : end;
}

std::string Parse_Core_Header(Bytes b, Header* h) {
    if (b.size() < File_Header_Size + Core_Header_Size)
        return Unreadable("the file ends inside its header");
    h->width = U16(b, 18);
    h->height = U16(b, 20);
    h->bits = static_cast<int>(U16(b, 24));
    h->palette_entry_size = 3;
    h->palette_offset = File_Header_Size + Core_Header_Size;
    return {};
}

std::string Parse_Info_Header(Bytes b, std::uint32_t header_size, Header* h) {
    if (b.size() < File_Header_Size + 40) return Unreadable("the file ends inside its header");
    h->width = static_cast<std::int32_t>(U32(b, 18));
    const std::int64_t height = static_cast<std::int32_t>(U32(b, 22));
    h->top_down = height < 0;
    h->height = height < 0 ? -height : height;
    h->bits = static_cast<int>(U16(b, 28));
    h->compression = U32(b, 30);
    const std::uint32_t colours_used = U32(b, 46);
    h->palette_offset = File_Header_Size + header_size;
    if (Has_Masks(*h)) {
        h->palette_offset = Read_Masks(b, header_size, h);
        if (h->palette_offset == 0) return Unreadable("the file ends inside its colour masks");
    }
    if (h->bits <= 8 && colours_used > 0)
        h->palette_count = std::min<std::int64_t>(colours_used, std::int64_t{1} << h->bits);
    return {};
}

bool Supported_Layout(const Header& h) {
    switch (h.compression) {
        case Bi_Rgb:
            return h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 ||
                   h.bits == 32;
        case Bi_Rle8:
            return h.bits == 8;
        case Bi_Rle4:
            return h.bits == 4;
        case Bi_Bitfields:
        case Bi_Alpha_Bitfields:
            return h.bits == 16 || h.bits == 32;
        default:
            return false;
    }
}

std::string Check_Header(Bytes b, Header* h) {
    if (!Supported_Layout(*h)) return Unreadable("this kind of bitmap is not supported");
    if (h->width <= 0 || h->height <= 0) return Unreadable("the bitmap has no pixels");
    if (h->width * h->height > Bmp_Max_Pixels) return Unreadable("the bitmap is too large");
    if (Is_Compressed(*h) && h->top_down)
        return Unreadable("a compressed bitmap cannot be top-down");
    if (h->data_offset < h->palette_offset || h->data_offset > b.size())
        return Unreadable("the header points outside the file");
    if (h->bits <= 8) {
        if (h->palette_count == 0) h->palette_count = std::int64_t{1} << h->bits;
        // Some writers leave out the palette entries nothing uses; the pixel data follows.
        const std::int64_t room = static_cast<std::int64_t>(h->data_offset - h->palette_offset);
        h->palette_count =
            std::min<std::int64_t>(h->palette_count, room / std::int64_t(h->palette_entry_size));
    }
    if (!Has_Masks(*h)) Set_Default_Masks(h);
    return {};
}

std::string Parse_Header(Bytes b, Header* h) {
    if (b.size() < File_Header_Size + 4) return Unreadable("the file ends inside its header");
    h->data_offset = U32(b, 10);
    const std::uint32_t header_size = U32(b, 14);
    std::string error;
    if (header_size == Core_Header_Size) {
        error = Parse_Core_Header(b, h);
    } else if (header_size >= 40 && header_size <= 124) {
        error = Parse_Info_Header(b, header_size, h);
    } else {
        error = Unreadable("the bitmap header is of an unknown kind");
    }
    return error.empty() ? Check_Header(b, h) : error;
}

std::vector<std::uint32_t> Read_Palette(Bytes b, const Header& h) {
    std::vector<std::uint32_t> palette;
    for (std::int64_t i = 0; i < h.palette_count; ++i) {
        const std::size_t at =
            h.palette_offset + static_cast<std::size_t>(i) * h.palette_entry_size;
        palette.push_back(0xFF000000u | (std::uint32_t{b[at + 2]} << 16) |
                          (std::uint32_t{b[at + 1]} << 8) | b[at]);
    }
    return palette;
}

// One channel of a masked pixel value, scaled to 0..255.
std::uint32_t Channel(std::uint32_t value, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const std::uint64_t top = mask >> shift;
    return static_cast<std::uint32_t>(std::uint64_t{(value & mask) >> shift} * 255u / top);
}

std::uint32_t Masked_Colour(std::uint32_t value, const Header& h) {
    const std::uint32_t alpha = h.masks[3] ? Channel(value, h.masks[3]) : 0xFF;
    return (alpha << 24) | (Channel(value, h.masks[0]) << 16) | (Channel(value, h.masks[1]) << 8) |
           Channel(value, h.masks[2]);
}

// Writes the picture's pixels; refuses palette indexes beyond the palette.
class PixelSink {
public:
    PixelSink(const Header& h, std::vector<std::uint32_t> palette, BmpPicture* picture)
        : header_(h), palette_(std::move(palette)), picture_(picture) {
        picture_->pixels.assign(static_cast<std::size_t>(h.width * h.height), 0);
    }
    // (x, file row); file rows run bottom-up unless the bitmap is top-down.
    bool Put_Index(std::int64_t x, std::int64_t row, std::uint32_t index) {
        if (index >= palette_.size()) return false;
        Put(x, row, palette_[index]);
        return true;
    }
    void Put(std::int64_t x, std::int64_t row, std::uint32_t argb) {
        const std::int64_t y = header_.top_down ? row : header_.height - 1 - row;
        picture_->pixels[static_cast<std::size_t>(y * header_.width + x)] = argb;
    }
    std::string Bad_Index_Error() const {
        return Unreadable("a pixel uses a colour the palette does not hold; it has " +
                          std::to_string(palette_.size()));
    }

private:
    const Header& header_;
    std::vector<std::uint32_t> palette_;
    BmpPicture* picture_;
};

std::uint32_t Packed_Index(const std::uint8_t* row, std::int64_t x, int bits) {
    switch (bits) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4:
            return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
        default:
            return row[x];
    }
}

std::uint32_t Direct_Colour(const std::uint8_t* row, std::int64_t x, const Header& h) {
    switch (h.bits) {
        case 16:
            return Masked_Colour(row[2 * x] | (std::uint32_t{row[2 * x + 1]} << 8), h);
        case 24:
            return 0xFF000000u | (std::uint32_t{row[3 * x + 2]} << 16) |
                   (std::uint32_t{row[3 * x + 1]} << 8) | row[3 * x];
        default: {
            const std::uint8_t* p = row + 4 * x;
            return Masked_Colour(p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
                                     (std::uint32_t{p[3]} << 24),
                                 h);
        }
    }
}

std::int64_t Stride(const Header& h) {
    return (h.width * h.bits + 31) / 32 * 4;  // rows are padded to whole words
}

// The rows must all be in the file (the last one's padding may be left out); checked before
// the picture's memory is taken, so that a short file cannot claim a large picture.
std::string Check_Plain_Size(Bytes b, const Header& h) {
    const std::int64_t stride = Stride(h);
    const std::int64_t last_row = (h.width * h.bits + 7) / 8;
    const std::int64_t needed = stride * (h.height - 1) + last_row;
    const std::int64_t present = static_cast<std::int64_t>(b.size() - h.data_offset);
    if (present >= needed) return {};
    return Incomplete("the file ends after " + std::to_string(present) + " of its " +
                      std::to_string(needed) + " bytes of pixels");
}

std::string Decode_Plain(Bytes b, const Header& h, PixelSink& sink) {
    const std::int64_t stride = Stride(h);
    for (std::int64_t row = 0; row < h.height; ++row) {
        const std::uint8_t* bytes = b.data() + h.data_offset + row * stride;
        for (std::int64_t x = 0; x < h.width; ++x) {
            if (h.bits > 8) {
                sink.Put(x, row, Direct_Colour(bytes, x, h));
            } else if (!sink.Put_Index(x, row, Packed_Index(bytes, x, h.bits))) {
                return sink.Bad_Index_Error();
            }
        }
    }
    return {};
}

// The RLE8 / RLE4 stream: runs, end of line, end of bitmap, delta and absolute runs. Every
// pixel must be written: a line that ends early, a delta that skips pixels or a stream that
// stops before the last line leaves the picture incomplete.
class RleDecoder {
public:
    RleDecoder(Bytes b, const Header& h, PixelSink& sink)
        : b_(b), h_(h), sink_(sink), at_(h.data_offset), rle8_(h.compression == Bi_Rle8) {}

    std::string Run() {
        while (row_ < h_.height) {
            if (at_ + 2 > b_.size()) {
                if (Last_Row_Full()) return {};
                return Incomplete("the file ends before the bitmap does");
            }
            const std::uint8_t count = b_[at_], value = b_[at_ + 1];
            at_ += 2;
            const std::string error = count > 0 ? Encoded(count, value) : Escape(value);
            if (!error.empty()) return error;
        }
        return {};
    }

private:
    bool Last_Row_Full() const { return row_ == h_.height - 1 && x_ >= h_.width; }
    std::int64_t Picture_Row() const { return h_.height - 1 - row_; }

    bool Put(int i, std::uint32_t index) {
        if (x_ + i >= h_.width) return true;  // beyond the line's end: dropped
        return sink_.Put_Index(x_ + i, row_, index);
    }
    void Advance(int pixels) { x_ = std::min(x_ + pixels, h_.width); }

    std::string Encoded(int count, std::uint8_t value) {
        for (int i = 0; i < count; ++i) {
            const std::uint32_t index = rle8_ ? value : (i & 1 ? value & 0xFu : value >> 4);
            if (!Put(i, index)) return sink_.Bad_Index_Error();
        }
        Advance(count);
        return {};
    }

    std::string Escape(std::uint8_t code) {
        switch (code) {
            case 0:
                if (x_ < h_.width)
                    return Incomplete("row " + std::to_string(Picture_Row()) + " ends early");
                x_ = 0;
                ++row_;
                return {};
            case 1:
                if (!Last_Row_Full()) return Incomplete("the bitmap ends before its last row");
                row_ = h_.height;
                return {};
            case 2:
                return Delta();
            default:
                return Absolute(code);
        }
    }

    std::string Delta() {
        if (at_ + 2 > b_.size()) return Incomplete("the file ends inside a jump");
        const std::uint8_t dx = b_[at_], dy = b_[at_ + 1];
        at_ += 2;
        if (dy > 0 || (dx > 0 && x_ < h_.width))
            return Incomplete("it jumps over pixels it never sets");
        return {};
    }

    std::string Absolute(int count) {
        const std::size_t bytes = rle8_ ? count : (count + 1) / 2;
        if (at_ + bytes > b_.size()) return Incomplete("the file ends inside a run of pixels");
        for (int i = 0; i < count; ++i) {
            const std::uint8_t byte = b_[at_ + (rle8_ ? i : i / 2)];
            const std::uint32_t index = rle8_ ? byte : (i & 1 ? byte & 0xFu : byte >> 4);
            if (!Put(i, index)) return sink_.Bad_Index_Error();
        }
        Advance(count);
        at_ = std::min(at_ + bytes + (bytes & 1), b_.size());  // runs are padded to words
        return {};
    }

    Bytes b_;
    const Header& h_;
    PixelSink& sink_;
    std::size_t at_;
    bool rle8_;
    std::int64_t x_ = 0;
    std::int64_t row_ = 0;  // file row, bottom-up
};

// An RLE stream gives at most 255 pixels for every two bytes; a header that asks for more
// cannot be complete, and is refused before the picture's memory is taken.
bool Rle_Could_Hold(Bytes b, const Header& h) {
    const std::int64_t stream = static_cast<std::int64_t>(b.size() - h.data_offset);
    return h.width * h.height <= (stream / 2) * 255;
}

}  // namespace

bool Looks_Like_Bmp(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

BmpPicture Decode_Bmp(std::span<const std::uint8_t> bytes) {
    BmpPicture picture;
    Header header;
    if (!Looks_Like_Bmp(bytes)) {
        picture.error = Unreadable("not a bitmap file");
        return picture;
    }
    picture.error = Parse_Header(bytes, &header);
    if (picture.error.empty()) {
        if (!Is_Compressed(header))
            picture.error = Check_Plain_Size(bytes, header);
        else if (!Rle_Could_Hold(bytes, header))
            picture.error = Incomplete("the file is too short for its size");
    }
    if (!picture.error.empty()) return picture;

    PixelSink sink(header, Read_Palette(bytes, header), &picture);
    picture.error = Is_Compressed(header) ? RleDecoder(bytes, header, sink).Run()
                                          : Decode_Plain(bytes, header, sink);
    if (!picture.error.empty()) {
        picture.pixels.clear();
        return picture;
    }
    picture.width = static_cast<int>(header.width);
    picture.height = static_cast<int>(header.height);
    picture.has_alpha = Has_Masks(header) && header.masks[3] != 0;
    return picture;
}
