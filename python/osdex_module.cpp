// The extension module `osdex._osdex`: the board of `osdex` for Python scripts, over the same
// chip/ layer (board session, named registers, batch replay, channel memory, board state,
// monitor frame). One board is open per process, since the port library and the register
// bus are process-wide. Bad arguments raise ValueError before anything is sent; port and bus
// failures raise osdex.Error with the library's reason.
#include <Python.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "chip/batch_replay.h"
#include "chip/board_session.h"
#include "chip/board_state_file.h"
#include "chip/channel_memory.h"
#include "chip/monitor_frame.h"
#include "chip/named_registers.h"
#include "chip/register_bus.h"
#include "chip/register_table.h"
#include "shell/whole_file.h"
#include "vanlpt/vanlpt.h"

namespace py = pybind11;

namespace {

// A port or bus failure: osdex.Error in Python.
struct BoardError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr int Lines = 512;
constexpr int Width = 712;
constexpr double Max_Wait_Seconds = 86400;  // as `osdex --wait`

// The target of the one open board; empty when none is open.
std::string open_target;

void Fail_If(const std::optional<std::string>& failure) {
    if (failure) throw BoardError(*failure);
}

void Refuse_If(const std::optional<std::string>& problem) {
    if (problem) throw py::value_error(*problem);
}

std::string Path_Text(const std::filesystem::path& path) {
    return path.string();
}

// A whole number argument within 0..max; ValueError (TypeError for no number) naming it.
unsigned Number_Argument(py::handle value, unsigned max, const std::string& what) {
    const auto index = py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
    if (!index) {
        PyErr_Clear();
        throw py::type_error("bad " + what + " " + py::repr(value).cast<std::string>() +
                             ": expected a whole number 0.." + std::to_string(max));
    }
    int overflow = 0;
    const long long number = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
    if (overflow != 0 || number < 0 || number > static_cast<long long>(max))
        throw py::value_error("bad " + what + " " + py::repr(value).cast<std::string>() +
                              ": expected 0.." + std::to_string(max));
    return static_cast<unsigned>(number);
}

int Channel_Argument(py::handle channel) {
    return static_cast<int>(Number_Argument(channel, 7, "channel"));
}

// A register given as a number (sent as it is) or as a text: a name or a number's text.
RegisterArgument Register_Target(py::handle target) {
    if (py::isinstance<py::str>(target)) {
        std::string error;
        auto argument = Register_Argument(target.cast<std::string>(), &error);
        if (!argument) throw py::value_error(error);
        return *argument;
    }
    return Register_By_Address(static_cast<std::uint8_t>(Number_Argument(target, 255, "address")));
}

// The small whole number in object, or -1 when it is none (or not a plain int).
long Small_Int(PyObject* object) {
    if (!PyLong_CheckExact(object)) return -1;
    int overflow = 0;
    const long value = PyLong_AsLongAndOverflow(object, &overflow);
    return overflow != 0 ? -1 : value;
}

class Board {
public:
    explicit Board(std::string target) : target_(std::move(target)) {}
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;
    ~Board() {
        if (!open_) return;
        // Dropped without close(): the board is still written back, and a loss is told.
        if (auto lost = End()) PySys_WriteStderr("osdex: %s\n", lost->c_str());
    }

    const std::string& Target() const { return target_; }
    bool Closed() const { return !open_; }

    std::string Description() const {
        Check_Open();
        return Vanlpt_Port_Description(1);
    }

    void Close() { Fail_If(End()); }

    // Holds nest: the board is taken at the outermost entry and let go at its exit.
    void Enter_Hold() {
        Check_Open();
        if (holds_ == 0 && Vanlpt_Hold_Board() == 0)
            throw BoardError(std::string("cannot hold the board: ") + Vanlpt_Last_Error());
        ++holds_;
    }

    void Exit_Hold() {
        if (holds_ == 0) return;
        if (--holds_ == 0 && open_) Vanlpt_Release_Board();
    }

    // The hot path: plain ints go straight to the register bus.
    void Write(py::handle target, py::handle value) {
        const long address = Small_Int(target.ptr());
        const long data = Small_Int(value.ptr());
        if (open_ && address >= 0 && address <= 255 && data >= 0 && data <= 255) {
            const std::int32_t before = num_busy_timeout_errors;
            Write_Register(static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(data));
            if (num_busy_timeout_errors == before) return;
            Fail_If(Bus_Failure_Since(before));
        }
        Write_Named_Target(target, value);
    }

    unsigned Read(py::handle target) {
        const long address = Small_Int(target.ptr());
        if (open_ && address >= 0 && address <= 255) {
            const std::int32_t before = num_busy_timeout_errors;
            const std::uint8_t value = Read_Register(static_cast<std::uint8_t>(address));
            if (num_busy_timeout_errors == before) return value;
            Fail_If(Bus_Failure_Since(before));
        }
        const RegisterArgument argument = Register_Target(target);
        Refuse_If(Refuse_Read(argument));
        Check_Open();
        const std::int32_t before = num_busy_timeout_errors;
        const unsigned value = Read_Named(argument.named);
        Fail_If(Bus_Failure_Since(before));
        return value;
    }

    py::list Replay(const std::filesystem::path& path, bool verify, bool ignore_torn_end) {
        const std::string file = Path_Text(path);
        std::vector<BatchStep> steps;
        std::string note;
        Refuse_If(Read_Batch_File(file, ignore_torn_end, &steps, &note));
        Check_Open();
        if (!note.empty()) PyErr_WarnEx(PyExc_UserWarning, note.c_str(), 1);
        Start_Replay(verify);
        py::list reads;
        std::vector<std::string> mismatches;
        for (const BatchStep& step : steps) {
            BatchStepResult result;
            if (auto failed = Run_Batch_Step(file, step, &result)) {
                (void)End_Replay();  // the step's own failure is the one to tell
                throw BoardError(*failed);
            }
            if (step.kind == BatchStep::Kind::Read)
                reads.append(py::make_tuple(step.address, result.value));
            else if (result.mismatch)
                mismatches.push_back(Mismatch_Text(file, step, result.read_back));
        }
        Fail_If(End_Replay());
        if (!mismatches.empty()) Fail_If(Mismatches_Failure(mismatches));
        return reads;
    }

    py::array_t<std::uint8_t> Memory(py::handle channel) {
        const int c = Channel_Argument(channel);
        Check_Open();
        py::array_t<std::uint8_t> levels({Lines, Width});
        Fail_If(Read_Channel_Levels(c, {levels.mutable_data(), Channel_Levels}));
        return levels;
    }

    void Load_Memory(py::handle channel, py::handle levels) {
        const int c = Channel_Argument(channel);
        const std::vector<std::uint8_t> checked = Checked_Levels(levels);
        Check_Open();
        Fail_If(Write_Channel_Levels(c, checked));
    }

    void Erase(py::handle channels, py::handle level) {
        const std::uint8_t mask = Channel_Mask(channels);
        const unsigned l = Number_Argument(level, 15, "level");
        Check_Open();
        Fail_If(Erase_Channels(mask, static_cast<int>(l)));
    }

    py::array_t<std::uint8_t> Monitor(py::handle channel, std::optional<std::string> source) {
        const int c = Channel_Argument(channel);
        VideoSourceChoice choice;
        if (source) Refuse_If(Resolve_Video_Source(*source, &choice));
        Check_Open();
        if (source) Fail_If(Show_Video_Source(c, choice));
        std::vector<std::uint32_t> pixels(Monitor_Frame_Pixels);
        Fail_If(Monitor_Frame(c, pixels.data()));
        py::array_t<std::uint8_t> frame({Lines, Width, 3});
        std::uint8_t* rgb = frame.mutable_data();
        for (const std::uint32_t pixel : pixels) {
            *rgb++ = static_cast<std::uint8_t>(pixel >> 16);
            *rgb++ = static_cast<std::uint8_t>(pixel >> 8);
            *rgb++ = static_cast<std::uint8_t>(pixel);
        }
        return frame;
    }

    void Save_State(const std::filesystem::path& path) {
        const std::string file = Path_Text(path);
        if (auto cause = Check_Whole_File_Writable(file))
            throw py::value_error("cannot write " + file + ": " + *cause);
        Check_Open();
        vanlpt::BoardState state;
        Fail_If(Save_Board(&state));
        if (auto cause = Write_Board_State_File(file, state))
            throw BoardError("cannot write " + file + ": " + *cause);
        if (!state.routing_known) {
            const std::string note =
                "the crosspoint of a real board cannot be read back; its routing is not in " + file;
            PyErr_WarnEx(PyExc_UserWarning, note.c_str(), 1);
        }
    }

    void Restore_State(const std::filesystem::path& path) {
        vanlpt::BoardState state;
        Refuse_If(Read_Board_State_File(Path_Text(path), &state));
        Check_Open();
        Fail_If(Restore_Board(state));
    }

    py::dict Dump() {
        Check_Open();
        const std::int32_t before = num_busy_timeout_errors;
        const std::vector<DumpedRegister> dump = Read_Register_Dump();
        Fail_If(Bus_Failure_Since(before));
        py::dict values;
        for (const auto& [name, value] : Named_Values(dump)) values[py::str(name)] = value;
        return values;
    }

    static std::unique_ptr<Board> Open(std::optional<std::string> target, py::handle wait);

private:
    void Check_Open() const {
        if (!open_) throw BoardError("the board " + target_ + " is closed");
    }

    // Closes the board once: the reason when a board file could not be written back.
    std::optional<std::string> End() {
        if (!open_) return std::nullopt;
        holds_ = 0;  // closing lets go of the board
        open_ = false;
        open_target.clear();
        return Close_Board();
    }

    void Write_Named_Target(py::handle target, py::handle value) {
        const RegisterArgument argument = Register_Target(target);
        Refuse_If(Refuse_Write(argument));
        const unsigned data =
            Number_Argument(value, argument.named.Max(), "value for " + argument.named.name);
        Check_Open();
        const std::int32_t before = num_busy_timeout_errors;
        Write_Named(argument.named, data);
        Fail_If(Bus_Failure_Since(before));
    }

    static std::optional<std::string> Mismatches_Failure(const std::vector<std::string>& lines) {
        constexpr std::size_t Shown = 10;
        std::string text = Mismatches_Text(static_cast<int>(lines.size()));
        for (std::size_t i = 0; i < lines.size() && i < Shown; ++i) text += "\n" + lines[i];
        if (lines.size() > Shown) text += "\n...";
        return text;
    }

    // "all", a channel or channels: the mask of channels.
    static std::uint8_t Channel_Mask(py::handle channels) {
        if (py::isinstance<py::str>(channels)) {
            if (channels.cast<std::string>() == "all") return 0xFF;
            throw py::value_error("bad channel " + py::repr(channels).cast<std::string>() +
                                  ": expected 0..7 or \"all\"");
        }
        if (PyIndex_Check(channels.ptr()))
            return static_cast<std::uint8_t>(1u << Channel_Argument(channels));
        std::uint8_t mask = 0;
        for (py::handle channel : py::iter(channels))
            mask |= static_cast<std::uint8_t>(1u << Channel_Argument(channel));
        if (mask == 0) throw py::value_error("no channel to erase");
        return mask;
    }

    // The array as levels, row by row, every check made before anything is sent.
    static std::vector<std::uint8_t> Checked_Levels(py::handle levels) {
        if (!py::isinstance<py::array>(levels))
            throw py::value_error("expected a numpy array of levels, shape (512, 712)");
        const auto array = py::reinterpret_borrow<py::array>(levels);
        const char kind = array.dtype().kind();
        if (kind != 'u' && kind != 'i')
            throw py::value_error("expected an integer array of levels 0..15, got dtype " +
                                  py::str(array.dtype()).cast<std::string>());
        if (array.ndim() != 2 || array.shape(0) != Lines || array.shape(1) != Width)
            throw py::value_error("expected levels of shape (512, 712), got " +
                                  py::str(levels.attr("shape")).cast<std::string>());
        const auto wide = py::array_t<long long, py::array::c_style | py::array::forcecast>(array);
        std::vector<std::uint8_t> checked(Channel_Levels);
        const long long* data = wide.data();
        for (std::size_t i = 0; i < Channel_Levels; ++i) {
            if (data[i] < 0 || data[i] > 15)
                throw py::value_error("level " + std::to_string(data[i]) + " at row " +
                                      std::to_string(i / Width) + ", column " +
                                      std::to_string(i % Width) + ": expected 0..15");
            checked[i] = static_cast<std::uint8_t>(data[i]);
        }
        return checked;
    }

    std::string target_;
    bool open_ = true;
    int holds_ = 0;
};

// What board.hold() returns: a with block that keeps a shared board for this process.
class BoardHold {
public:
    explicit BoardHold(Board& board) : board_(board) {}
    void Enter() {
        if (entered_) throw BoardError("this hold is in use already: call board.hold() again");
        board_.Enter_Hold();
        entered_ = true;
    }
    void Exit() {
        if (!entered_) return;
        entered_ = false;
        board_.Exit_Hold();
    }

private:
    Board& board_;
    bool entered_ = false;
};

unsigned Wait_Milliseconds(py::handle wait) {
    double seconds = -1;
    try {
        seconds = wait.cast<double>();
    } catch (const py::cast_error&) {
        seconds = -1;
    }
    if (!(seconds >= 0 && seconds <= Max_Wait_Seconds))
        throw py::value_error("bad wait " + py::repr(wait).cast<std::string>() +
                              ": expected seconds, 0.." +
                              std::to_string(static_cast<int>(Max_Wait_Seconds)));
    return static_cast<unsigned>(seconds * 1000 + 0.5);
}

std::unique_ptr<Board> Board::Open(std::optional<std::string> target, py::handle wait) {
    const unsigned wait_ms = Wait_Milliseconds(wait);
    if (!open_target.empty())
        throw BoardError("a board is open already (" + open_target +
                         "): one board per process; close it first");
    const std::string chosen = target.value_or("");
    Choose_Board(chosen, wait_ms);
    if (auto failed = Open_Board()) {
        Close_Board();  // the next open starts afresh
        if (failed->bad_input) throw py::value_error(failed->message);
        throw BoardError(failed->message);
    }
    open_target = chosen.empty() ? std::string(Vanlpt_Port_Description(1)) : chosen;
    return std::make_unique<Board>(open_target);
}

std::string Register_Kind(const NamedRegister& named) {
    switch (named.kind) {
        case NamedRegister::Kind::Field:
            return "field";
        case NamedRegister::Kind::Line:
            return "line";
        case NamedRegister::Kind::Register:
            break;
    }
    return "register";
}

py::dict Register_Info(const std::string& name) {
    std::string error;
    const auto named = Find_Register(name, &error);
    if (!named) throw py::value_error(error);
    py::dict info;
    info["name"] = named->name;
    info["kind"] = Register_Kind(*named);
    info["address"] = named->address;
    if (named->kind == NamedRegister::Kind::Line) info["low_address"] = named->low_address;
    info["max"] = named->Max();
    info["readable"] = named->Readable();
    info["writable"] = named->Writable();
    return info;
}

}  // namespace

PYBIND11_MODULE(_osdex, m) {
    m.doc() = "The Osdex evaluation board from Python (see the osdex package).";
    Vanlpt_Set_Program_Name("osdex");
    py::register_exception<BoardError>(m, "Error", PyExc_Exception);
    m.attr("Error").attr("__module__") = "osdex";  // as users name it

    py::class_<Board>(m, "Board", R"(An open Osdex evaluation board (osdex.open makes one).

Use it in a with block: leaving the block, also by an exception, closes the board and
writes a sim:FILE board back to its file when it changed. Registers are numbers 0..255
(always sent as they are) or names of the register table: ch<N>.<REG>, <REG> and
all.<REG> for the multi-channel bank, ch<N>.<REG>.<FIELD> for a bit field,
ch<N>.QPLINE / .SHRBEG / .SHREND for the 9-bit line values; names ignore case.
Bad arguments raise ValueError before anything is sent; port and bus failures raise
osdex.Error.)")
        .def(
            "__enter__", [](Board& board) -> Board& { return board; },
            py::return_value_policy::reference)
        .def("__exit__",
             [](Board& board, py::handle, py::handle, py::handle) {
                 board.Close();
                 return false;
             })
        .def("__repr__",
             [](const Board& board) {
                 return std::string("<osdex.Board ") + board.Target() +
                        (board.Closed() ? " closed>" : ">");
             })
        .def_property_readonly("target", &Board::Target, "The target the board was opened with.")
        .def_property_readonly("closed", &Board::Closed, "True once the board is closed.")
        .def_property_readonly("description", &Board::Description,
                               "What stands behind LPT1, e.g. \"LPT1: simulated board\".")
        .def("close", &Board::Close,
             "Closes the board: the port released, a sim:FILE board written back when it\n"
             "changed. Raises osdex.Error when that write failed. Safe to call again.")
        .def("write", &Board::Write, py::arg("register"), py::arg("value"),
             "Writes value to a register (a number 0..255 and a value 0..255, always sent), or\n"
             "to what a name stands for: a register, a field (read-modify-write of its\n"
             "register) or a 9-bit line value (0..511, both registers, high first).\n"
             "A read-only name raises ValueError.")
        .def("read", &Board::Read, py::arg("register"),
             "Reads a register by number (always sent) or what a name stands for: a register,\n"
             "a field's value or a 9-bit line value. A trigger name (COMMAND, MWRITE) raises\n"
             "ValueError.")
        .def("replay", &Board::Replay, py::arg("path"), py::kw_only(), py::arg("verify") = false,
             py::arg("ignore_torn_end") = false,
             "Runs a register batch file (wrreg A D / rdreg A lines, as regtest.bat). The whole\n"
             "file is checked first (ValueError, nothing sent). Returns the results of its rdreg\n"
             "lines as a list of (address, value). With verify, every write is read back; a\n"
             "mismatch raises osdex.Error after the whole file ran. With ignore_torn_end, a cut\n"
             "off last line is left out with a warning.")
        .def("memory", &Board::Memory, py::arg("channel"),
             "Reads channel 0..7's display memory back: numpy uint8 array (512, 712) of levels\n"
             "0..15 (0 transparent), row = QPLINE, column = pixel.")
        .def("load_memory", &Board::Load_Memory, py::arg("channel"), py::arg("levels"),
             "Writes an integer array (512, 712) of levels 0..15 into channel 0..7's display\n"
             "memory. Type, shape and range are checked before anything is sent (ValueError).")
        .def("set_memory", &Board::Load_Memory, py::arg("channel"), py::arg("levels"),
             "The same as load_memory.")
        .def("erase", &Board::Erase, py::arg("channels"), py::arg("level") = 0,
             "Fills the display memory of channels (\"all\", a channel 0..7 or a list of them)\n"
             "with one level 0..15 (0, transparent, by default).")
        .def("monitor", &Board::Monitor, py::arg("channel"), py::arg("source") = py::none(),
             "One frame of what a monitor on channel 0..7 of the simulated board shows: numpy\n"
             "uint8 array (512, 712, 3), RGB. source (\"bars\", \"ramp\", \"black\" or a picture\n"
             "file) sets the channel's video under the overlay from now on; None keeps it\n"
             "(colour bars on a fresh board). A real port raises osdex.Error.")
        .def("save_state", &Board::Save_State, py::arg("path"),
             "Reads the whole board (registers, display memory, crosspoint routing) into a\n"
             "board state file, written whole or not at all.")
        .def("restore_state", &Board::Restore_State, py::arg("path"),
             "Writes a board state file back to the board. The file is checked first\n"
             "(ValueError, nothing sent).")
        .def(
            "hold", [](Board& board) { return BoardHold(board); }, py::keep_alive<0, 1>(),
            "A with block in which the board is this process's alone: on a served board\n"
            "(osdex serve) no other client's transaction comes between this block's, however\n"
            "slowly it runs; other clients wait. It waits for the board as open's wait says and\n"
            "raises osdex.Error naming the holder when another client keeps it. Blocks nest:\n"
            "the board is let go at the end of the outermost. A board of this process alone\n"
            "needs no hold, and the block costs nothing there.")
        .def("dump", &Board::Dump,
             "Every named register, field and 9-bit line value with its value: {name: value}\n"
             "(trigger registers are left out: a read means nothing).");

    m.attr("Board").attr("__module__") = "osdex";

    py::class_<BoardHold>(m, "BoardHold", "The with block of Board.hold().")
        .def(
            "__enter__",
            [](BoardHold& hold) -> BoardHold& {
                hold.Enter();
                return hold;
            },
            py::return_value_policy::reference)
        .def("__exit__", [](BoardHold& hold, py::handle, py::handle, py::handle) {
            hold.Exit();
            return false;
        });
    m.attr("BoardHold").attr("__module__") = "osdex";

    m.def("open", &Board::Open, py::arg("target") = "sim", py::arg("wait") = 0,
          R"(Opens the board and returns an osdex.Board, to be used in a with block.

target is what osdex --port takes: "sim" (a fresh simulated board), "sim:FILE" (a
simulated board kept in FILE, locked while open; "sim:FILE?wait=S" waits up to S seconds
for another process to let go of it), "unplugged", "none", "/dev/parportN", "io:0x378";
None keeps the mapping of VANLPT_PORTS. wait is how many seconds to wait for a board file
in use (0 refuses at once, naming the process that holds it).
A bad target, mapping or board file raises ValueError; a port that cannot be opened, a
board in use or no board on the cable raises osdex.Error. One board is open at a time.)");
    m.def("register_names", &All_Register_Names,
          "Every register, field and 9-bit line value name, channels first, in address order.");
    m.def("register_info", &Register_Info, py::arg("name"),
          "What a name stands for: {name, kind ('register', 'field' or 'line'), address,\n"
          "[low_address], max, readable, writable}. ValueError with the nearest names for a\n"
          "name that names nothing.");
}
