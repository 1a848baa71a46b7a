// What the two kinds of drawing window (the multi-channel main window and the channel
// windows) have in common: the drawing state with its shared field names, the picture and its
// pane, the register pane with the quad rows, the view and luminance tool bars, and the tool
// and level selection.
#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <vector>

#include "chip/canvas.h"
#include "ui/drawing/tool_number.h"
#include "ui/widgets/tool_buttons.h"

class PictureView;
class PictureZoom;
class QpLevelPicker;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QSplitter;
class QToolBar;
class QToolButton;
class QWidget;

// The picture file dialogs' filter and the save dialog's default extension.
inline constexpr const char* Picture_Dialog_Filter =
    "All (*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.ico;*.emf;*.wmf|Bitmaps (*.bmp)|*.bmp|Icons "
    "(*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf";
inline constexpr const char* Picture_Save_Extension = "BMP";

class TDrawingForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TDrawingForm(QWidget* parent = nullptr);
    ~TDrawingForm() override;

    // Drawing state (names shared by both windows).
    int RegisterBase = 0;
    bool Dragging = false;
    std::uint8_t Tool = Tool_Crosshair;
    int Level = 0;
    int PressX = 0;
    int PressY = 0;
    Qt::MouseButton PressButton = Qt::LeftButton;
    Qt::KeyboardModifiers PressShift;

    // The window's mirror of display memory and the widget that shows it.
    Canvas Picture;
    PictureView* Image1 = nullptr;
    // Its zoom: the steps, Fit, the quad grid, their keys and the zoom list on ToolBarLuma.
    PictureZoom* Zoom = nullptr;

    // Panes: register pane (left, hidden at start), splitter, picture pane.
    QScrollArea* ScrollBoxRegs = nullptr;
    QWidget* PanelRegs = nullptr;
    QSplitter* Splitter1 = nullptr;
    QScrollArea* ScrollBoxImage = nullptr;

    // Quad rows of the register panel, the same in both windows.
    QPushButton* btnGetQP = nullptr;
    QpLevelPicker* ListBoxQP3 = nullptr;  // pixel 0, high nibble of QPH
    QpLevelPicker* ListBoxQP2 = nullptr;  // pixel 1, low nibble of QPH
    QpLevelPicker* ListBoxQP1 = nullptr;  // pixel 2, high nibble of QPL
    QpLevelPicker* ListBoxQP0 = nullptr;  // pixel 3, low nibble of QPL
    QPushButton* btnSetQP = nullptr;
    QPushButton* btnGetQPHORIZ = nullptr;
    QSpinBox* UpDownQPHORIZ = nullptr;  // with its edit box EditQPHORIZ
    QPushButton* btnSetQPHORIZ = nullptr;
    QPushButton* btnGetQPLINE = nullptr;
    QSpinBox* UpDownQPLINE = nullptr;  // with its edit box EditQPLINE
    QPushButton* btnSetQPLINE = nullptr;

    // Tool bars both windows have.
    QToolBar* ToolBarView = nullptr;
    QToolBar* ToolBarDrawing = nullptr;
    QToolBar* ToolBarLuma = nullptr;
    std::array<QToolButton*, 8> ToolButtonView{};  // ToolButtonView0 .. ToolButtonView7
    QToolButton* ToolButtonViewCrosspoint = nullptr;
    QToolButton* ToolButtonViewMwrite = nullptr;
    QToolButton* ToolButtonParallelPort = nullptr;
    QToolButton* ToolButtonAdvancedFeatures = nullptr;
    // The drawing tools both windows have (the channel window adds its own after them).
    QToolButton* ToolButtonCrosshair = nullptr;
    QToolButton* ToolButtonFreehandDrawing = nullptr;
    QToolButton* ToolButtonQuadPixel = nullptr;
    QToolButton* ToolButtonOpenRect = nullptr;
    QToolButton* ToolButtonSolidRect = nullptr;
    QToolButton* ToolButtonLumaHoriz = nullptr;
    QToolButton* ToolButtonLumaVert = nullptr;
    QToolButton* ToolButtonText = nullptr;
    QToolButton* ToolButtonLoad = nullptr;
    std::array<QToolButton*, 16> ToolButtonFILL{};  // index = level: FILL00 .. FILL15

    // Tool := t; each tool button is shown pressed exactly when its number is t.
    void SelectTool(int t);
    // Level := l; its luminance button pressed; all four pickers select and show l.
    void SelectLevel(int l);

    // The four pickers in pixel order 0..3 (QP3, QP2, QP1, QP0).
    std::array<QpLevelPicker*, 4> Quad_Pickers() const {
        return {ListBoxQP3, ListBoxQP2, ListBoxQP1, ListBoxQP0};
    }

    // Quad rows of the register panel: their actions, the same in both windows
    // (ui/quad_rows.cpp). Addresses are RegisterBase OR a channel-bank offset.
    std::uint8_t Register_Address(std::uint8_t offset) const;
    void btnGetQPClick();
    void btnSetQPClick();
    void btnGetQPHORIZClick();
    void btnSetQPHORIZClick();
    void btnGetQPLINEClick();
    void btnSetQPLINEClick();
    // What a change of a position field does (typed, or set from code): the windows differ.
    virtual void EditQPHORIZChange() = 0;
    virtual void EditQPLINEChange() = 0;
    // Before a drawing step: each picker, QP0 to QP3, selects the row it shows.
    void Select_Shown_Rows();
    // The pickers' selected levels in pixel order 0..3 (QP3, QP2, QP1, QP0).
    std::array<int, 4> Selected_Levels() const;
    // The fields follow the chip's auto-increment after a quad command: one column right,
    // one line down; they stop at column 177 and line 511.
    void Follow_Auto_Increment(bool hinc, bool vinc);
    // Wires the quad rows' buttons and fields to their actions.
    void Connect_Quad_Rows();

    // While a Get shows what the chip holds, the change actions of the controls it sets send
    // nothing: a read never writes, and the fields it has not reached yet are not sent either.
    bool Showing_Chip_Values() const { return chip_reads_ > 0; }
    class ChipRead {
    public:
        explicit ChipRead(TDrawingForm& form) : form_(form) { ++form_.chip_reads_; }
        ~ChipRead() { --form_.chip_reads_; }
        ChipRead(const ChipRead&) = delete;
        ChipRead& operator=(const ChipRead&) = delete;

    private:
        TDrawingForm& form_;
    };

protected:
    // A new cool-bar band; new_row starts a row of bands below the earlier ones.
    QToolBar* Add_Band(const QString& name, const QString& hint, bool new_row);
    // A tool button that selects tool number `tool` when clicked.
    QToolButton* Add_Drawing_Tool(const QString& name, const QString& hint, const QIcon& icon,
                                  int tool);
    void Build_View_Tool_Bar();
    void Build_Luma_Tool_Bar();
    // The register pane (ScrollBoxRegs with PanelRegs) and the picture pane side by side.
    QWidget* Build_Panes(int regs_width, const QSize& panel_size);
    void Build_Quad_Rows(int qp_top, int horiz_top, int line_top);
    // Keys for the tools, the levels and the channels (drawing_keys.h); channel key n clicks
    // channel_buttons[n].
    void Add_Drawing_Keys(const std::array<QToolButton*, 8>& channel_buttons);
    // Fills the whole picture with Transparent_Color.
    void Clear_Picture();

private:
    std::vector<std::pair<QToolButton*, int>> tool_buttons_;
    int chip_reads_ = 0;
};
