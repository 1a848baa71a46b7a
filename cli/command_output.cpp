// Failure reports and PNG files of the commands.
#include "cli/command_output.h"

#include <QBuffer>
#include <QImage>
#include <iostream>

#include "shell/whole_file.h"

int Failed(const std::string& what, int status) {
    std::cerr << "osdex: " << what << '\n';
    return status;
}

std::optional<std::string> Write_Png_File(const std::string& path, const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return std::string("the picture cannot be made");
    return Write_Whole_File(path, std::string_view(png.constData(), png.size()));
}
