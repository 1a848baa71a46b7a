// Port operations of module Lptconfm.
#include "port/port_ops.h"

#include "port/activity_log.h"
#include "port/port_state.h"
#include "shell/clock.h"
#include "shell/dialogs.h"
#include "shell/text_format.h"
#include "vanlpt/vanlpt.h"

namespace {

// Operations that run before the hunt act on whatever port the library picked by itself;
// the developer is told once, and the operation goes on.
void Developer_Check() {
    if (Port_State.Hunt_Called) return;
    Port_State.Hunt_Called = true;
    Show_Message(Application_Title, Developer_Warning_Text, MsgIcon::Stop);
}

void Log_Low_Write(const char* operation, unsigned char v) {
    if ((Port_State.Log_Mask & Log_Low) == 0) return;
    Log_Port_Activity(Format_Text("%s(%d=0x%2.2X)", operation, v, v));
}

}  // namespace

void Delay_ms(unsigned ms) {
    const std::uint32_t start = Clock_Milliseconds();
    if (ms == 0) return;
    while (static_cast<std::uint32_t>(Clock_Milliseconds() - start) < ms) {
    }
}

void Set_ECP_Byte_Mode_Registers() {
    if (!Port_State.ECP_Byte_Mode) return;
    if (Port_State.Selected_Port != 1 && Port_State.Selected_Port != 2) return;
    if (Port_State.ECR_At_0A) Set_Register(0x0A, 0x30);
    if (Port_State.ECR_At_402) Set_Register(0x402, 0x30);
}

extern "C" {

bool Can_Disable_LPT_Data_Output() {
    Port_State.ECP_Byte_Mode = true;
    Port_State.Loopback_Settle_ms = 500;
    Set_ECP_Byte_Mode_Registers();
    return true;
}

void Disable_LPT_Data_Output() {
    Set_Data_Enable(0);
}

void Enable_LPT_Data_Output() {
    Set_Data_Enable(1);
}

unsigned char DirectReadPrinterData() {
    Developer_Check();
    if (Port_State.Selected_Port == 0) return 0;
    return Get_Data();
}

void DirectWritePrinterData(unsigned char v) {
    Developer_Check();
    Set_Data_Enable(1);
    Set_Data(v);
    Log_Low_Write("DirectWritePrinterData", v);
}

void DirectWritePrinterControl(unsigned char v) {
    Developer_Check();
    Set_Control(v);
    Log_Low_Write("DirectWritePrinterControl", v);
}

}  // extern "C"
