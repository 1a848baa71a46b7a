// Module Unitcg: the text and font dialog.
#include "ui/text_dialog/text_dialog.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TCGForm* CGForm = nullptr;

namespace {

constexpr int Design_Width = 498;
constexpr int Design_Height = 147;
constexpr int Tool_Bar_Height = 30;
constexpr int Button_Panel_Height = 41;
constexpr int Edit_Left = 12;
constexpr int Edit_Top = 8;
constexpr int Design_Edit_Width = 473;
constexpr int Design_Edit_Height = 37;

// A preset's button face: its text colour on its background.
QIcon Preset_Icon(std::uint32_t text_color, std::uint32_t background) {
    QPixmap pixmap(16, 16);
    pixmap.fill(To_QColor(background));
    QPainter painter(&pixmap);
    painter.setPen(To_QColor(text_color));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(13);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, "A");
    return QIcon(pixmap);
}

TextFont Layout_Font() {
    TextFont font;
    font.Name = "MS Sans Serif";
    font.Height = -24;
    font.Color = Preset_Silver;
    font.Bold = true;
    return font;
}

}  // namespace

TCGForm::TCGForm(QWidget* parent) : QDialog(parent) {
    setObjectName("CGForm");
    setWindowTitle("Osdex Character Generator");
    setModal(true);
    Build_Tool_Bar();
    Build_Text_Panel();
    Build_Button_Panel();
    resize(Design_Width, Design_Height);
    Place_Panels();

    initial_dialog_width_ = Design_Width;
    initial_dialog_height_ = Design_Height;
    initial_edit_width_ = Design_Edit_Width;
    initial_edit_height_ = Design_Edit_Height;
    FontDialog1.Font = edit_font_;
}

void TCGForm::Build_Tool_Bar() {
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setIconSize(QSize(16, 16));
    ToolButtonFont = new QToolButton(ToolBar1);
    ToolButtonFont->setObjectName("ToolButtonFont");
    ToolButtonFont->setText("Font");
    ToolButtonFont->setToolTip("Choose font");
    ToolBar1->addWidget(ToolButtonFont);
    ToolBar1->addSeparator();
    connect(ToolButtonFont, &QToolButton::clicked, this, [this] { ToolButtonFontClick(); });

    presets_group_ = new QButtonGroup(this);
    presets_group_->setExclusive(true);
    ToolButtonText100BkBlack =
        Add_Preset_Button("ToolButtonText100BkBlack", "White text (100 IRE) with black background",
                          White_Color, Black_Color);
    ToolButtonnText74BkBlack =
        Add_Preset_Button("ToolButtonnText74BkBlack", "White text (74 IRE) with black background",
                          Preset_Silver, Black_Color);
    ToolButtonnText47BkBlack =
        Add_Preset_Button("ToolButtonnText47BkBlack", "White text (47 IRE) with black background",
                          Preset_Grey, Black_Color);
    ToolButtonText0BkWhite = Add_Preset_Button(
        "ToolButtonText0BkWhite", "Black text on white background", Black_Color, White_Color);
    ToolButtonnText74BkBlack->setChecked(true);
}

QToolButton* TCGForm::Add_Preset_Button(const char* name, const char* hint,
                                        std::uint32_t text_color, std::uint32_t background) {
    auto* button = new QToolButton(ToolBar1);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setCheckable(true);
    button->setIcon(Preset_Icon(text_color, background));
    ToolBar1->addWidget(button);
    presets_group_->addButton(button);
    presets_.push_back({button, text_color, background});
    const std::size_t index = presets_.size() - 1;
    // clicked, not toggled: a preset set from code runs no action.
    connect(button, &QToolButton::clicked, this, [this, index] { Preset_Click(presets_[index]); });
    return button;
}

void TCGForm::Build_Text_Panel() {
    PanelText = new QFrame(this);
    PanelText->setObjectName("PanelText");
    PanelText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    EditText = new QLineEdit(PanelText);
    EditText->setObjectName("EditText");
    EditText->setText("Vantor Osdex On-Screen Display");
    EditText->setGeometry(Edit_Left, Edit_Top, Design_Edit_Width, Design_Edit_Height);
    edit_font_ = Layout_Font();
    edit_background_ = Black_Color;
    Apply_Edit_Look();
}

void TCGForm::Build_Button_Panel() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(6, 4, 6, 4);

    btnOk = new QPushButton("Ok", Panel1);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    btnCancel = new QPushButton("Cancel", Panel1);
    btnCancel->setObjectName("btnCancel");
    UpDownBorderSize = new QSpinBox(Panel1);
    UpDownBorderSize->setObjectName("UpDownBorderSize");
    UpDownBorderSize->setRange(0, 100);
    UpDownBorderSize->setValue(3);
    LabelFontHeight = new QLabel(Panel1);
    LabelFontHeight->setObjectName("LabelFontHeight");
    LabelFontName = new QLabel(Panel1);
    LabelFontName->setObjectName("LabelFontName");
    btnSize = new QPushButton("size?", Panel1);
    btnSize->setObjectName("btnSize");
    for (QPushButton* button : {btnOk, btnCancel, btnSize}) button->setMaximumWidth(64);

    row->addWidget(btnOk);
    row->addWidget(btnCancel);
    row->addWidget(new QLabel("Border: ", Panel1));
    row->addWidget(UpDownBorderSize);
    row->addWidget(new QLabel("pixels", Panel1));
    // The two font labels share one column, one above the other, so the bottom panel keeps
    // its height and both stay readable at the design width.
    auto* labels = new QVBoxLayout;
    labels->setSpacing(0);
    for (QLabel* label : {LabelFontHeight, LabelFontName}) {
        QFont small = label->font();
        small.setPixelSize(11);
        label->setFont(small);
        labels->addWidget(label);
    }
    row->addLayout(labels, 1);
    row->addWidget(btnSize);

    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnSize, &QPushButton::clicked, this, [this] { btnSizeClick(); });
}

void TCGForm::Set_EditText_Font(const TextFont& font) {
    edit_font_ = font;
    Apply_Edit_Look();
}

void TCGForm::Set_EditText_Background(std::uint32_t color) {
    edit_background_ = color;
    Apply_Edit_Look();
}

void TCGForm::Apply_Edit_Look() {
    EditText->setFont(To_QFont(edit_font_));
    QPalette palette = EditText->palette();
    palette.setColor(QPalette::Text, To_QColor(edit_font_.Color));
    palette.setColor(QPalette::Base, To_QColor(edit_background_));
    EditText->setPalette(palette);
}

std::string TCGForm::Text() const {
    return EditText->text().toStdString();
}

void TCGForm::Set_Text(const std::string& text) {
    EditText->setText(QString::fromStdString(text));
}

int TCGForm::Border_Size() const {
    return UpDownBorderSize->value();
}

void TCGForm::Set_Border_Size(int pixels) {
    UpDownBorderSize->setValue(pixels);
}

bool TCGForm::White_Background() const {
    return ToolButtonText0BkWhite->isChecked();
}

void TCGForm::FormShow() {
    FontDialog1.Font = edit_font_;
    const int height = FontDialog1.Font.Height;
    if (height < 0) {
        EditText->resize(EditText->width(), -2 * height);
        resize(width(), initial_dialog_height_ + EditText->height() - initial_edit_height_);
    }
    // Only the two extreme colours say which background belongs to them; a silver or grey
    // font keeps the buttons as the previous use left them.
    if (FontDialog1.Font.Color == White_Color) {
        ToolButtonText100BkBlack->setChecked(true);
        Set_EditText_Background(Black_Color);
    } else if (FontDialog1.Font.Color == Black_Color) {
        ToolButtonText0BkWhite->setChecked(true);
        Set_EditText_Background(White_Color);
    }
    btnSizeClick();
}

void TCGForm::FormResize() {
    EditText->resize(width() + initial_edit_width_ - initial_dialog_width_, EditText->height());
    Place_Panels();
}

void TCGForm::btnSizeClick() {
    const int h = edit_font_.Height;
    if (h < 0) {
        LabelFontHeight->setText(QString::asprintf("Height: %d = %d pt", h, -h));
    } else {
        LabelFontHeight->setText(QString::asprintf("Size: %d = %d pixels", h, h));
    }
    LabelFontName->setText("Name: " + QString::fromStdString(edit_font_.Name));
}

void TCGForm::ToolButtonFontClick() {
    if (!FontDialog1.Execute(this)) return;
    Set_EditText_Font(FontDialog1.Font);
    btnSizeClick();
}

void TCGForm::Preset_Click(const Preset& preset) {
    FontDialog1.Font.Color = preset.text_color;
    edit_font_ = FontDialog1.Font;
    Set_EditText_Background(preset.background);
}

void TCGForm::Place_Panels() {
    const int text_height = std::max(0, height() - Tool_Bar_Height - Button_Panel_Height);
    ToolBar1->setGeometry(0, 0, width(), Tool_Bar_Height);
    PanelText->setGeometry(0, Tool_Bar_Height, width(), text_height);
    Panel1->setGeometry(0, height() - Button_Panel_Height, width(), Button_Panel_Height);
}

void TCGForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    EditText->setFocus();
}

void TCGForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}
