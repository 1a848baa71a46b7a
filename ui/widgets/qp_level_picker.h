// The one-row level picker of the register panels (ListBoxQP0 .. ListBoxQP3): sixteen rows
// "0" .. "15", one shown at a time. It keeps two values as a list box does: the shown row (the
// top row, which the user scrolls and which is the value for "Set") and the selected row
// (which the drawing steps use). Setting either from code runs no action.
#pragma once

#include <QColor>
#include <QWidget>
#include <functional>

class QScrollBar;

class QpLevelPicker : public QWidget {
    Q_OBJECT
public:
    static constexpr int Rows = 16;
    static constexpr int Row_Height = 16;
    static constexpr int Box_Height = 21;

    // level_colour gives the fill of a row: the picture colour of that level.
    explicit QpLevelPicker(std::function<QColor(int)> level_colour, QWidget* parent = nullptr);

    int Shown_Row() const { return shown_; }
    int Selected_Row() const { return selected_; }
    void Set_Shown_Row(int row);
    void Set_Selected_Row(int row);
    // Makes the selected row follow the shown row (before a drawing step).
    void Select_Shown_Row() { Set_Selected_Row(shown_); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect Row_Rect(int row) const;
    int List_Width() const;

    std::function<QColor(int)> level_colour_;
    QScrollBar* scroll_bar_;
    int shown_ = 0;
    int selected_ = 0;
};
