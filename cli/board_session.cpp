#include "cli/board_session.h"

#include "chip/register_bus.h"
#include "port/loopback_hunt.h"
#include "port/port_state.h"
#include "vanlpt/vanlpt.h"

namespace {

// A failed transaction shows only as a count in the chip layer's statistics.
std::optional<std::string> Failure_Since(std::int32_t failures_before) {
    if (num_busy_timeout_errors == failures_before) return std::nullopt;
    std::string reason = Vanlpt_Last_Error();
    if (reason.empty()) reason = "the register transaction failed";
    return reason;
}

}  // namespace

std::optional<std::string> Map_LPT1(const std::string& target) {
    if (target.empty()) return std::nullopt;
    if (Vanlpt_Map_Port(1, target.c_str())) return std::nullopt;
    return "--port " + target +
           ": not a port target (sim, unplugged, none, /dev/parportN or io:0x378)";
}

std::optional<std::string> Open_Board() {
    Set_Board_Wiring_Defaults();
    Port_State.ECP_Byte_Mode = true;  // as the start-up sets it: reads see the chip
    if (Select_LPT_Port(1) == 0) return "cannot open LPT1: " + std::string(Vanlpt_Last_Error());
    Init_DUT_Bus();
    Cache_Enabled = 0;  // every requested access reaches the chip
    // Without a board on the cable RDY floats high and every transaction would "succeed":
    // the loopback wire tells a board from an empty cable without touching a register.
    if (!Test_Loopback(Board_Loopback_Out_Pin, Board_Loopback_In_Pin))
        return std::string("no board answers on ") + Vanlpt_Port_Description(1) +
               ": pin 10 does not follow pin 9 through the board's loopback; is the board "
               "connected and powered?";
    return std::nullopt;
}

std::optional<std::string> Board_Write(std::uint8_t address, std::uint8_t data) {
    const std::int32_t before = num_busy_timeout_errors;
    Write_Register(address, data);
    return Failure_Since(before);
}

std::optional<std::string> Board_Read(std::uint8_t address, std::uint8_t* value) {
    const std::int32_t before = num_busy_timeout_errors;
    *value = Read_Register(address);
    return Failure_Since(before);
}
