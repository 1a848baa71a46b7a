#include "cli/doctor_command.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "chip/board_session.h"
#include "cli/exit_status.h"
#include "shell/message_text.h"
#include "vanlpt/vanlpt.h"

namespace {

// HOFFSET of channel 0: written with a test value and then given back its own value.
constexpr std::uint8_t Round_Trip_Register = 7;
constexpr std::uint8_t Round_Trip_Flip = 0x5A;

void Show_Mapping(const std::string& port_option) {
    std::puts("ports:");
    for (int n = 1; n <= 3; ++n) std::printf("  %s\n", Vanlpt_Port_Description(n));
    const char* variable = std::getenv("VANLPT_PORTS");
    std::string why = variable ? std::string("VANLPT_PORTS=") + variable
                               : "the default (VANLPT_PORTS is not set)";
    if (!port_option.empty()) why = "--port " + port_option + " for LPT1, else " + why;
    std::printf("  mapping: %s\n", why.c_str());
}

// The register round trip; the reason when the board does not hold what was written.
std::optional<std::string> Round_Trip() {
    std::uint8_t original = 0, back = 0;
    if (auto failed = Board_Read(Round_Trip_Register, &original)) return failed;
    const auto probe = static_cast<std::uint8_t>(original ^ Round_Trip_Flip);
    if (auto failed = Board_Write(Round_Trip_Register, probe)) return failed;
    if (auto failed = Board_Read(Round_Trip_Register, &back)) return failed;
    if (auto failed = Board_Write(Round_Trip_Register, original)) return failed;
    if (back == probe) return std::nullopt;
    return "wrote " + std::to_string(probe) + " to register 7 and read back " +
           std::to_string(back) + ": a data line is stuck or the port cannot float its data lines";
}

}  // namespace

int Run_Doctor(const std::string& port_option) {
    if (auto failed = Map_Board()) {
        std::printf("problem: %s\n", Printable_Message(failed->message).c_str());
        return failed->bad_input ? Exit_Bad_Usage : Exit_Board_Failed;
    }
    Show_Mapping(port_option);
    int problems = 0;
    std::puts("real ports:");
    std::fputs(Vanlpt_Doctor_Report(&problems), stdout);
    std::puts("board on LPT1:");
    if (auto failed = Open_Board()) {
        std::printf(
            "  problem: %s\n  fix: connect and power the board, or see the problems "
            "above\n",
            Printable_Message(failed->message).c_str());
        return Exit_Board_Failed;
    }
    std::puts("  the loopback answers (pin 10 follows pin 9)");
    if (auto failed = Round_Trip()) {
        std::printf("  problem: %s\n", failed->c_str());
        return Exit_Board_Failed;
    }
    std::puts("  a register write and read round-trip");
    std::printf("the board answers on %s\n", Vanlpt_Port_Description(1));
    return Exit_Ok;
}
