// Picture files: load by content, save as a bitmap through a temporary file.
#include "ui/drawing/picture_files.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include "chip/canvas.h"
#include "chip/picture_decoding.h"
#include "shell/dialogs.h"
#include "shell/message_text.h"
#include "shell/whole_file.h"
#include "ui/drawing/drawing_form.h"

namespace {

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

std::optional<std::string> Save_Picture_File(const QImage& image, const std::string& path) {
    QByteArray bitmap;
    QBuffer buffer(&bitmap);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        return "Cannot save " + Quoted_Token(path) + ": the bitmap was not written.";
    const std::string_view bytes(bitmap.constData(), static_cast<std::size_t>(bitmap.size()));
    if (const std::optional<std::string> cause = Write_Whole_File(path, bytes))
        return "Cannot save " + Quoted_Token(path) + ": " + *cause + ".";
    return std::nullopt;
}

std::optional<QSize> Load_Picture_Into_Corner(Canvas& picture) {
    const std::optional<std::string> path =
        Current_Dialogs().Open_File(Picture_Dialog_Request("Open"));
    if (!path) return std::nullopt;
    PictureLoadResult loaded = Load_Picture_File(*path);
    if (loaded.image.isNull()) {
        Show_File_Error(loaded.error);
        return std::nullopt;
    }
    return Draw_Loaded_Picture(picture, loaded.image);
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
