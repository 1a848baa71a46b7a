// Turns the bytes of a picture file into an image every pixel of which the file supplied,
// or into the reason why not. Bitmaps go through our own decoder (the toolkit's reader
// leaves the pixels of a cut-short bitmap undefined and reports success); icons are checked
// to hold every image their directory names; other formats use the toolkit's readers, which
// fail on a cut-short file.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QtGlobal>
#include <string>

class Canvas;

struct DecodedPicture {
    QImage image;         // null when refused
    std::string problem;  // why, in words that follow "Cannot load <file>: "; empty on success
};

DecodedPicture Decode_Picture(const QByteArray& bytes);

// The largest part of a loaded file that is drawn: right and bottom parts beyond it are cut.
inline constexpr int Loaded_Picture_Max_Width = 711;
inline constexpr int Loaded_Picture_Max_Height = 511;
// Larger files are refused before they are read: the whole file is read into memory, and no
// picture the decoders accept needs more.
inline constexpr qint64 Picture_File_Max_Bytes = qint64{512} << 20;

struct PictureLoadResult {
    QImage image;       // null on failure
    std::string error;  // why the file could not be loaded; empty on success
};

// Reads a picture file (bitmap, icon or any format the toolkit reads by content). Metafiles,
// empty, unreadable and corrupt files give an error that names the file and the reason.
PictureLoadResult Load_Picture_File(const std::string& path);

// The image cut to Loaded_Picture_Max_Width x Loaded_Picture_Max_Height.
QImage Cut_Loaded_Picture(const QImage& image);

// Draws a loaded picture, cut to at most `largest` (the windows cut as above), on the picture
// with its top-left corner at (0, 0); pixels a picture leaves see-through keep what the
// picture showed. Returns the size drawn.
QSize Draw_Loaded_Picture(Canvas& picture, const QImage& loaded,
                          QSize largest = {Loaded_Picture_Max_Width, Loaded_Picture_Max_Height});
