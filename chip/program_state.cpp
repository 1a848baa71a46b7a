// Resetting the program's process-wide state.
#include "chip/program_state.h"

#include "chip/drawing_primitives.h"
#include "chip/luma.h"
#include "chip/register_bus.h"
#include "port/activity_log.h"
#include "port/port_state.h"
#include "shell/event_pump.h"

void Reset_Program_State() {
    Close_Register_Batch_File();
    Reset_Register_Bus_State();
    Transparent_Color = Default_Transparent_Color;
    Set_Event_Interval(Default_Event_Interval_ms);
    Close_Activity_Log_File();
    Port_State = TPort_State{};
    Clear_Quit_Request();
}
