// The pin-choice lists of the diagnostic window: filled from a pin table of the pin map,
// read back as a pin number, and set from code without running their change action.
#pragma once

#include <QComboBox>
#include <QSignalBlocker>
#include <array>

#include "port/pin_map.h"

// Items "none" for pin 0, else the pin number, in table order.
template <std::size_t N>
void Fill_Pin_List(QComboBox* list, const std::array<int, N>& table) {
    for (int pin : table) list->addItem(pin == 0 ? QString("none") : QString::number(pin));
}

// The pin the list shows: the leading number of its text, "none" giving 0.
inline int Pin_Of_List(const QComboBox* list) {
    return Pin_From_List_Text(list->currentText().toStdString());
}

// Selects the entry of pin; a pin the table does not offer leaves the list as it was.
template <std::size_t N>
void Select_Pin_Entry(QComboBox* list, const std::array<int, N>& table, int pin) {
    const int index = Pin_Table_Index(table, pin);
    if (index < 0) return;
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(index);
}
