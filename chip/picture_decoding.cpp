// Picture decoding: our bitmap decoder, the icon directory check, the toolkit's readers.
#include "chip/picture_decoding.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <span>

#include "chip/bmp_decoder.h"
#include "chip/canvas.h"

namespace {

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// Metafiles are vector drawings the toolkit cannot read; say so rather than "unknown format".
bool Is_Metafile_Name(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "emf" || suffix == "wmf";
}

std::span<const std::uint8_t> Bytes_Of(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

DecodedPicture From_Bmp(const QByteArray& bytes) {
    const BmpPicture bmp = Decode_Bmp(Bytes_Of(bytes));
    if (!bmp.error.empty()) return {{}, bmp.error};
    QImage image(bmp.width, bmp.height,
                 bmp.has_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) return {{}, "there is not enough memory for a picture of its size"};
    const std::size_t row_bytes = static_cast<std::size_t>(bmp.width) * 4;
    for (int y = 0; y < bmp.height; ++y)
        std::memcpy(image.scanLine(y), bmp.pixels.data() + std::size_t(y) * bmp.width, row_bytes);
    return {std::move(image), {}};
}

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | (std::uint32_t{b[at + 1]} << 8);
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

// An icon or cursor file: reserved 0, type 1 or 2, a count, then 16-byte directory entries.
bool Looks_Like_Icon(std::span<const std::uint8_t> b) {
    return b.size() >= 6 && U16(b, 0) == 0 && (U16(b, 2) == 1 || U16(b, 2) == 2) && U16(b, 4) > 0;
}

// Every image the directory names must lie inside the file.
bool Icon_Is_Whole(std::span<const std::uint8_t> b) {
    const std::size_t count = U16(b, 4);
    if (b.size() < 6 + 16 * count) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const std::uint64_t size = U32(b, entry + 8), offset = U32(b, entry + 12);
        if (size == 0 || offset + size > b.size()) return false;
    }
    return true;
}

DecodedPicture From_Toolkit(const QByteArray& bytes) {
    QByteArray copy = bytes;  // QBuffer wants a non-const array
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        return {{}, "not a readable picture (" + reader.errorString().toStdString() + ")"};
    return {std::move(image), {}};
}

}  // namespace

DecodedPicture Decode_Picture(const QByteArray& bytes) {
    const std::span<const std::uint8_t> b = Bytes_Of(bytes);
    if (Looks_Like_Bmp(b)) return From_Bmp(bytes);
    if (Looks_Like_Icon(b) && !Icon_Is_Whole(b))
        return {{}, "the picture is incomplete: the file ends before its icon images do"};
    return From_Toolkit(bytes);
}

PictureLoadResult Load_Picture_File(const std::string& path) {
    const QString name = QString::fromStdString(path);
    const QFileInfo info(name);
    if (!info.exists()) return {{}, "Cannot load " + Quoted(path) + ": the file does not exist."};
    if (!info.isFile() || !info.isReadable())
        return {{}, "Cannot load " + Quoted(path) + ": the file cannot be read."};
    if (info.size() == 0) return {{}, "Cannot load " + Quoted(path) + ": the file is empty."};
    if (info.size() > Picture_File_Max_Bytes)
        return {{}, "Cannot load " + Quoted(path) + ": the file is too large for a picture."};

    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, "Cannot load " + Quoted(path) + ": " + file.errorString().toStdString() + "."};
    DecodedPicture decoded = Decode_Picture(file.readAll());
    if (decoded.image.isNull()) {
        if (Is_Metafile_Name(name))
            return {{}, "Cannot load " + Quoted(path) + ": metafiles are not supported."};
        return {{}, "Cannot load " + Quoted(path) + ": " + decoded.problem + "."};
    }
    return {std::move(decoded.image), {}};
}

namespace {

QImage Cut_To(const QImage& image, QSize largest) {
    if (image.width() <= largest.width() && image.height() <= largest.height()) return image;
    return image.copy(0, 0, std::min(image.width(), largest.width()),
                      std::min(image.height(), largest.height()));
}

}  // namespace

QImage Cut_Loaded_Picture(const QImage& image) {
    return Cut_To(image, {Loaded_Picture_Max_Width, Loaded_Picture_Max_Height});
}

QSize Draw_Loaded_Picture(Canvas& picture, const QImage& loaded, QSize largest) {
    QImage cut = Cut_To(loaded, largest);
    if (cut.hasAlphaChannel()) {
        // The canvas copies pixels as they are; blend the see-through parts over what the
        // picture shows so that they keep the picture's levels instead of turning black.
        QImage under = picture.Image().copy(0, 0, cut.width(), cut.height());
        QPainter painter(&under);
        painter.drawImage(0, 0, cut);
        painter.end();
        cut = std::move(under);
    }
    picture.Draw(0, 0, cut);
    return cut.size();
}
