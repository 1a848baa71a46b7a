// A channel window's canvas tools driven by mouse drags on its picture: each writes its own
// channel's display memory and paints the same on its own picture, and nothing else.
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>
#include <functional>
#include <set>

#include "canvas_fixture.h"
#include "chip/channel_pictures.h"
#include "chip/register_map.h"

namespace {

constexpr int Channel = 3;
constexpr int Bank = 16 * Channel;

}  // namespace

class ChannelToolsTest : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        Show_Channel_Window(Channel);
        QApplication::processEvents();
    }

    TOsdexFormCH0* form() { return OsdexFormCH[Channel]; }

    // This channel's memory and picture agree; every other channel and picture is untouched.
    void Expect_Only_This_Channel() {
        EXPECT_EQ(Mismatches(form()->Picture, Channel), 0);
        for (int n = 0; n < 8; ++n) {
            if (n == Channel) continue;
            SCOPED_TRACE(n);
            EXPECT_EQ(Drawn_Quads(n), 0);
            EXPECT_EQ(Drawn_Pixels(*Channel_Picture(n)), 0);
        }
        EXPECT_EQ(Drawn_Pixels(OsdexForm->Picture), 0);
    }
};

struct ToolCase {
    const char* name;
    std::function<void(ChannelToolsTest&, TOsdexFormCH0*)> use;
};

void PrintTo(const ToolCase& tool, std::ostream* out) {
    *out << tool.name;
}

class EachChannelTool : public ChannelToolsTest, public ::testing::WithParamInterface<ToolCase> {};

// The tools as a user works them; each leaves something in display memory.
struct ToolCases {
    static std::vector<ToolCase> All() {
        return {
            {"Freehand",
             [](ChannelToolsTest& t, TOsdexFormCH0* w) {
                 w->ToolButtonFILL[9]->click();
                 w->ToolButtonFreehandDrawing->click();
                 t.Press(w, {10, 500});
                 t.Move(w, {11, 505});
                 t.Move(w, {12, 515});  // outside: line 3 if it wrapped
                 t.Move(w, {-2, 505});
                 t.Release(w, {-2, 505});
             }},
            {"QuadPixel",
             [](ChannelToolsTest& t, TOsdexFormCH0* w) {
                 t.Scroll_Pattern(w, 1, 2, 3, 4);
                 w->ToolButtonQuadPixel->click();
                 t.Press(w, {6, 40});
                 t.Move(w, {30, 41});
                 t.Release(w, {30, 41});
             }},
            {"OpenRect",
             [](ChannelToolsTest& t, TOsdexFormCH0* w) {
                 t.Scroll_Pattern(w, 5, 5, 5, 5);
                 w->ToolButtonOpenRect->click();
                 t.Drag(w, {20, 480}, {300, 560});
             }},
            {"SolidRect",
             [](ChannelToolsTest& t, TOsdexFormCH0* w) {
                 t.Scroll_Pattern(w, 1, 2, 3, 4);
                 w->ToolButtonSolidRect->click();
                 t.Drag(w, {100, 480}, {200, 530});
             }},
            {"LumaHoriz",
             [](ChannelToolsTest& t, TOsdexFormCH0* w) {
                 w->ToolButtonLumaHoriz->click();
                 t.Drag(w, {50, 510}, {400, 400});
             }},
            {"LumaVert",
             [](ChannelToolsTest& t, TOsdexFormCH0* w) {
                 w->ToolButtonLumaVert->click();
                 t.Drag(w, {600, 10}, {900, 60});
             }},
            {"Text",
             [](ChannelToolsTest& t, TOsdexFormCH0* w) {
                 CGForm->Set_Text("Osdex");
                 CGForm->Set_Border_Size(4);
                 w->ToolButtonText->click();
                 t.Answer_Text_Dialog(true);
                 t.Click(w, {684, 495});  // the box runs off the right and bottom edges
             }},
            {"Load",
             [](ChannelToolsTest& t, TOsdexFormCH0* w) {
                 t.dialogs.open_answers = {t.Write_Level_Bitmap("pic.bmp", 300, 200)};
                 w->ToolButtonLoad->click();
                 t.Click(w, {500, 400});
             }},
            {"TimeStamp",
             [](ChannelToolsTest& t, TOsdexFormCH0* w) {
                 w->ToolButtonTimeStampXY->click();
                 t.Click(w, {205, 300});  // the box's left edge starts a quad
                 w->Timer1->stop();
             }},
        };
    }
};

TEST_P(EachChannelTool, ChangesOnlyItsOwnChannelAndPicture) {
    GetParam().use(*this, form());
    EXPECT_GT(Drawn_Quads(Channel), 0);
    Expect_Only_This_Channel();
    for (int line = 0; line < 8; ++line) EXPECT_TRUE(Line_Blank(Channel, line)) << line;
}

INSTANTIATE_TEST_SUITE_P(Tools, EachChannelTool, ::testing::ValuesIn(ToolCases::All()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChannelToolsTest, ReadBackRepaintsWhatTheChipHoldsNow) {
    Scroll_Pattern(form(), 7, 7, 7, 7);
    form()->ToolButtonSolidRect->click();
    Drag(form(), {0, 0}, {711, 511});
    // Behind the window's back.
    Chip().Set_Quad(Channel, 100, 30, 0x1234);
    Chip().Set_Quad(Channel, 511, 177, 0xABCD);
    Chip().Set_Pixel(Channel, 300, 2, 0);
    ASSERT_GT(Mismatches(form()->Picture, Channel), 0);

    form()->ToolButtonReadOSD->click();
    Drag(form(), {0, 90}, {711, 600});
    Drag(form(), {2, 250}, {40, 300});  // starts in the second half of quad 0
    EXPECT_EQ(Mismatches(form()->Picture, Channel), 0);
    EXPECT_EQ(Color_To_OSD(form()->Picture.Pixel(2, 280)), 7);  // no green left behind
    Expect_Only_This_Channel();
}

TEST_F(ChannelToolsTest, SharedRangeToolSetsTheRangeOrSwitchesSharingOff) {
    form()->ToolButtonShareMem->click();
    Drag(form(), {30, 100}, {60, 200});
    EXPECT_EQ(Chip().Register(Bank | Reg::SHRBEGL), 100);
    EXPECT_EQ(Chip().Register(Bank | Reg::SHRENDL), 200);
    EXPECT_TRUE(form()->PanelSHRSRC->isVisible());
    EXPECT_EQ(form()->PanelSHRSRC->geometry().top(), 100);
    EXPECT_EQ(form()->PanelSHRSRC->height(), 100);
    EXPECT_EQ(form()->PanelSHRSRC->text(), "SHARED SOURCE: No Sharing");

    // Past the bottom the range stops at the last line.
    Drag(form(), {30, 300}, {60, 700});
    EXPECT_EQ(Chip().Register(Bank | Reg::SHRBEGH), 1);
    EXPECT_EQ(Chip().Register(Bank | Reg::SHRBEGL), 300 - 256);
    EXPECT_EQ(Chip().Register(Bank | Reg::SHRENDH), 1);
    EXPECT_EQ(Chip().Register(Bank | Reg::SHRENDL), 255);
    EXPECT_EQ(form()->UpDownSHREND->value(), 511);

    form()->ToolButtonShareMem23->click();
    ASSERT_NE(Chip().Register(Bank | Reg::SHRSRC), 0);
    Drag(form(), {30, 300}, {60, 250});
    EXPECT_EQ(Chip().Register(Bank | Reg::SHRSRC), 0);
    EXPECT_FALSE(form()->PanelSHRSRC->isVisible());
}

TEST_F(ChannelToolsTest, CaptionUsesTheChannelsVerticalOffset) {
    Chip().Set_Register(Bank | Reg::VOFFSET, 100);
    Move(form(), {5, 10});
    EXPECT_EQ(form()->windowTitle(), "Osdex Channel 3 (row 10 column 5)");
    Move(form(), {7, 28});
    EXPECT_EQ(form()->windowTitle(), "Osdex Channel 3 (row 28 column 7) (field 1 line 21)");
}

TEST_F(ChannelToolsTest, CrosshairPicksTheLevelAndFollowsWithThePosition) {
    Scroll_Pattern(form(), 1, 2, 3, 4);
    form()->ToolButtonSolidRect->click();
    Drag(form(), {40, 40}, {80, 44});
    form()->ToolButtonCrosshair->click();
    Press(form(), {50, 42});
    EXPECT_EQ(form()->Level, 3);
    EXPECT_EQ(Selected_Rows(form()), (std::vector<int>{3, 3, 3, 3}));
    Move(form(), {49, 43});
    Release(form(), {49, 43});
    EXPECT_EQ(form()->Level, 2);
    // With automatic updates the position registers follow the crosshair.
    EXPECT_EQ(Chip().Register(Bank | Reg::QPHORIZ), 12);
    EXPECT_EQ(Chip().Register(Bank | Reg::QPLINEL), 43);
}

// The chip takes sixteen levels: text reaches it in the font's colour and the box's, with no
// anti-aliased edge of stray levels in between, and the picture shows what the chip gets.
TEST_F(ChannelToolsTest, TextReachesTheChipInTheFontsAndTheBoxsLevelsOnly) {
    CGForm->FontDialog1.Font.Name = "DejaVu Sans";
    CGForm->FontDialog1.Font.Height = -40;
    CGForm->Set_Text("Osdex 8%");
    CGForm->Set_Border_Size(3);
    form()->ToolButtonText->click();
    Answer_Text_Dialog(true);
    Click(form(), {100, 100});

    std::set<unsigned> chip_levels;
    std::set<int> picture_levels;
    for (int y = 90; y < 160; ++y) {
        for (int x = 90; x < 360; ++x) {
            chip_levels.insert(Chip().Pixel(Channel, y, x));
            picture_levels.insert(Color_To_OSD(form()->Picture.Pixel(x, y)));
        }
    }
    // Around the box, the black box, and the text's one level.
    const unsigned text = Color_To_OSD(CGForm->Chosen_Font().Color);
    ASSERT_GT(text, 1u);
    EXPECT_EQ(chip_levels, (std::set<unsigned>{0, 1, text}));
    EXPECT_EQ(picture_levels, (std::set<int>{0, 1, int(text)}));
    EXPECT_EQ(Mismatches(form()->Picture, Channel), 0);
}
