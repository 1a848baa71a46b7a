// Loopback hunt and port selection.
#include "port/loopback_hunt.h"

#include <string>

#include "port/pin_map.h"
#include "port/port_ops.h"
#include "port/port_state.h"
#include "shell/platform.h"
#include "vanlpt/vanlpt.h"

namespace {

void Settle() {
    if (Port_State.Loopback_Settle_ms != 0) {
        Delay_ms(static_cast<unsigned>(Port_State.Loopback_Settle_ms));
    }
}

bool Is_Data_Pin(int pin) {
    return pin >= 2 && pin <= 9;
}

}  // namespace

int Select_LPT_Port(int n) {
    if (n < 1 || n > 3) {
        Port_State.Selected_Port = 0;
        return 0;
    }
    Port_State.Selected_Port = n;
    const int r = Select_LPT_123(n);
    if (r == 0) {
        Port_State.Selected_Port = 0;
        return r;
    }
    Set_ECP_Byte_Mode_Registers();
    return r;
}

void Report_Port_Problems() {
    const std::string problems = Vanlpt_Check_Ports();
    if (!problems.empty()) Show_Message(Application_Title, problems, MsgIcon::Warning);
}

bool Test_Loopback(int outPin, int inPin) {
    if (Port_State.Selected_Port == 0) return false;
    // A floating data pin cannot drive the loopback; testing it would only read noise.
    if (Data_Pins_Float(Get_Control(), Get_Data_Enable_Mask()) && Is_Data_Pin(outPin)) {
        return false;
    }
    Port_State.Loopback_Out_Pin = outPin;
    Port_State.Loopback_In_Pin = inPin;
    const int level = DirectReadPrinterPin(outPin) ? 1 : 0;
    DirectWritePrinterPin(outPin, 1 - level);
    Settle();
    const int first = DirectReadPrinterPin(inPin);
    DirectWritePrinterPin(outPin, level);
    Settle();
    const int second = DirectReadPrinterPin(inPin);
    return first == 1 - level && second == level;
}

bool HuntForLoopback(int outPin, int inPin) {
    Port_State.Hunt_Called = true;
    if (Select_LPT_Port(1) == 0) return false;
    Set_Data(0);
    Set_Control(4);  // pins 1, 14, 16 and 17 high: chip deselected, crosspoint disabled
    if (Test_Loopback(outPin, inPin)) return true;
    if (Current_Os_Family() != OsFamily::Non_NT) return false;
    if (Select_LPT_Port(2) == 0) return false;
    if (Test_Loopback(outPin, inPin)) return true;
    if (Select_LPT_Port(3) == 0) return false;
    return Test_Loopback(outPin, inPin);
}

HuntOutcome Hunt_Until_Found(int outPin, int inPin, const MessageBoxRequest& on_failure) {
    while (!HuntForLoopback(outPin, inPin)) {
        switch (Current_Dialogs().Message_Box(on_failure)) {
            case MsgResult::Retry:
                continue;
            case MsgResult::Abort:
                return HuntOutcome::Aborted;
            default:
                return HuntOutcome::Ignored;
        }
    }
    return HuntOutcome::Found;
}

MessageBoxRequest Interactive_Hunt_Failure_Box() {
    return {Application_Title, "cannot find parallel port loopback connection", MsgIcon::Warning,
            MsgButtons::AbortRetryIgnore, MsgResult::Abort};
}

HuntOutcome Interactive_Hunt() {
    return Hunt_Until_Found(Port_State.Loopback_Out_Pin, Port_State.Loopback_In_Pin,
                            Interactive_Hunt_Failure_Box());
}
