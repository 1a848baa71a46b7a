// Turns the bytes of a picture file into an image every pixel of which the file supplied,
// or into the reason why not. Bitmaps go through our own decoder (the toolkit's reader
// leaves the pixels of a cut-short bitmap undefined and reports success); icons are checked
// to hold every image their directory names; other formats use the toolkit's readers, which
// fail on a cut-short file.
#pragma once

#include <QByteArray>
#include <QImage>
#include <string>

struct Decoded_Picture {
    QImage image;         // null when refused
    std::string problem;  // why, in words that follow "Cannot load <file>: "; empty on success
};

Decoded_Picture Decode_Picture(const QByteArray& bytes);
