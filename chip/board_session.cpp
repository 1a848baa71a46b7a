#include "chip/board_session.h"

#include "chip/register_bus.h"
#include "port/loopback_hunt.h"
#include "port/port_state.h"
#include "shell/message_text.h"
#include "vanlpt/vanlpt.h"

namespace {

std::string chosen_target;
unsigned chosen_wait_ms = 0;
bool chosen_hold = false;
std::optional<std::optional<BoardFailure>> mapped;  // the outcome of the one mapping

// The library names the port in most of its reasons; the message names it once.
std::string About_LPT1(const std::string& reason) {
    if (reason.rfind("LPT1: ", 0) == 0) return reason;
    return "LPT1: " + reason;
}

std::string Cannot_Open_LPT1(const std::string& reason) {
    if (reason.rfind("LPT1 ", 0) == 0) return reason;  // "LPT1 has no port behind it ..."
    return "cannot open " + About_LPT1(reason);
}

std::optional<BoardFailure> Map_Chosen_Target() {
    if (const std::string problem = Vanlpt_Mapping_Problem(); !problem.empty())
        return BoardFailure{problem + "; nothing was sent", true, true,
                            "correct VANLPT_PORTS (entries n=target, e.g. 1=/dev/parport0)"};
    if (!chosen_target.empty() && !Vanlpt_Map_Port(1, chosen_target.c_str()))
        return BoardFailure{Quoted_Token(chosen_target) +
                                " is not a port target (sim, sim:FILE, sim:FILE?wait=SECONDS, "
                                "unplugged, none, /dev/parportN, io:0x378, unix:PATH, "
                                "tcp:HOST:PORT or server)",
                            true, false, "choose one of those targets"};
    if (Vanlpt_Port_Input_Error(1))
        return BoardFailure{About_LPT1(Vanlpt_Last_Error()) + "; nothing was sent", true, false,
                            "repair the board file or move it away (a new one starts powered up)"};
    return std::nullopt;
}

// Pin 10 follows pin 9 through the board. A port's own signals can move pin 10 as well (an
// empty emulated port flips its ACK line as its status is read), so pin 9 runs through a
// pattern with repeated levels, and the data register must show each level written: the data
// latch witnesses that pin 9 was driven and not left floating.
bool Board_Loopback_Answers() {
    constexpr int pattern[] = {1, 1, 0, 0, 1, 0, 1, 1, 0, 0};
    const int start = DirectReadPrinterPin(Board_Loopback_Out_Pin);
    bool follows = true;
    for (int level : pattern) {
        DirectWritePrinterPin(Board_Loopback_Out_Pin, level);
        const bool driven = DirectReadPrinterPin(Board_Loopback_Out_Pin) == level;
        follows = follows && driven && DirectReadPrinterPin(Board_Loopback_In_Pin) == level;
    }
    DirectWritePrinterPin(Board_Loopback_Out_Pin, start);
    return follows;
}

BoardFailure Select_Failure() {
    const std::string port = Vanlpt_Port_Description(1);
    std::string fix = "mend " + port.substr(port.find(' ') + 1) +
                      " as its problem under real ports above says, or choose another port "
                      "with --port";
    if (port.find("simulated") != std::string::npos)
        fix =
            "let the program that has the board file open finish, or wait for it with "
            "--wait SECONDS";
    return BoardFailure{Cannot_Open_LPT1(Vanlpt_Last_Error()), false, false, fix};
}

}  // namespace

void Choose_Board(const std::string& target, unsigned wait_ms) {
    chosen_target = target;
    chosen_wait_ms = wait_ms;
    mapped.reset();
}

void Hold_Chosen_Board(bool hold) {
    chosen_hold = hold;
}

std::optional<std::string> Close_Board() {
    std::optional<std::string> lost;
    if (Vanlpt_Shutdown() == 0) lost = Vanlpt_Last_Error();
    Vanlpt_Map_Port(1, "none");
    mapped.reset();
    return lost;
}

std::optional<BoardFailure> Map_Board() {
    if (!mapped) {
        Vanlpt_Set_Lock_Wait(chosen_wait_ms);
        mapped = Map_Chosen_Target();
    }
    return *mapped;
}

std::optional<BoardFailure> Open_Board() {
    if (auto failed = Map_Board()) return failed;
    Set_Board_Wiring_Defaults();
    Port_State.ECP_Byte_Mode = true;  // as the start-up sets it: reads see the chip
    if (Select_LPT_Port(1) == 0) return Select_Failure();
    if (chosen_hold && !Vanlpt_Hold_Board()) return Select_Failure();
    Init_DUT_Bus();
    Cache_Enabled = 0;  // every requested access reaches the chip
    // Without a board on the cable RDY floats high and every transaction would "succeed":
    // the loopback wire tells a board from an empty cable without touching a register.
    if (!Board_Loopback_Answers())
        return BoardFailure{std::string("no board answers on ") + Vanlpt_Port_Description(1) +
                                ": pin 10 does not follow pin 9 through the board's loopback; "
                                "is the board connected and powered?",
                            false, false,
                            "connect and power the board; the cable must reach its loopback "
                            "(pin 9 to pin 10)"};
    return std::nullopt;
}

std::optional<std::string> Bus_Failure_Since(std::int32_t failures_before) {
    if (num_busy_timeout_errors == failures_before) return std::nullopt;
    std::string reason = Vanlpt_Last_Error();
    if (reason.empty()) reason = "the register transaction failed";
    return reason;
}

std::optional<std::string> Board_Write(std::uint8_t address, std::uint8_t data) {
    const std::int32_t before = num_busy_timeout_errors;
    Write_Register(address, data);
    return Bus_Failure_Since(before);
}

std::optional<std::string> Board_Read(std::uint8_t address, std::uint8_t* value) {
    const std::int32_t before = num_busy_timeout_errors;
    *value = Read_Register(address);
    return Bus_Failure_Since(before);
}
