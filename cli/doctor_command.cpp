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

void Print_Problem(const BoardFailure& failure, const char* indent) {
    std::printf("%sproblem: %s\n", indent, Printable_Message(failure.message).c_str());
    if (!failure.fix.empty()) std::printf("%sfix: %s\n", indent, failure.fix.c_str());
}

// A machine without a real port is no problem when LPT1 was chosen to be simulated (by
// --port or VANLPT_PORTS); LPT1 is simulated by default only where no port was found.
int Real_Port_Wanted(const std::string& port_option) {
    const bool chosen = !port_option.empty() || std::getenv("VANLPT_PORTS") != nullptr;
    const std::string lpt1 = Vanlpt_Port_Description(1);
    const bool real =
        lpt1.find("(ppdev)") != std::string::npos || lpt1.find("direct I/O") != std::string::npos;
    return chosen && !real ? 0 : 1;
}

// Selects LPT1 and checks the loopback and a register round trip.
int Check_Board() {
    if (auto failed = Open_Board()) {
        Print_Problem(*failed, "  ");
        return Exit_Board_Failed;
    }
    std::puts("  the loopback answers (pin 10 follows pin 9)");
    if (auto failed = Round_Trip()) {
        std::printf("  problem: %s\n", failed->c_str());
        std::puts(
            "  fix: check the cable and the board's data lines; in the BIOS set-up put the "
            "port in PS/2, bidirectional or ECP mode");
        return Exit_Board_Failed;
    }
    std::puts("  a register write and read round-trip");
    std::printf("the board answers on %s\n", Vanlpt_Port_Description(1));
    return Exit_Ok;
}

}  // namespace

int Run_Doctor(const std::string& port_option) {
    if (auto failed = Map_Board()) {
        Print_Problem(*failed, "");
        return failed->bad_input ? Exit_Bad_Usage : Exit_Board_Failed;
    }
    Show_Mapping(port_option);
    int unusable = 0;
    std::puts("real ports:");
    std::fputs(Vanlpt_Doctor_Report(Real_Port_Wanted(port_option), nullptr, &unusable), stdout);
    std::puts("board on LPT1:");
    const int status = Check_Board();
    if (unusable == 0) return status;
    // The simulated board may stand in and answer, but the real port is what was wanted.
    std::printf(
        "not ready: %d real port%s on this machine or in the mapping cannot be used; "
        "see the problems above\n",
        unusable, unusable == 1 ? "" : "s");
    return Exit_Board_Failed;
}
