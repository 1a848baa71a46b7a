// The program started on a fresh simulated board, with the register cache off so that every
// register write the panels ask for reaches the board and can be counted there, and helpers
// that act on the panels as a user does: mouse clicks and typed keys.
#pragma once

#include <QCheckBox>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <array>
#include <initializer_list>

#include "chip/canvas.h"
#include "chip/luma.h"
#include "ui/widgets/qp_level_picker.h"
#include "ui_fixture.h"

class PanelTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        saved_cache_ = Cache_Enabled;
        Start_Program();
        Cache_Enabled = 0;
        dialogs.messages.clear();
    }

    void TearDown() override {
        Board().Set_Read_Flip_Mask(0);
        Cache_Enabled = saved_cache_;
        UiTest::TearDown();
    }

    board::OsdexChip& Chip() { return Board().Chip(); }
    std::uint64_t Writes() { return Chip().Counters().register_writes; }

    // A drawing window with its register pane opened by its own button.
    template <typename Form>
    Form* With_Registers(Form* form) {
        form->show();
        if (!form->ToolButtonAdvancedFeatures->isChecked()) Click(form->ToolButtonAdvancedFeatures);
        return form;
    }
    TOsdexFormCH0* Channel_Window(int n) {
        Show_Channel_Window(n);
        return With_Registers(OsdexFormCH[n]);
    }

    static void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    // Check boxes are clicked on their box, at the left.
    static void Click_Box(QCheckBox* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    // Replaces the text of an up-down's edit box key by key, as a user types.
    static void Type(QSpinBox* up_down, const QString& text) {
        up_down->selectAll();
        QTest::keyClicks(up_down, text);
    }
    static void Choose(QListWidget* list, int row) {
        QListWidgetItem* item = list->item(row);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
    }
    // Scrolls a level picker with its keys until it shows `level`; the selection stays.
    static void Scroll_To(QpLevelPicker* picker, int level) {
        QTest::keyClick(picker, Qt::Key_Home);
        for (int i = 0; i < level; ++i) QTest::keyClick(picker, Qt::Key_Down);
    }
    static void Show_Pattern(TDrawingForm* form, std::array<int, 4> levels) {
        const auto pickers = form->Quad_Pickers();
        for (int i = 0; i < 4; ++i) Scroll_To(pickers[i], levels[i]);
    }
    static std::array<int, 4> Shown(TDrawingForm* form) {
        std::array<int, 4> rows{};
        for (int i = 0; i < 4; ++i) rows[i] = form->Quad_Pickers()[i]->Shown_Row();
        return rows;
    }
    static std::array<int, 4> Selected(TDrawingForm* form) {
        std::array<int, 4> rows{};
        for (int i = 0; i < 4; ++i) rows[i] = form->Quad_Pickers()[i]->Selected_Row();
        return rows;
    }
    // Levels of the four picture pixels from (x, y).
    static std::array<int, 4> Picture_Quad(const Canvas& picture, int x, int y) {
        std::array<int, 4> levels{};
        for (int i = 0; i < 4; ++i) levels[i] = Color_To_OSD(picture.Pixel(x + i, y));
        return levels;
    }

    std::uint8_t saved_cache_ = 1;
};
