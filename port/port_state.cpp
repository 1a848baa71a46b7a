// The port layer's one process-wide record.
#include "port/port_state.h"

TPort_State Port_State;
