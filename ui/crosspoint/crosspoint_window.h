// TXelorForm (module Unit1): the crosspoint switch window. One input list and one gain list
// per output hold the routing (there is no other copy); a user's change to a list sends that
// output at once, the bulk actions set many lists and send one full initialization. Expert
// mode reveals outputs 04..15 and the address pins. Creating the window resets the switch and
// sends its default routing.
#pragma once

#include <QMainWindow>
#include <QSize>
#include <array>

#include "port/xelor_commands.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QToolBar;
class QToolButton;
class QWidget;

class TXelorForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TXelorForm(QWidget* parent = nullptr);

    // Routing lists: ComboOut00..ComboOut15 ("Disabled", "Input 00".."Input 31") and
    // ComboAv200..ComboAv215 ("1 V/V", "2 V/V").
    std::array<QComboBox*, Xelor_Outputs> ComboOut{};
    std::array<QComboBox*, Xelor_Outputs> ComboAv2{};
    // "Ouput 00".."Ouput 15": LabelOut00..03, Label1..4, LabelOut08, Label8..14.
    std::array<QLabel*, Xelor_Outputs> OutputLabels{};

    QWidget* PanelOut0003 = nullptr;
    QWidget* PanelOut0407 = nullptr;
    QWidget* PanelOut0815 = nullptr;
    QWidget* PanelAddressPins = nullptr;
    QCheckBox* cbA0 = nullptr;
    QCheckBox* cbA1 = nullptr;
    QCheckBox* cbA2 = nullptr;
    QCheckBox* cbA3 = nullptr;
    QPushButton* btnSend112bits = nullptr;
    QLabel* labelSentOrPending = nullptr;
    QLabel* labelPendingUpdate = nullptr;
    QLabel* Label6 = nullptr;

    QMenu* menuSetup = nullptr;
    QAction* menuSetupDisabled = nullptr;
    QAction* menuSetup0015 = nullptr;
    QAction* menuSetup1631 = nullptr;
    QAction* menuSetup00 = nullptr;
    QAction* menuSetup1VV = nullptr;
    QAction* menuSetup2VV = nullptr;
    QMenu* menuUpdates = nullptr;
    QAction* menucbShowUpdates = nullptr;

    QToolBar* ToolBarSetup = nullptr;
    QToolButton* ToolButtonDisable = nullptr;
    QToolButton* ToolButtonInxOutx = nullptr;
    QToolButton* ToolButton1vv = nullptr;
    QToolButton* ToolButton2vv = nullptr;
    QToolButton* ToolButtonAdvancedFeatures = nullptr;

    QToolBar* ToolBarView = nullptr;
    std::array<QToolButton*, 8> ToolButtonView{};
    QToolButton* ToolButtonViewCrosspoint = nullptr;
    QToolButton* ToolButtonViewMwrite = nullptr;
    QToolButton* ToolButtonViewMonitor = nullptr;  // the simulated board's video outputs
    QToolButton* ToolButtonParallelPort = nullptr;

    // The crosspoint commands with this window's labels, alert option and address pins.
    void SendUpdate(int o, bool enabled, int i, int g);
    void DoSendUpdate(int o, bool enabled, int i, int g);
    void Send112Bits();

    // Output n as its two lists say: enabled when an input is selected, gain index + 1.
    XelorOutput Output_Setting(int n) const;
    // A3..A0 from the address check boxes.
    unsigned Address_Bits() const;

    // Handlers.
    void FormCreate();
    void OutChange(int n);  // Out00Change .. Out15Change
    void menuSetupDisabledClick();
    void menuSetup0015Click();
    void menuSetup1631Click();
    void menuSetup00Click();
    void menuSetup1VVClick();
    void menuSetup2VVClick();
    void ToolButtonDisableClick() { menuSetupDisabledClick(); }
    void ToolButtonInxOutxClick() { menuSetup0015Click(); }
    void ToolButton1vvClick() { menuSetup1VVClick(); }
    void ToolButton2vvClick() { menuSetup2VVClick(); }
    void btnSend112bitsClick() { Send112Bits(); }
    void ToolButtonAdvancedFeaturesClick();

private:
    QSize start_size_;  // the window's size outside expert mode

    void Build_Menus();
    void Build_Tool_Bars();
    QWidget* Build_Outputs_Panel(const char* name, int first, int count);
    QWidget* Build_Address_Panel();
    QWidget* Build_Central();
    void Connect_Handlers();
    // Sets input list n (entry index, -1 for none) or gain list n from code: sends nothing.
    void Select_Input_Entry(int n, int entry);
    void Select_Gain_Entry(int n, int entry);
};

// The crosspoint window of the run; empty until created.
extern TXelorForm* XelorForm;
