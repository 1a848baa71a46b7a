// The canvas tools both drawing windows share.
#include "ui/drawing/canvas_tools.h"

#include <QDialog>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "chip/canvas.h"
#include "chip/display_memory.h"
#include "shell/dialogs.h"
#include "ui/drawing/drawing_form.h"
#include "ui/drawing/picture_files.h"
#include "ui/text_dialog/text_dialog.h"

namespace {

constexpr int kLastColumn = Display_Width - 1;  // 711
constexpr int kLastRow = Display_Lines - 1;     // 511
constexpr int kBarCount = 16;

// The highest Right of an upload or read-back whose "one beyond" quad is still column 177.
constexpr int kLastRegionRight = (Display_Quads - 2) * Pixels_Per_Quad + 1;  // 705

constexpr std::uint32_t kWhiteBox = 0xFFFFFF;
constexpr std::uint32_t kBlackBox = 0x000000;

}  // namespace

Picture_Rect Drag_Rectangle(int press_x, int press_y, int x, int y) {
    return {std::min(press_x, x), std::min(press_y, y), std::max(press_x, x), std::max(press_y, y)};
}

bool Inside_Picture(int x, int y) {
    return x >= 0 && x <= kLastColumn && y >= 0 && y <= kLastRow;
}

std::optional<Picture_Rect> Clip_To_Picture(const Picture_Rect& r) {
    const Picture_Rect clipped{std::max(r.Left, 0), std::max(r.Top, 0),
                               std::min(r.Right, kLastColumn), std::min(r.Bottom, kLastRow)};
    if (clipped.Left > clipped.Right || clipped.Top > clipped.Bottom) return std::nullopt;
    return clipped;
}

std::optional<Picture_Rect> Clip_Region_To_Memory(const Picture_Rect& r) {
    std::optional<Picture_Rect> clipped = Clip_To_Picture(r);
    // A region starting in the second half of the last quad starts beyond memory.
    if (!clipped || Nearest_Quad(clipped->Left) >= Display_Quads) return std::nullopt;
    clipped->Right = std::min(clipped->Right, kLastRegionRight);
    return clipped;
}

int Truncated_Quad(int x) {
    return x / Pixels_Per_Quad;
}

std::vector<Luma_Bar> Horizontal_Luma_Bars(int press_y, int y, int left, int right) {
    const int r = (y - press_y) / kBarCount;
    std::vector<Luma_Bar> bars;
    if (r == 0) return bars;
    for (int k = 0; k < kBarCount; ++k) {
        const int top = press_y + k * r;
        bars.push_back({{left, top, right, top + std::abs(r) - 1}, kBarCount - 1 - k});
    }
    return bars;
}

std::vector<Luma_Bar> Vertical_Luma_Bars(int press_x, int x, int top, int bottom) {
    // Quads are taken whole, not cut to the register's 8 bits: a drag past the left edge
    // steps the bars leftward (and off the picture) instead of wrapping round to column 255.
    const int q0 = Nearest_Quad(press_x);
    const int q1 = Nearest_Quad(x + Pixels_Per_Quad);
    const int w = (q1 - q0) / kBarCount;
    std::vector<Luma_Bar> bars;
    if (w == 0) return bars;
    for (int k = 0; k < kBarCount; ++k) {
        const int first = q0 + k * w;
        bars.push_back(
            {{first * Pixels_Per_Quad, top, (first + std::abs(w)) * Pixels_Per_Quad - 1, bottom},
             kBarCount - 1 - k});
    }
    return bars;
}

bool Draw_Solid_Rect(const Solid_Rect_Writer& write, const Picture_Rect& r,
                     const Quad_Levels& pattern) {
    const std::optional<Picture_Rect> clipped = Clip_To_Picture(r);
    return !clipped || write(*clipped, pattern);
}

bool Draw_Luma_Bars(const Solid_Rect_Writer& write, const std::vector<Luma_Bar>& bars) {
    for (const Luma_Bar& bar : bars) {
        const Quad_Levels plain{bar.Level, bar.Level, bar.Level, bar.Level};
        if (!Draw_Solid_Rect(write, bar.Area, plain)) return false;
    }
    return true;
}

bool Draw_Open_Rect_Edges(const Picture_Rect& r, const Horizontal_Edge& horizontal,
                          const Vertical_Edge& vertical) {
    const int left = std::max(r.Left, 0);
    const int right = std::min(r.Right, kLastColumn);
    const int top = std::max(r.Top, 0);
    const int end = std::min(r.Bottom, kLastRow + 1);  // vertical edges stop before Bottom
    const auto row_edge = [&](int y) {
        return y < 0 || y > kLastRow || left > right || horizontal(left, right, y);
    };
    const auto column_edge = [&](int x) {
        return x < 0 || x > kLastColumn || top >= end || vertical(x, top, end);
    };
    return row_edge(r.Top) && row_edge(r.Bottom) && column_edge(r.Left) && column_edge(r.Right);
}

std::optional<Text_Box> Place_Text_Box(Canvas& picture, int press_x, int press_y) {
    if (!CGForm || CGForm->exec() != QDialog::Accepted) return std::nullopt;
    Text_Box box;
    box.Text = QString::fromStdString(CGForm->Text());
    box.Font = CGForm->Chosen_Font();
    box.Box_Color = CGForm->White_Background() ? kWhiteBox : kBlackBox;
    // The border travels as a 16-bit signed value.
    const int border = static_cast<std::int16_t>(CGForm->Border_Size());
    picture.Set_Font(To_QFont(box.Font));
    box.Box = {press_x - border, press_y - border, press_x + picture.Text_Width(box.Text) + border,
               press_y + picture.Text_Height(box.Text) + border};
    Paint_Text_Box(picture, box, press_x + 1, press_y + 1);
    return box;
}

void Paint_Text_Box(Canvas& picture, const Text_Box& box, int text_x, int text_y) {
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
    const Picture_Load_Result loaded = Load_Picture_File(*path);
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
    if (x + width > kLastColumn) width = kLastColumn - x;
    if (y + height > kLastRow) height = kLastRow - y;
    if (width <= 0 || height <= 0) return QImage();
    return picture.copy(0, 0, width, height);
}
