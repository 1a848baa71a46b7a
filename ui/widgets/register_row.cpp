// Register-panel pieces.
#include "ui/widgets/register_row.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace register_row {

QPushButton* Add_Button(QWidget* panel, int x, int top, int width, const QString& name,
                        const QString& caption) {
    auto* button = new QPushButton(caption, panel);
    button->setObjectName(name);
    button->setGeometry(x, top, width, Row_Height);
    return button;
}

QPushButton* Add_Get_Button(QWidget* panel, int top, const QString& name) {
    return Add_Button(panel, Get_X, top, Button_Width, name, "Get");
}

QPushButton* Add_Set_Button(QWidget* panel, int top, const QString& name) {
    return Add_Button(panel, Set_X, top, Button_Width, name, "Set");
}

QLabel* Add_Label(QWidget* panel, int top, const QString& text) {
    auto* label = new QLabel(text, panel);
    label->setGeometry(Label_X, top, Field_X - Label_X, Row_Height);
    return label;
}

QSpinBox* Add_Up_Down(QWidget* panel, int top, const QString& name, int minimum, int maximum,
                      int value) {
    auto* up_down = new QSpinBox(panel);
    up_down->setObjectName(name);
    up_down->setRange(minimum, maximum);
    up_down->setWrapping(false);
    up_down->setValue(value);
    up_down->setGeometry(Field_X, top, Set_X - Field_X - 6, Row_Height);
    return up_down;
}

QCheckBox* Add_Check_Box(QWidget* panel, int x, int top, const QString& name,
                         const QString& caption, int width) {
    auto* box = new QCheckBox(caption, panel);
    box->setObjectName(name);
    box->setGeometry(x, top, width, 17);
    return box;
}

}  // namespace register_row
