// The port layer's one process-wide record.
#include "port/port_state.h"

TPort_State Port_State;

void Set_Board_Wiring_Defaults() {
    Port_State.Loopback_Out_Pin = Board_Loopback_Out_Pin;
    Port_State.Loopback_In_Pin = Board_Loopback_In_Pin;
    Port_State.SPI_Clock_Pin = 4;
    Port_State.SPI_MOSI_Pin = 5;
    Port_State.SPI_MISO_Pin = 13;
    Port_State.SPI_CS_Pin = 17;
    Port_State.SPI_CS_Active_High = false;
    Port_State.SPI_CPOL = 1;
    Port_State.SPI_CPHA = 0;
    Port_State.SPI_Clock_kHz = 0.5f;
}
