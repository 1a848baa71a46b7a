#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "ui/text_dialog/text_dialog.h"

namespace {

class TextDialogTest : public ::testing::Test {
protected:
    void SetUp() override { form.FontDialog1.Set_Chooser(&chooser); }
    void TearDown() override { form.hide(); }

    // Shows the dialog modelessly, so the show steps run and the test keeps control.
    void Open() {
        form.show();
        QApplication::processEvents();
    }
    void Reopen() {
        form.hide();
        Open();
    }

    ScriptedFontChooser chooser;
    TCGForm form;
};

TEST_F(TextDialogTest, FirstOpenShowsTheLayoutFontAndSizesTheEditToIt) {
    Open();
    EXPECT_EQ(form.windowTitle(), "Osdex Character Generator");
    EXPECT_EQ(form.LabelFontHeight->text(), "Height: -24 = 24 pt");
    EXPECT_EQ(form.LabelFontName->text(), "Name: MS Sans Serif");
    EXPECT_EQ(form.Text(), "Vantor Osdex On-Screen Display");
    EXPECT_EQ(form.Border_Size(), 3);
    EXPECT_TRUE(form.ToolButtonnText74BkBlack->isChecked());
    EXPECT_FALSE(form.White_Background());
    // Character height 24: the edit is twice as high and the dialog grows by the difference.
    EXPECT_EQ(form.EditText->height(), 48);
    EXPECT_EQ(form.height(), 147 + 48 - 37);
    EXPECT_EQ(form.Chosen_Font(), form.EditText_Font());
    EXPECT_EQ(form.Chosen_Font().Color, Preset_Silver);
    EXPECT_TRUE(form.Chosen_Font().Bold);
}

TEST_F(TextDialogTest, PresetClicksSetTextColourAndBackground) {
    Open();
    struct Case {
        QToolButton* button;
        std::uint32_t color;
        std::uint32_t background;
    };
    const Case cases[] = {{form.ToolButtonText100BkBlack, White_Color, Black_Color},
                          {form.ToolButtonText0BkWhite, Black_Color, White_Color},
                          {form.ToolButtonnText47BkBlack, Preset_Grey, Black_Color},
                          {form.ToolButtonnText74BkBlack, Preset_Silver, Black_Color}};
    for (const Case& c : cases) {
        QTest::mouseClick(c.button, Qt::LeftButton);
        EXPECT_TRUE(c.button->isChecked());
        EXPECT_EQ(form.Chosen_Font().Color, c.color);
        EXPECT_EQ(form.EditText_Font(), form.Chosen_Font());
        EXPECT_EQ(form.EditText_Background(), c.background);
        EXPECT_EQ(form.White_Background(), c.background == White_Color);
        EXPECT_EQ(form.EditText->palette().color(QPalette::Base), To_QColor(c.background));
    }
}

TEST_F(TextDialogTest, OpeningFollowsOnlyWhiteOrBlackFonts) {
    Open();
    QTest::mouseClick(form.ToolButtonText0BkWhite, Qt::LeftButton);

    // A caller puts a grey font in: the white-background preset stays as it was.
    TextFont grey = form.EditText_Font();
    grey.Color = Preset_Grey;
    form.Set_EditText_Font(grey);
    Reopen();
    EXPECT_TRUE(form.White_Background());
    EXPECT_EQ(form.EditText_Background(), White_Color);
    EXPECT_EQ(form.Chosen_Font().Color, Preset_Grey);

    TextFont white = grey;
    white.Color = White_Color;
    form.Set_EditText_Font(white);
    Reopen();
    EXPECT_TRUE(form.ToolButtonText100BkBlack->isChecked());
    EXPECT_EQ(form.EditText_Background(), Black_Color);

    TextFont black = grey;
    black.Color = Black_Color;
    form.Set_EditText_Font(black);
    Reopen();
    EXPECT_TRUE(form.White_Background());
    EXPECT_EQ(form.EditText_Background(), White_Color);
}

TEST_F(TextDialogTest, FontChoiceTakesTheChosenFontAndCancelKeepsTheOld) {
    Open();
    TextFont chosen;
    chosen.Name = "Courier New";
    chosen.Height = 20;  // a cell height
    chosen.Color = Preset_Silver;
    chooser.answers.push_back(chosen);
    QTest::mouseClick(form.ToolButtonFont, Qt::LeftButton);
    ASSERT_EQ(chooser.requests.size(), 1u);
    EXPECT_EQ(chooser.requests[0].Name, "MS Sans Serif");
    EXPECT_EQ(form.EditText_Font(), chosen);
    EXPECT_EQ(form.Chosen_Font(), chosen);
    EXPECT_EQ(form.LabelFontHeight->text(), "Size: 20 = 20 pixels");
    EXPECT_EQ(form.LabelFontName->text(), "Name: Courier New");

    QTest::mouseClick(form.ToolButtonFont, Qt::LeftButton);  // empty queue: cancelled
    EXPECT_EQ(chooser.requests.size(), 2u);
    EXPECT_EQ(chooser.requests[1], chosen);
    EXPECT_EQ(form.EditText_Font(), chosen);
    EXPECT_EQ(form.LabelFontHeight->text(), "Size: 20 = 20 pixels");
}

TEST_F(TextDialogTest, SizeButtonReportsTheFontSetByACaller) {
    Open();
    TextFont stamp = form.EditText_Font();
    stamp.Name = "Courier New";
    stamp.Set_Size(-12);  // 12 "negative points" make a 16-pixel cell
    form.Set_EditText_Font(stamp);
    QTest::mouseClick(form.btnSize, Qt::LeftButton);
    EXPECT_EQ(form.LabelFontHeight->text(), "Size: 16 = 16 pixels");
    EXPECT_EQ(form.LabelFontName->text(), "Name: Courier New");
}

TEST_F(TextDialogTest, WideningTheDialogWidensTheEdit) {
    Open();
    const int edit_width = form.EditText->width();
    form.resize(form.width() + 100, form.height());
    QApplication::processEvents();
    EXPECT_EQ(form.EditText->width(), edit_width + 100);
}

TEST_F(TextDialogTest, ModalRunEndsWithOkOrCancel) {
    QTimer::singleShot(0, form.btnOk, [this] {
        form.EditText->setText("abc");
        QTest::mouseClick(form.btnOk, Qt::LeftButton);
    });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(form.Text(), "abc");

    QTimer::singleShot(0, form.btnCancel,
                       [this] { QTest::mouseClick(form.btnCancel, Qt::LeftButton); });
    EXPECT_EQ(form.exec(), QDialog::Rejected);
}

// The layout's Windows faces are drawn with an installed face that has a bold style, at the
// layout's weight and height; the platform font dialog opens on it and its OK keeps both.
TEST_F(TextDialogTest, LayoutFontOpensTheFontDialogOnAnInstalledBoldFace) {
    Open();
    const QFont shown = To_QFont(form.FontDialog1.Font);
    EXPECT_TRUE(QFontDatabase::hasFamily(shown.family())) << shown.family().toStdString();
    const QStringList styles = QFontDatabase::styles(shown.family());
    EXPECT_TRUE(std::any_of(styles.begin(), styles.end(), [&](const QString& style) {
        return QFontDatabase::bold(shown.family(), style);
    }));
    EXPECT_EQ(QFontInfo(form.EditText->font()).family(), shown.family());
    EXPECT_TRUE(QFontInfo(form.EditText->font()).bold());
    EXPECT_EQ(QFontInfo(form.EditText->font()).pixelSize(), 24);

    QFontDialog dialog;
    dialog.setCurrentFont(shown);
    const TextFont accepted = From_QFont(dialog.currentFont(), form.FontDialog1.Font.Color);
    EXPECT_TRUE(accepted.Bold);
    EXPECT_EQ(accepted.Height, -24);
    EXPECT_EQ(accepted.Name, shown.family().toStdString());
    // The labels keep the face's name as the layout writes it.
    EXPECT_EQ(form.LabelFontName->text(), "Name: MS Sans Serif");
}

TEST(TextFontTest, WindowsFacesResolveOnceToAnInstalledFace) {
    TextFont courier;
    courier.Name = "Courier New";
    const QString face = To_QFont(courier).family();
    EXPECT_TRUE(QFontDatabase::hasFamily(face)) << face.toStdString();
    EXPECT_TRUE(QFontInfo(To_QFont(courier)).fixedPitch());
    EXPECT_EQ(To_QFont(courier).family(), face);
    // An installed face is used as it is.
    TextFont dejavu;
    dejavu.Name = "DejaVu Sans";
    EXPECT_EQ(To_QFont(dejavu).family(), "DejaVu Sans");
}

TEST(TextFontTest, SizesAndQtConversion) {
    TextFont f;
    f.Height = -24;
    EXPECT_EQ(f.Size(), 18);
    f.Set_Size(-12);
    EXPECT_EQ(f.Height, 16);
    f.Set_Size(10);
    EXPECT_EQ(f.Height, -13);

    QFont q("DejaVu Sans");
    q.setPointSize(12);
    q.setBold(true);
    const TextFont back = From_QFont(q, 0x123456);
    EXPECT_EQ(back.Height, -16);
    EXPECT_TRUE(back.Bold);
    EXPECT_EQ(back.Color, 0x123456u);
    EXPECT_EQ(To_QFont(back).pixelSize(), 16);

    const QColor c = To_QColor(0x00FF8040);  // 0x00BBGGRR
    EXPECT_EQ(c.red(), 0x40);
    EXPECT_EQ(c.green(), 0x80);
    EXPECT_EQ(c.blue(), 0xFF);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
