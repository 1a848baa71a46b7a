// TCGForm (module Unitcg): the text and font dialog. The user types a text and picks its
// font, a colour preset, the background and a border; the text tools, the test pattern and
// the time stamp show it modally and read the result from its controls after OK.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "chip/luma.h"
#include "ui/text_dialog/font_chooser.h"
#include "ui/text_dialog/text_font.h"

class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolBar;
class QToolButton;

// Text colours of the presets besides white and black (0x00BBGGRR).
inline constexpr std::uint32_t Preset_Silver = 0xC0C0C0;
inline constexpr std::uint32_t Preset_Grey = 0x808080;

class TCGForm : public QDialog {
    Q_OBJECT

public:
    explicit TCGForm(QWidget* parent = nullptr);

    // Controls, by their names in the form.
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButtonFont = nullptr;
    QToolButton* ToolButtonText100BkBlack = nullptr;
    QToolButton* ToolButtonnText74BkBlack = nullptr;
    QToolButton* ToolButtonnText47BkBlack = nullptr;
    QToolButton* ToolButtonText0BkWhite = nullptr;
    QFrame* PanelText = nullptr;
    QLineEdit* EditText = nullptr;
    QFrame* Panel1 = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QSpinBox* UpDownBorderSize = nullptr;  // the up-down and its edit box EditBorderSize
    QLabel* LabelFontHeight = nullptr;
    QLabel* LabelFontName = nullptr;
    QPushButton* btnSize = nullptr;
    TFontDialog FontDialog1;

    // The font of EditText (Qt's widget font carries neither colour nor signed height).
    const TextFont& EditText_Font() const { return edit_font_; }
    void Set_EditText_Font(const TextFont& font);
    std::uint32_t EditText_Background() const { return edit_background_; }

    // What the callers take after OK.
    std::string Text() const;
    void Set_Text(const std::string& text);
    int Border_Size() const;
    void Set_Border_Size(int pixels);
    const TextFont& Chosen_Font() const { return FontDialog1.Font; }
    bool White_Background() const;

    // Event handlers, public so that the callers and tests can run them as the toolkit would.
    void FormShow();
    void FormResize();
    void btnSizeClick();
    void ToolButtonFontClick();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Preset {
        QToolButton* button;
        std::uint32_t text_color;
        std::uint32_t background;
    };

    void Build_Tool_Bar();
    void Build_Text_Panel();
    void Build_Button_Panel();
    QToolButton* Add_Preset_Button(const char* name, const char* hint, std::uint32_t text_color,
                                   std::uint32_t background);
    void Preset_Click(const Preset& preset);
    void Set_EditText_Background(std::uint32_t color);
    void Apply_Edit_Look();
    void Place_Panels();

    QButtonGroup* presets_group_ = nullptr;
    std::vector<Preset> presets_;
    TextFont edit_font_;
    std::uint32_t edit_background_ = Black_Color;
    int initial_dialog_width_ = 0;
    int initial_dialog_height_ = 0;
    int initial_edit_width_ = 0;
    int initial_edit_height_ = 0;
};

// The one instance, created at start-up by the application and set here by its creator.
extern TCGForm* CGForm;
