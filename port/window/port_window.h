// TLptConForm (module Lptconfm): the parallel port diagnostic window. It shows which port is
// in use and how it was found, the level of every pin with the means to drive the outputs by
// hand, the bit-banged serial master and the port activity log. It works on Port_State and
// the port layer's operations only.
#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "port/activity_log.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTimer;

class TLptConForm : public QWidget, public ActivityLogView {
    Q_OBJECT

public:
    explicit TLptConForm(QWidget* parent = nullptr);
    ~TLptConForm() override;

    // Controls, by their names in the form. An up-down and its edit box are one spin box.
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheetPort = nullptr;
    QWidget* TabSheetPins = nullptr;
    QWidget* TabSheetSPI = nullptr;
    QWidget* TabSheetLog = nullptr;
    QTimer* Timer1 = nullptr;

    // "Port" page
    QGroupBox* GroupBoxBaseAddr = nullptr;
    QRadioButton* LPT1radiobutton = nullptr;
    QRadioButton* LPT2radiobutton = nullptr;
    QRadioButton* LPT3radiobutton = nullptr;
    QGroupBox* GroupBoxLoopback = nullptr;
    QComboBox* cbxLoopbackOut = nullptr;
    QComboBox* cbxLoopbackIn = nullptr;
    QPushButton* btnLoopback = nullptr;
    QGroupBox* GroupBoxDriver = nullptr;
    QPlainTextEdit* MemoDriver = nullptr;
    QLabel* LabelFormVersion = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QCheckBox* cbBiCtrl80 = nullptr;
    QCheckBox* cbBiCtrl40 = nullptr;
    QCheckBox* cbBiCtrl20 = nullptr;
    QCheckBox* cbECPByteMode = nullptr;
    QCheckBox* cbECR00A = nullptr;
    QCheckBox* cbECR402 = nullptr;

    // "Pins" page: CheckBox(n) is the box of connector pin n, 1..25.
    QCheckBox* CheckBox(int pin) const;
    QCheckBox* cbDisablePins2to9 = nullptr;

    // "Bit-Banging Serial Interface" page
    QComboBox* cbxSPIclock = nullptr;
    QComboBox* cbxSPIcs = nullptr;
    QComboBox* cbxSPImosi = nullptr;
    QComboBox* cbxSPImiso = nullptr;
    QCheckBox* cbCPOL = nullptr;
    QCheckBox* cbCPHA = nullptr;
    QCheckBox* cbCSactiveHigh = nullptr;
    QCheckBox* cbInvertMOSI = nullptr;
    QCheckBox* cbInvertMISO = nullptr;
    QComboBox* cbxSCKkhz = nullptr;
    QSpinBox* UpDownNumBits = nullptr;  // with its edit EditNumBits
    QCheckBox* cbMSBfirst = nullptr;
    QLineEdit* DataWriteEdit = nullptr;
    QPushButton* btnSPISendNow = nullptr;
    QSpinBox* UpDownSPIrepeat = nullptr;  // with its edit EditSPIrepeat
    QLineEdit* EditHexDataIn = nullptr;

    // "Logging" page
    QComboBox* cbxLog = nullptr;
    QLabel* LabelLogFileName = nullptr;
    QPlainTextEdit* MemoHistoryTitle = nullptr;
    QPlainTextEdit* MemoHistory = nullptr;

    // Gives the pin check boxes 1..17 the pin labels of the port layer's pin map (the main
    // window does this when it is first shown), or one caption at a time.
    void Label_Pin_Check_Boxes();
    void Set_Pin_Caption(int pin, const std::string& caption);

    // Event handlers, public so that the main window and tests can run them as the toolkit
    // would. FormShow runs on every showing, Timer1Timer on the timer and on activation.
    void FormShow();
    void Timer1Timer();
    void btnLoopbackClick();
    void btnSPISendNowClick();
    void cbxLogChange();

    // ActivityLogView: the history memo, the pin captions and the level text.
    int Memo_Line_Count() const override;
    void Memo_Delete_First_Lines(int count) override;
    void Memo_Add_Line(const std::string& line) override;
    std::string Pin_Caption(int pin) const override;
    std::string Level_Text() const override;
    void Log_Switched_Off(const std::string& label) override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Layout, one page each (port_window_layout.cpp).
    void Build_Port_Page();
    void Build_Pins_Page();
    void Build_SPI_Page();
    void Build_Log_Page();

    // Wiring of the user actions to the port layer (port_window_actions.cpp).
    void Connect_Port_Page();
    void Connect_Pins_Page();
    void Connect_SPI_Page();
    void Connect_Log_Page();

    // Refresh by page.
    void Refresh_Pins();
    void Refresh_SPI();
    void Refresh_Port();
    void Show_Selected_Port();
    void Show_SPI_Flags();

    std::array<QCheckBox*, 26> pin_boxes_{};  // index = pin; 0 unused
};

// The one instance, created hidden at start-up by the application and set here by its creator.
extern TLptConForm* LptConForm;
