// Picture files: load by content, save as a bitmap through a temporary file.
#include "ui/picture_files.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include "chip/canvas.h"
#include "chip/picture_decoding.h"
#include "shell/dialogs.h"
#include "shell/whole_file.h"
#include "ui/drawing_form.h"

namespace {

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// Metafiles are vector drawings the toolkit cannot read; say so rather than "unknown format".
bool Is_Metafile_Name(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "emf" || suffix == "wmf";
}

FileDialogRequest Picture_Dialog_Request(const char* title) {
    FileDialogRequest request;
    request.title = title;
    request.filter = Picture_Dialog_Filter;
    request.default_extension = Picture_Save_Extension;
    request.hide_read_only = true;
    return request;
}

void Show_File_Error(const std::string& text) {
    Show_Message(Application_Title, text, MsgIcon::Stop);
}

}  // namespace

Picture_Load_Result Load_Picture_File(const std::string& path) {
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
    Decoded_Picture decoded = Decode_Picture(file.readAll());
    if (decoded.image.isNull()) {
        if (Is_Metafile_Name(name))
            return {{}, "Cannot load " + Quoted(path) + ": metafiles are not supported."};
        return {{}, "Cannot load " + Quoted(path) + ": " + decoded.problem + "."};
    }
    return {std::move(decoded.image), {}};
}

std::optional<std::string> Save_Picture_File(const QImage& image, const std::string& path) {
    QByteArray bitmap;
    QBuffer buffer(&bitmap);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        return "Cannot save " + Quoted(path) + ": the bitmap was not written.";
    const std::string_view bytes(bitmap.constData(), static_cast<std::size_t>(bitmap.size()));
    if (const std::optional<std::string> cause = Write_Whole_File(path, bytes))
        return "Cannot save " + Quoted(path) + ": " + *cause + ".";
    return std::nullopt;
}

QImage Cut_Loaded_Picture(const QImage& image) {
    if (image.width() <= Loaded_Picture_Max_Width && image.height() <= Loaded_Picture_Max_Height)
        return image;
    return image.copy(0, 0, std::min(image.width(), Loaded_Picture_Max_Width),
                      std::min(image.height(), Loaded_Picture_Max_Height));
}

std::optional<QSize> Load_Picture_Into_Corner(Canvas& picture) {
    const std::optional<std::string> path =
        Current_Dialogs().Open_File(Picture_Dialog_Request("Open"));
    if (!path) return std::nullopt;
    Picture_Load_Result loaded = Load_Picture_File(*path);
    if (loaded.image.isNull()) {
        Show_File_Error(loaded.error);
        return std::nullopt;
    }
    QImage cut = Cut_Loaded_Picture(loaded.image);
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

bool Save_Picture_With_Dialog(const Canvas& picture) {
    FileDialogRequest request = Picture_Dialog_Request("Save As");
    request.overwrite_prompt = true;
    const std::optional<std::string> path = Current_Dialogs().Save_File(request);
    if (!path) return false;
    if (const std::optional<std::string> error = Save_Picture_File(picture.Image(), *path)) {
        Show_File_Error(*error);
        return false;
    }
    return true;
}
