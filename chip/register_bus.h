// Register transactions with the Osdex chip: every register access of the program goes
// through Write_Register and Read_Register, after Init_DUT_Bus has set the bus up.
//
// On a board that other programs share (osdex serve), the cache forgets everything whenever
// the port library says that another program changed the board.
//
// Around the port library's bus transactions they keep a shadow cache (writes of a value the
// chip already holds are dropped, and the chip's address auto-increment is modelled so that
// streams of quad writes send only data and commands), optional read-back verification with
// retries, statistics, a record of the last access, a trace line per access in the port
// activity log, and an optional batch file of every requested access.
//
// All state is process-wide: there is one chip on one bus. GUI thread only; not re-entrant.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vanlpt/vanlpt.h"

class Line_File;

struct TRegister_Cache {
    std::uint8_t Cache_Value[256];    // last value written (or as the auto-increment moved it)
    std::uint8_t Cache_Valid[256];    // 1 when Cache_Value equals the chip's register
    std::uint8_t Cache_Allowed[256];  // 0 for the trigger addresses, which are always sent
};
extern TRegister_Cache Register_Cache;

// Option flags (0 or 1), switched by the Diagnostic menu.
extern std::uint8_t Cache_Enabled;              // initially 1
extern std::uint8_t Verify_Writes;              // initially 0
extern std::uint8_t Batch_Enabled;              // initially 0; use the batch functions below
extern std::uint8_t Redundant_Addressing_Flag;  // initially 1; shown only, the cache does the work

// Extra write attempts after a verify mismatch (0..32767; a negative value counts as 0).
extern std::int32_t Write_Retries;

// Statistics, shown by the diagnostics panel.
extern std::int32_t num_reg_writes;  // attempts sent to the port library
extern std::int32_t num_reg_reads;
extern std::int32_t num_write_verify_errors;
extern std::int32_t num_read_verify_errors;   // counted by the diagnostics' repeated read
extern std::int32_t num_busy_timeout_errors;  // failed library transactions, writes and reads
extern std::int32_t max_busy_timeout_count;   // the library's highest busy-wait count
// The last verify error.
extern std::int32_t verify_error_address;
extern std::int32_t verify_error_data;  // value written or expected
extern std::int32_t verify_error_readback;
extern std::string verify_error_name;

// The last access sent to the library, write or read (for a read, the value returned).
extern std::uint8_t Last_Reg_Address;  // initially 0xFF
extern std::uint8_t Last_Reg_Data;     // initially 0xFF

// Register names by the low four bits of an address ("QPH" .. "reservedF").
extern const char* const Register_Names[16];

// The register batch file "regtest.bat"; exists between Drawing_Module_Start and _End.
extern Line_File* Batch_File;
inline constexpr const char* Batch_File_Name = "regtest.bat";

// The evaluation board's wiring of the chip bus: the pin and active level of each role, and
// the busy time-out in polls. Init_DUT_Bus sets it; a board server starts each client on it.
struct BusPin {
    int pin;
    int level;
    bool operator==(const BusPin&) const = default;
};
struct BoardBusWiring {
    BusPin wr, rd, addr, cs, busy;
    unsigned long busy_timeout;
    bool operator==(const BoardBusWiring&) const = default;
};
// Gives the port library the pins, levels and time-out of a wiring.
void Apply_Bus_Wiring(const BoardBusWiring& wiring);
inline constexpr BoardBusWiring Board_Bus_Wiring{{1, 0}, {16, 0}, {14, 1}, {17, 1}, {15, 0}, 10000};

// Assigns the chip-bus pins, sets the busy time-out to 10000, clears the highest busy count
// and returns the cache to all-invalid.
void Init_DUT_Bus();

// Writes a register. Failures show only in the statistics.
void Write_Register(std::uint8_t address, std::uint8_t data);

// Reads a register; 0 when the library transaction failed. Never consults the cache.
std::uint8_t Read_Register(std::uint8_t address);

// A run of register transactions that the port library runs as one list: a board served by
// another process gets it in one request instead of a round trip per transaction. Write and
// Read take their batch-file lines and the cache's say as Write_Register and Read_Register
// do; Send runs the list, counts what ran in the statistics, and stops at the first failure
// (counted once; the transactions after it are not sent, and the cache forgets everything).
// With write verification on, each transaction runs at once instead, as a verified write
// needs its read-back before the next.
class Register_Run {
public:
    Register_Run();
    void Write(std::uint8_t address, std::uint8_t data);
    void Read(std::uint8_t address);
    // False when a transaction failed.
    bool Send();
    // The values read, in the order of the reads; 0 for a read that failed or was not run.
    std::vector<std::uint8_t> Values() const;

private:
    bool at_once_;
    bool failed_ = false;
    std::vector<Vanlpt_Transaction> list_;
};

// A stretch of writes whose failures may come back together at its end (a board served by
// another process answers writes without being waited for): in between a write counts as
// sent. The end adds the writes that failed to num_busy_timeout_errors, forgets the whole
// cache when there were any, and returns their count. Batches nest.
void Begin_Register_Batch();
std::int32_t End_Register_Batch();

// Runs a long stretch of writes (an upload, an erase, a restore) with the cache on, so that
// data and addresses the chip already holds are not sent again, and as one register batch.
// True when no transaction of it failed.
bool Write_Cached_Batch(const std::function<void()>& writes);

// True when the cache is on and knows that the chip's register holds data, so a write of it
// would be dropped. Lets long loops re-assert their registers only when something changed.
bool Register_Cache_Holds(std::uint8_t address, std::uint8_t data);
// The value the cache knows the chip's register to hold; nothing when the cache is off or
// does not know it.
std::optional<std::uint8_t> Register_Cache_Value(std::uint8_t address);

// Batch file control for the Diagnostic menu. Opening appends to "regtest.bat" in the current
// directory and switches recording on; when the file cannot be opened, a message says so,
// recording stays off and the result is false (the menu should show the option unchecked).
// A line that cannot be written (a full disk) leaves the file on its last whole line, switches
// recording off (Batch_Enabled 0) and says so in one message.
bool Open_Register_Batch_File();
// Switches recording off and closes the file.
void Close_Register_Batch_File();

// Sets every statistic counter to 0; the last-error fields keep their values.
void Clear_Register_Statistics();
// Options, counters, the cache and the last access back at their start values (tests).
void Reset_Register_Bus_State();

// Module steps of the drawing module: the start constructs Batch_File, the end destroys it
// (closing the file if still open). Nested calls only count.
void Drawing_Module_Start();
void Drawing_Module_End();
// Registers the two steps as the Drawing module's work with the shell's module steps; call
// it before Run_Module_Start_Steps.
void Register_Drawing_Module();
