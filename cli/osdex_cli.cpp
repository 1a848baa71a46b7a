#include "cli/osdex_cli.h"

#include <CLI/CLI.hpp>
#include <cstdint>
#include <iostream>
#include <stdexcept>
#include <string>

#include "chip/board_session.h"
#include "chip/register_batch.h"
#include "cli/command_output.h"
#include "cli/doctor_command.h"
#include "cli/exit_status.h"
#include "cli/memory_commands.h"
#include "cli/monitor_command.h"
#include "cli/register_commands.h"
#include "cli/route_command.h"
#include "cli/serve_command.h"
#include "cli/state_commands.h"
#include "shell/message_text.h"

namespace {

// A number argument: decimal or 0x hexadecimal, within 0..max.
struct NumberArgument {
    std::string text;
    unsigned value = 0;
};

// Checks every number argument of the chosen command; the message names the bad one.
bool Check_Number(const char* what, unsigned max, NumberArgument* arg) {
    if (Parse_Byte_Number(arg->text, max, &arg->value)) return true;
    Tell(std::string("bad ") + what + " " + Quoted_Token(arg->text) + ": expected 0.." +
         std::to_string(max) + ", decimal or 0x hexadecimal");
    return false;
}

struct Arguments {
    std::string port;
    std::string wait;
    bool quiet = false;
    NumberArgument address, data, channel, level, output, input, gain;
    std::string file;
    std::string source;
    bool verify = false;
    bool ignore_torn_end = false;
    bool json = false;
    bool hold = false;
    ServeOptions serve;
};

// The longest wait for a board in use that makes sense for a script: a day.
constexpr double Max_Wait_Seconds = 86400;

// --wait SECONDS: decimal, fractions allowed; false with a message for anything else.
bool Parse_Wait(const std::string& text, unsigned* milliseconds) {
    *milliseconds = 0;
    if (text.empty()) return true;
    std::size_t used = 0;
    double seconds = -1;
    const bool digits = text.find_first_not_of("0123456789.") == std::string::npos;
    try {
        if (digits) seconds = std::stod(text, &used);
    } catch (const std::exception&) {
        seconds = -1;
    }
    if (!digits || used != text.size() || seconds < 0 || seconds > Max_Wait_Seconds) {
        Tell("bad --wait " + Quoted_Token(text) + ": expected seconds, 0.." +
             std::to_string(static_cast<int>(Max_Wait_Seconds)));
        return false;
    }
    *milliseconds = static_cast<unsigned>(seconds * 1000 + 0.5);
    return true;
}

void Add_Register_Commands(CLI::App& app, Arguments& a) {
    CLI::App* write = app.add_subcommand("write", "Write one chip register (always sent)");
    write
        ->add_option("REGISTER", a.address.text,
                     "Register address 0..255, or a name: ch1.HOFFSET, ch0.STATUS.BLANK, "
                     "ch2.QPLINE, LOSALL (osdex registers dump lists them)")
        ->required();
    write
        ->add_option("VALUE", a.data.text,
                     "Value: 0..255, a field's range, or 0..511 for a 9-bit line value")
        ->required();

    CLI::App* read = app.add_subcommand("read", "Read one chip register; prints it in decimal");
    read->add_option("REGISTER", a.address.text, "Register address 0..255, or a name")->required();

    CLI::App* registers = app.add_subcommand("registers", "Every named register at once");
    registers->require_subcommand(1);
    CLI::App* dump = registers->add_subcommand(
        "dump", "Print every named register with its value and fields (NAME = VALUE lines)");
    dump->add_flag("--json", a.json, "One JSON object of every register, field and line value");
    CLI::App* load = registers->add_subcommand(
        "load", "Write a dump back (read-only and trigger registers are left out)");
    load->add_option("FILE", a.file, "A register dump")->required();

    CLI::App* replay = app.add_subcommand(
        "replay", "Run a register batch file (wrreg A D / rdreg A lines, as regtest.bat)");
    replay->add_option("FILE", a.file, "The batch file")->required();
    replay->add_flag("--verify", a.verify, "Read back every write and report mismatches");
    replay->add_flag("--ignore-torn-end", a.ignore_torn_end,
                     "When the last line was cut off (no line end, not a whole command), run "
                     "the lines before it and say so");
}

void Add_State_Commands(CLI::App& app, Arguments& a) {
    CLI::App* state = app.add_subcommand(
        "state", "The whole board in one file: registers, display memory, crosspoint routing");
    state->require_subcommand(1);
    CLI::App* save = state->add_subcommand("save", "Read the whole board into FILE");
    save->add_option("FILE", a.file, "The board state file to write")->required();
    CLI::App* restore = state->add_subcommand("restore", "Write a saved board back");
    restore->add_option("FILE", a.file, "A board state file")->required();
}

void Add_Memory_Commands(CLI::App& app, Arguments& a) {
    CLI::App* memory = app.add_subcommand("memory", "A channel's display memory as a picture");
    memory->require_subcommand(1);
    CLI::App* save = memory->add_subcommand(
        "save", "Read channel CH back and write it as a 712 x 512 PNG in the program's colours");
    save->add_option("CH", a.channel.text, "Channel, 0..7")->required();
    save->add_option("FILE", a.file, "The PNG file to write")->required();
    CLI::App* load = memory->add_subcommand("load", "Upload a picture into channel CH at (0, 0)");
    load->add_option("CH", a.channel.text, "Channel, 0..7")->required();
    load->add_option("FILE", a.file, "A picture file (BMP, PNG, ICO, ...)")->required();
    CLI::App* erase = memory->add_subcommand("erase", "Fill channels with one level");
    erase->add_option("CH", a.channel.text, "Channel 0..7, or all")->required();
    erase->add_option("LEVEL", a.level.text, "Level 0..15 (default 0, transparent)");
}

int Run_Memory(const CLI::App& memory, Arguments& a) {
    if (memory.got_subcommand("erase")) {
        if (a.level.text.empty()) a.level.text = "0";
        if (!Check_Number("level", 15, &a.level)) return Exit_Bad_Usage;
        if (a.channel.text == "all") return Run_Memory_Erase(0xFF, static_cast<int>(a.level.value));
        if (!Check_Number("channel", 7, &a.channel)) return Exit_Bad_Usage;
        return Run_Memory_Erase(static_cast<std::uint8_t>(1u << a.channel.value),
                                static_cast<int>(a.level.value));
    }
    if (!Check_Number("channel", 7, &a.channel)) return Exit_Bad_Usage;
    const int channel = static_cast<int>(a.channel.value);
    if (memory.got_subcommand("save")) return Run_Memory_Save(channel, a.file);
    return Run_Memory_Load(channel, a.file);
}

void Add_Monitor_Command(CLI::App& app, Arguments& a) {
    CLI::App* monitor = app.add_subcommand(
        "monitor",
        "Write one frame of what a monitor on channel CH of the simulated board shows, the "
        "overlay over the channel's video, as a 712 x 512 PNG");
    monitor->add_option("CH", a.channel.text, "Channel, 0..7")->required();
    monitor->add_option("FILE", a.file, "The PNG file to write")->required();
    monitor->add_option("--source", a.source,
                        "The video under the overlay: bars (default), ramp, black, or a picture "
                        "file (./bars for a file of that name)");
}

int Run_Monitor_Command(Arguments& a) {
    if (!Check_Number("channel", 7, &a.channel)) return Exit_Bad_Usage;
    return Run_Monitor(static_cast<int>(a.channel.value), a.file, a.source);
}

void Add_Route_Command(CLI::App& app, Arguments& a) {
    CLI::App* route = app.add_subcommand(
        "route", "Route crosspoint input IN to output OUT, or switch OUT off (one single update)");
    route->add_option("OUT", a.output.text, "Output, 0..15")->required();
    route->add_option("IN", a.input.text, "Input 0..31, or off")->required();
    route->add_option("--gain", a.gain.text, "Gain 1 or 2 V/V (default 1)");
}

int Run_Route_Command(Arguments& a) {
    if (!Check_Number("output", 15, &a.output)) return Exit_Bad_Usage;
    int input = -1;
    if (a.input.text != "off") {
        if (!Check_Number("input", 31, &a.input)) return Exit_Bad_Usage;
        input = static_cast<int>(a.input.value);
    }
    if (a.gain.text.empty()) a.gain.text = "1";
    if (a.gain.text != "1" && a.gain.text != "2") {
        return Failed("bad gain " + Quoted_Token(a.gain.text) + ": expected 1 or 2",
                      Exit_Bad_Usage);
    }
    return Run_Route(static_cast<int>(a.output.value), input, a.gain.text == "2" ? 2 : 1);
}

void Add_Doctor_Command(CLI::App& app) {
    app.add_subcommand("doctor",
                       "Diagnose the ports and check that the board answers; every problem "
                       "with the command that mends it");
}

void Add_Serve_Command(CLI::App& app, Arguments& a) {
    CLI::App* serve = app.add_subcommand(
        "serve",
        "Serve the board behind --port to other programs (targets unix:PATH, tcp:HOST:PORT, "
        "server) until SIGTERM or SIGINT; one client's transactions never mix with another's");
    serve->add_option("--listen", a.serve.listen,
                      "Where to listen: unix:PATH or tcp:HOST:PORT, more than once if wanted "
                      "(default: a Unix socket named after the port in $XDG_RUNTIME_DIR/osdex)");
    serve->add_flag("--allow-remote", a.serve.allow_remote,
                    "Allow a TCP address other machines can reach (there is no authentication)");
    serve->add_flag("--group", a.serve.group, "Let the socket's group use it too (mode 0660)");
    serve
        ->add_option("--idle-ms", a.serve.idle_ms,
                     "How long a quiet client keeps the board (default 30 ms)")
        ->check(CLI::Range(1u, 60000u));
}

// Each command checks its own arguments and input files before it opens the board.
int Run_Command(const CLI::App& app, Arguments& a) {
    unsigned wait_ms = 0;
    if (!Parse_Wait(a.wait, &wait_ms)) return Exit_Bad_Usage;
    Choose_Board(a.port, wait_ms);
    Hold_Chosen_Board(a.hold);
    if (app.got_subcommand("serve")) return Run_Serve(a.serve);
    if (app.got_subcommand("write")) return Run_Write(a.address.text, a.data.text);
    if (app.got_subcommand("read")) return Run_Read(a.address.text);
    if (const CLI::App* registers = app.get_subcommand("registers"); registers->parsed()) {
        if (registers->got_subcommand("dump")) return Run_Registers_Dump(a.json);
        return Run_Registers_Load(a.file, a.quiet);
    }
    if (app.got_subcommand("replay"))
        return Run_Replay(a.file, {a.verify, a.quiet, a.ignore_torn_end});
    if (app.got_subcommand("route")) return Run_Route_Command(a);
    if (app.got_subcommand("monitor")) return Run_Monitor_Command(a);
    if (app.got_subcommand("doctor")) return Run_Doctor(a.port);
    if (const CLI::App* memory = app.get_subcommand("memory"); memory->parsed())
        return Run_Memory(*memory, a);
    if (const CLI::App* state = app.get_subcommand("state"); state->parsed()) {
        if (state->got_subcommand("save")) return Run_State_Save(a.file, a.quiet);
        return Run_State_Restore(a.file, a.quiet);
    }
    return Exit_Bad_Usage;
}

}  // namespace

int Run_Osdex(int argc, char** argv) {
    CLI::App app{"osdex: drive the Osdex evaluation board from the command line", "osdex"};
    Arguments a;
    app.add_option("--port", a.port,
                   "What LPT1 is: sim, sim:FILE (a simulated board kept in FILE between runs; "
                   "sim:FILE?wait=SECONDS waits for it when another program uses it), "
                   "unplugged, none, /dev/parportN, io:0x378, or a served board: unix:PATH, "
                   "tcp:HOST:PORT, server, server:NAME (default: VANLPT_PORTS, else the "
                   "library's own mapping)");
    app.add_option("--wait", a.wait,
                   "Wait up to SECONDS for a board file (sim:FILE) that another program is "
                   "using, instead of failing at once; on a served board, wait at most SECONDS "
                   "for another client to let go (without it: as long as it takes)");
    app.add_flag("--quiet", a.quiet, "Print only results and errors, no summaries");
    app.add_flag("--hold", a.hold,
                 "On a served board: keep it for this command alone from start to end, so that "
                 "no other program's transaction comes between");
    app.set_version_flag("--version", std::string("osdex ") + OSDEX_VERSION);
    // At most one command; a missing one is told below, an unknown word is named by CLI11.
    app.require_subcommand(0, 1);
    Add_Register_Commands(app, a);
    Add_Memory_Commands(app, a);
    Add_Monitor_Command(app, a);
    Add_Route_Command(app, a);
    Add_Doctor_Command(app);
    Add_State_Commands(app, a);
    Add_Serve_Command(app, a);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e);  // the help or the version
        // The parser quotes what it did not take: bounded and printable, as every message.
        return Failed(std::string(e.what()) + "\nRun with --help for more information.",
                      Exit_Bad_Usage);
    }
    if (app.get_subcommands().empty()) {
        Tell("a command is required");
        std::cerr << app.help();
        return Exit_Bad_Usage;
    }
    return Run_Command(app, a);
}
