// The canvas tools both drawing windows share.
#include "ui/drawing/canvas_tools.h"

#include <QDialog>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "chip/canvas.h"
#include "chip/display_memory.h"
#include "chip/luma.h"
#include "shell/dialogs.h"
#include "ui/drawing/drawing_form.h"
#include "ui/drawing/picture_files.h"
#include "ui/text_dialog/text_dialog.h"

namespace {

constexpr int Last_Column = Display_Width - 1;  // 711
constexpr int Last_Row = Display_Lines - 1;     // 511

}  // namespace

std::optional<TextBox> Place_Text_Box(Canvas& picture, int press_x, int press_y) {
    if (!CGForm || CGForm->exec() != QDialog::Accepted) return std::nullopt;
    TextBox box;
    box.Text = QString::fromStdString(CGForm->Text());
    box.Font = CGForm->Chosen_Font();
    box.Box_Color = CGForm->White_Background() ? White_Color : Black_Color;
    // The border travels as a 16-bit signed value.
    const int border = static_cast<std::int16_t>(CGForm->Border_Size());
    picture.Set_Font(To_QFont(box.Font));
    box.Box = {press_x - border, press_y - border, press_x + picture.Text_Width(box.Text) + border,
               press_y + picture.Text_Height(box.Text) + border};
    Paint_Text_Box(picture, box, press_x + 1, press_y + 1);
    return box;
}

void Paint_Text_Box(Canvas& picture, const TextBox& box, int text_x, int text_y) {
    picture.Set_Font(To_QFont(box.Font));
    picture.Set_Font_Color(box.Font.Color);
    picture.Set_Brush_Color(box.Box_Color);
    picture.Set_Brush_Style(Canvas::Brush_Style::Solid);
    // The outline takes the pen as the last uniform run left it; it is uploaded with the box.
    picture.Rectangle(box.Box.Left, box.Box.Top, box.Box.Right, box.Box.Bottom);
    picture.Text_Out(text_x, text_y, box.Text);
}

std::optional<QImage> Load_Picture_At(const Canvas& picture, int x, int y) {
    FileDialogRequest request;
    request.title = "Open";
    request.filter = Picture_Dialog_Filter;
    request.hide_read_only = true;
    const std::optional<std::string> path = Current_Dialogs().Open_File(request);
    if (!path) return std::nullopt;
    const PictureLoadResult loaded = Load_Picture_File(*path);
    if (loaded.image.isNull()) {
        Show_Message(Application_Title, loaded.error, MsgIcon::Stop);
        return std::nullopt;
    }
    QImage cut = Cut_To_Press_Point(loaded.image, x, y);
    if (cut.isNull() || !cut.hasAlphaChannel()) return cut;
    // The canvas copies pixels as they come; see-through parts would turn black.
    QImage under = picture.Image().copy(x, y, cut.width(), cut.height());
    QPainter painter(&under);
    painter.drawImage(0, 0, cut);
    painter.end();
    return under;
}

QImage Cut_To_Press_Point(const QImage& picture, int x, int y) {
    int width = picture.width();
    int height = picture.height();
    if (x + width > Last_Column) width = Last_Column - x;
    if (y + height > Last_Row) height = Last_Row - y;
    if (width <= 0 || height <= 0) return QImage();
    return picture.copy(0, 0, width, height);
}
