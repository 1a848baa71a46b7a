// Pieces of the register panels: one row per register with a "Get" button on the left, the
// register's name, its value field and a "Set" button on the right, placed at fixed
// positions as in the panels' form definitions.
#pragma once

#include <QString>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QWidget;

namespace register_row {

inline constexpr int Get_X = 8;
inline constexpr int Label_X = 36;
inline constexpr int Field_X = 106;
inline constexpr int Set_X = 216;
inline constexpr int Button_Width = 28;
inline constexpr int Row_Height = 21;

QPushButton* Add_Get_Button(QWidget* panel, int top, const QString& name);
QPushButton* Add_Set_Button(QWidget* panel, int top, const QString& name);
QPushButton* Add_Button(QWidget* panel, int x, int top, int width, const QString& name,
                        const QString& caption);
QLabel* Add_Label(QWidget* panel, int top, const QString& text);
// A name of the register table as a caption.
inline QString Label(const std::string& name) {
    return QString::fromStdString(name);
}
// An up-down with its edit box: range without wrap, start value.
QSpinBox* Add_Up_Down(QWidget* panel, int top, const QString& name, int minimum, int maximum,
                      int value);
QCheckBox* Add_Check_Box(QWidget* panel, int x, int top, const QString& name,
                         const QString& caption, int width = 54);

}  // namespace register_row
