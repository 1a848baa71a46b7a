// Register transactions (module Drawing): the shadow cache with its auto-increment model,
// write verification, statistics, trace and batch lines.
#include "chip/register_bus.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "chip/register_map.h"
#include "chip/register_table.h"
#include "port/activity_log.h"
#include "port/port_state.h"
#include "shell/dialogs.h"
#include "shell/line_file.h"
#include "shell/module_steps.h"
#include "vanlpt/vanlpt.h"

TRegister_Cache Register_Cache{};

std::uint8_t Cache_Enabled = 1;
std::uint8_t Verify_Writes = 0;
std::uint8_t Batch_Enabled = 0;
std::uint8_t Redundant_Addressing_Flag = 1;

std::int32_t Write_Retries = 3;

std::int32_t num_reg_writes = 0;
std::int32_t num_reg_reads = 0;
std::int32_t num_write_verify_errors = 0;
std::int32_t num_read_verify_errors = 0;
std::int32_t num_busy_timeout_errors = 0;
std::int32_t max_busy_timeout_count = 0;
std::int32_t verify_error_address = 0;
std::int32_t verify_error_data = 0;
std::int32_t verify_error_readback = 0;
std::string verify_error_name;

std::uint8_t Last_Reg_Address = 0xFF;
std::uint8_t Last_Reg_Data = 0xFF;

namespace {

// The names by the low four bits of an address, from the register table: the channel
// register's, and the multi-channel register's after a slash where it differs.
std::array<std::string, Bank_Size> Names_By_Offset() {
    std::array<std::string, Bank_Size> names;
    const auto multi = Multi_Bank_Registers();
    for (std::size_t r = 0; r < names.size(); ++r) {
        names[r] = Channel_Bank_Registers()[r].name;
        if (r < multi.size() && multi[r].name != names[r])
            names[r] += "/" + std::string(multi[r].name);
    }
    return names;
}

const std::array<std::string, Bank_Size> names_by_offset = Names_By_Offset();

}  // namespace

const char* const Register_Names[16] = {
    names_by_offset[0].c_str(),  names_by_offset[1].c_str(),  names_by_offset[2].c_str(),
    names_by_offset[3].c_str(),  names_by_offset[4].c_str(),  names_by_offset[5].c_str(),
    names_by_offset[6].c_str(),  names_by_offset[7].c_str(),  names_by_offset[8].c_str(),
    names_by_offset[9].c_str(),  names_by_offset[10].c_str(), names_by_offset[11].c_str(),
    names_by_offset[12].c_str(), names_by_offset[13].c_str(), names_by_offset[14].c_str(),
    names_by_offset[15].c_str()};

Line_File* Batch_File = nullptr;

namespace {

// Set by writes made while the cache is off: the chip may then hold anything, so the first
// cached write afterwards starts from an all-invalid cache.
bool cache_stale = false;

int drawing_module_nesting = 0;

// The port library's count of changes made by other programs, as last seen.
unsigned long foreign_changes_seen = 0;

// Counters saturate instead of overflowing during very long repeated tests.
void Count(std::int32_t& counter) {
    if (counter < std::numeric_limits<std::int32_t>::max()) ++counter;
}

void Invalidate_All() {
    std::memset(Register_Cache.Cache_Valid, 0, sizeof Register_Cache.Cache_Valid);
}

void Invalidate(std::uint8_t address) {
    Register_Cache.Cache_Valid[address] = 0;
}

// The registers a quad command works with: its data, position and increment control.
struct QuadBank {
    std::uint8_t data_high, data_low, column, line_high, line_low, control;
};

QuadBank Bank_Of_Trigger(std::uint8_t trigger) {
    if (trigger == MReg::MWRITE) {
        return {MReg::QPH, MReg::QPL, MReg::QPHORIZ, MReg::QPLINEH, MReg::QPLINEL, MReg::CONTROL};
    }
    const auto base = static_cast<std::uint8_t>(trigger & 0xF0);
    return {static_cast<std::uint8_t>(base | Reg::QPH),
            static_cast<std::uint8_t>(base | Reg::QPL),
            static_cast<std::uint8_t>(base | Reg::QPHORIZ),
            static_cast<std::uint8_t>(base | Reg::QPLINEH),
            static_cast<std::uint8_t>(base | Reg::QPLINEL),
            static_cast<std::uint8_t>(base | Reg::STATUS)};
}

void Invalidate_Position(const QuadBank& bank) {
    Invalidate(bank.column);
    Invalidate(bank.line_high);
    Invalidate(bank.line_low);
}

// Mirrors what the chip does to its quad address (and data) after a trigger, so that the next
// write of the advanced position is recognised as redundant. Where the chip's state is not
// known for sure, the entries are forgotten instead: a forgotten entry costs one write, a
// wrong one loses pixels.
void Model_Trigger(std::uint8_t trigger, std::uint8_t value) {
    const QuadBank bank = Bank_Of_Trigger(trigger);
    if (trigger != MReg::MWRITE && value != Command_Write_Quad) {
        // A read-quad loads QPH/QPL from display memory; other codes are not modelled.
        Invalidate(bank.data_high);
        Invalidate(bank.data_low);
        if (value != Command_Read_Quad) {
            Invalidate_Position(bank);
            return;
        }
    }
    if (!Register_Cache.Cache_Valid[bank.control]) {
        Invalidate_Position(bank);
        return;
    }
    const std::uint8_t control = Register_Cache.Cache_Value[bank.control];
    std::uint8_t* value_of = Register_Cache.Cache_Value;
    if (control & Status_VINC) {
        // The 9-bit line carries from 255 into QPLINEH and wraps from 511 to 0: both halves
        // must be known to follow it, or a stale half would claim a line the chip left.
        if (!Register_Cache.Cache_Valid[bank.line_high] ||
            !Register_Cache.Cache_Valid[bank.line_low]) {
            Invalidate(bank.line_high);
            Invalidate(bank.line_low);
        } else {
            const int line = Line_Value(value_of[bank.line_high] & 1, value_of[bank.line_low]) + 1;
            value_of[bank.line_high] = Line_High(line);
            value_of[bank.line_low] = Line_Low(line);
        }
    }
    if (control & Status_HINC)
        value_of[bank.column] = static_cast<std::uint8_t>(value_of[bank.column] + 1);
}

// A write the chip may not have taken: forget what the cache assumed about it.
void Forget_Write(std::uint8_t address) {
    Invalidate(address);
    if (Is_Trigger_Address(address)) {
        const QuadBank bank = Bank_Of_Trigger(address);
        Invalidate_Position(bank);
        Invalidate(bank.data_high);
        Invalidate(bank.data_low);
    }
}

// Another program sharing the board may have written any register: nothing is known.
void Forget_Foreign_Changes() {
    const unsigned long changes = Vanlpt_Foreign_Changes();
    if (changes == foreign_changes_seen) return;
    foreign_changes_seen = changes;
    Invalidate_All();
}

// Returns true when the write can be dropped because the chip already holds the value.
bool Cache_Write(std::uint8_t address, std::uint8_t data) {
    Forget_Foreign_Changes();
    if (cache_stale) {
        Invalidate_All();
        cache_stale = false;
    }
    if (Register_Cache.Cache_Valid[address] && Register_Cache.Cache_Value[address] == data) {
        return true;
    }
    Register_Cache.Cache_Value[address] = data;
    Register_Cache.Cache_Valid[address] = Register_Cache.Cache_Allowed[address];
    if (Is_Trigger_Address(address)) Model_Trigger(address, data);
    return false;
}

bool High_Trace_On() {
    return (Port_State.Log_Mask & Log_High) != 0;
}

// A full disk ends the recording with one message; recording is off before the box is shown,
// so that the timers running behind it record nothing and ask nothing more.
void Stop_Batch_After_Failed_Write(int error) {
    Close_Register_Batch_File();
    Show_Message(Application_Title,
                 std::string("Writing the register batch file ") + Batch_File_Name +
                     " failed: " + std::strerror(error) + ". Recording is switched off.",
                 MsgIcon::Warning);
}

void Batch_Line(const char* text) {
    if (!Batch_File) return;
    Batch_File->Line_File_Write_Line(text);
    if (const int error = Batch_File->Write_Error()) Stop_Batch_After_Failed_Write(error);
}

// Bits a read-back may differ in; nullopt-like -1 when the register is never read back.
int Verify_Mask(std::uint8_t address) {
    if (Is_Trigger_Address(address)) return -1;
    return Is_Channel_Status_Address(address) ? Status_LOS : 0x00;
}

void Trace_Write(std::uint8_t address, std::uint8_t data) {
    if (!High_Trace_On()) return;
    char text[48];
    std::snprintf(text, sizeof text, "Write_Register(%2.2X, %2.2X)", address, data);
    Log_Port_Activity(text);
}

void Trace_Read(std::uint8_t address, std::uint8_t value) {
    if (!High_Trace_On()) return;
    char text[48];
    std::snprintf(text, sizeof text, "Read_Register(%2.2X) => %2.2X", address, value);
    Log_Port_Activity(text);
}

void Record_Access(std::uint8_t address, std::uint8_t data) {
    Last_Reg_Address = address;
    Last_Reg_Data = data;
}

// One library write with its counting, last-access record and trace. True on success.
bool Send_Write(std::uint8_t address, std::uint8_t data) {
    Count(num_reg_writes);
    const bool ok = Try_DUT_Register_Write(address, data) != 0;
    if (!ok) Count(num_busy_timeout_errors);
    max_busy_timeout_count = static_cast<std::int32_t>(Get_DUT_BUSY_Highest_Count());
    Record_Access(address, data);
    Trace_Write(address, data);
    return ok;
}

void Record_Verify_Error(std::uint8_t address, std::uint8_t data, std::uint8_t readback) {
    verify_error_address = address;
    verify_error_data = data;
    verify_error_readback = readback;
    verify_error_name = Register_Names[address & 15];
    Count(num_write_verify_errors);
}

// Sends the write, verifying and retrying when asked. True when the chip is known or assumed
// (no verification) to hold the value afterwards.
bool Send_Verified_Write(std::uint8_t address, std::uint8_t data) {
    std::int32_t retries_left = Write_Retries > 0 ? Write_Retries : 0;
    for (;;) {
        const bool ok = Send_Write(address, data);
        const int mask = Verify_Mask(address);
        if (!Verify_Writes || mask < 0) return ok;
        const std::uint8_t readback = Read_Register(address);
        if ((readback | mask) == (data | mask)) return true;
        Record_Verify_Error(address, data, readback);
        if (retries_left == 0) return false;
        --retries_left;
    }
}

// The batch-file line and the cache's say of a requested write: false when the cache drops
// it because the chip already holds data.
bool Write_Wanted(std::uint8_t address, std::uint8_t data) {
    if (Batch_Enabled) {
        char line[32];
        std::snprintf(line, sizeof line, "wrreg %u %u", address, data);
        Batch_Line(line);
    }
    if (!Cache_Enabled) {
        cache_stale = true;
        return true;
    }
    return !Cache_Write(address, data);
}

void Record_Read_Line(std::uint8_t address) {
    if (!Batch_Enabled) return;
    char line[24];
    std::snprintf(line, sizeof line, "rdreg %u", address);
    Batch_Line(line);
}

}  // namespace

void Apply_Bus_Wiring(const BoardBusWiring& w) {
    Set_DUT_BUSY_Pin(w.busy.pin, w.busy.level);
    Set_DUT_BUSY_LevelSync();
    Set_DUT_WR_Pin(w.wr.pin, w.wr.level);
    Set_DUT_RD_Pin(w.rd.pin, w.rd.level);
    Set_DUT_ADDR_Pin(w.addr.pin, w.addr.level);
    Set_DUT_CS_Pin(w.cs.pin, w.cs.level);
    Set_DUT_BUSY_Timeout(w.busy_timeout);
}

void Init_DUT_Bus() {
    Apply_Bus_Wiring(Board_Bus_Wiring);
    Clear_DUT_BUSY_Highest_Count();

    std::memset(Register_Cache.Cache_Value, 0, sizeof Register_Cache.Cache_Value);
    Invalidate_All();
    std::memset(Register_Cache.Cache_Allowed, 1, sizeof Register_Cache.Cache_Allowed);
    for (int a = 0; a < 256; ++a) {
        if (Is_Trigger_Address(static_cast<std::uint8_t>(a))) Register_Cache.Cache_Allowed[a] = 0;
    }
    cache_stale = false;
}

void Write_Register(std::uint8_t address, std::uint8_t data) {
    if (!Write_Wanted(address, data)) return;
    if (!Send_Verified_Write(address, data) && Cache_Enabled) Forget_Write(address);
}

std::uint8_t Read_Register(std::uint8_t address) {
    Count(num_reg_reads);
    Record_Read_Line(address);
    std::uint8_t value = 0;
    if (Try_DUT_Register_Read(address, &value) == 0) {
        value = 0;
        Count(num_busy_timeout_errors);
    }
    Record_Access(address, value);
    Trace_Read(address, value);
    return value;
}

Register_Run::Register_Run() : at_once_(Verify_Writes != 0) {}

void Register_Run::Write(std::uint8_t address, std::uint8_t data) {
    if (at_once_) {
        const std::int32_t failures = num_busy_timeout_errors;
        Write_Register(address, data);
        failed_ = failed_ || num_busy_timeout_errors != failures;
        return;
    }
    if (Write_Wanted(address, data)) list_.push_back({0, address, data});
}

void Register_Run::Read(std::uint8_t address) {
    if (at_once_) {
        const std::int32_t failures = num_busy_timeout_errors;
        list_.push_back({1, address, Read_Register(address)});
        failed_ = failed_ || num_busy_timeout_errors != failures;
        return;
    }
    Record_Read_Line(address);
    list_.push_back({1, address, 0});
}

bool Register_Run::Send() {
    if (at_once_ || list_.empty()) return !failed_;
    const std::size_t done = Vanlpt_Run_Transactions(list_.data(), list_.size());
    failed_ = done < list_.size();
    const std::size_t ran = failed_ ? done + 1 : list_.size();
    for (std::size_t i = 0; i < ran; ++i) {
        const Vanlpt_Transaction& t = list_[i];
        Count(t.read ? num_reg_reads : num_reg_writes);
        if (t.read)
            Trace_Read(t.address, t.data);
        else
            Trace_Write(t.address, t.data);
    }
    if (failed_) {
        Count(num_busy_timeout_errors);
        // The cache took in writes that were never sent.
        Invalidate_All();
    }
    max_busy_timeout_count = static_cast<std::int32_t>(Get_DUT_BUSY_Highest_Count());
    Record_Access(list_[ran - 1].address, list_[ran - 1].data);
    return !failed_;
}

std::vector<std::uint8_t> Register_Run::Values() const {
    std::vector<std::uint8_t> values;
    for (const Vanlpt_Transaction& t : list_)
        if (t.read) values.push_back(t.data);
    return values;
}

std::optional<std::uint8_t> Register_Cache_Value(std::uint8_t address) {
    if (Cache_Enabled) Forget_Foreign_Changes();
    if (!Cache_Enabled || cache_stale || !Register_Cache.Cache_Valid[address]) return std::nullopt;
    return Register_Cache.Cache_Value[address];
}

bool Register_Cache_Holds(std::uint8_t address, std::uint8_t data) {
    return Register_Cache_Value(address) == data;
}

void Begin_Register_Batch() {
    Vanlpt_Begin_Batch();
}

std::int32_t End_Register_Batch() {
    const unsigned long failed = Vanlpt_End_Batch();
    for (unsigned long i = 0; i < failed; ++i) Count(num_busy_timeout_errors);
    if (failed > 0) Invalidate_All();
    return static_cast<std::int32_t>(std::min<unsigned long>(failed, 0x7FFFFFFF));
}

bool Write_Cached_Batch(const std::function<void()>& writes) {
    const std::int32_t failures = num_busy_timeout_errors;
    Cache_Enabled = 1;
    Begin_Register_Batch();
    writes();
    End_Register_Batch();
    Cache_Enabled = 0;
    return num_busy_timeout_errors == failures;
}

bool Open_Register_Batch_File() {
    if (Batch_File) Batch_File->Line_File_Open(Batch_File_Name);
    if (Batch_File && Batch_File->Open_Flag()) {
        Batch_Enabled = 1;
        return true;
    }
    const int error = Batch_File ? Batch_File->Open_Error() : 0;
    const std::string reason =
        error != 0 ? Open_Failure_Reason(error) : "no batch file object exists";
    if (Batch_File) Batch_File->Line_File_Close();
    Batch_Enabled = 0;
    Show_Message(Application_Title,
                 std::string("The register batch file \"") + Batch_File_Name +
                     "\" could not be opened: " + reason + ". No register batch is being recorded.",
                 MsgIcon::Warning);
    return false;
}

void Close_Register_Batch_File() {
    Batch_Enabled = 0;
    if (!Batch_File) return;
    Batch_File->Close();
    Batch_File->Line_File_Close();
}

void Clear_Register_Statistics() {
    num_reg_writes = 0;
    num_reg_reads = 0;
    num_write_verify_errors = 0;
    num_read_verify_errors = 0;
    num_busy_timeout_errors = 0;
    max_busy_timeout_count = 0;
}

void Register_Drawing_Module() {
    Set_Module_Work(Module::Drawing, ModuleWork{Drawing_Module_Start, Drawing_Module_End});
}

void Drawing_Module_Start() {
    if (drawing_module_nesting++ == 0 && !Batch_File) Batch_File = new Line_File();
}

void Drawing_Module_End() {
    if (drawing_module_nesting == 0) return;
    if (--drawing_module_nesting == 0) {
        Batch_Enabled = 0;
        delete Batch_File;
        Batch_File = nullptr;
    }
}

void Reset_Register_Bus_State() {
    Register_Cache = {};
    foreign_changes_seen = 0;
    cache_stale = false;
    Cache_Enabled = 1;
    Verify_Writes = 0;
    Batch_Enabled = 0;
    Redundant_Addressing_Flag = 1;
    Write_Retries = 3;
    Clear_Register_Statistics();
    verify_error_address = verify_error_data = verify_error_readback = 0;
    verify_error_name.clear();
    Last_Reg_Address = 0xFF;
    Last_Reg_Data = 0xFF;
}
