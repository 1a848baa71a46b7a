// vanlpt: the port library. The 25 operations the program uses for every port and
// chip-bus access. Pins are connector pin numbers; levels are logic levels at the pin.
// Whether a port is a real parallel port or the simulated evaluation board is decided
// inside the library (see docs/port-backends.md); nothing above it knows.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Port selection: n = 1, 2 or 3. Nonzero when LPTn is now the target of every other call.
int Select_LPT_123(int n);

// Raw registers of the selected port. With no port selected reads give 0 and writes go
// nowhere. Set_Register writes a byte at base + offset (the ECR at 0x402 or 0x0A).
void Set_Register(unsigned offset, unsigned char value);
unsigned char Get_Data(void);
unsigned char Get_Status(void);
unsigned char Get_Control(void);
void Set_Data(unsigned char value);
void Set_Control(unsigned char value);

// Data pins 2..9 drive (1) or float (0), through the data-enable mask bits of control.
void Set_Data_Enable(int enable);
unsigned char Get_Data_Enable_Mask(void);
void Set_Data_Enable_Mask(unsigned char mask);

// Single pins in logic levels (hardware inversions handled inside). Pin 0, ground pins and
// numbers outside 1..17 read 0 and are not driven; input pins are not driven either.
int DirectReadPrinterPin(int pin);               // exactly 0 or 1
void DirectWritePrinterPin(int pin, int level);  // low for 0, high for any other value

const char* Get_VANLPT_DLL_Version(void);

// Chip-bus pin roles: pin number and its active level.
void Set_DUT_WR_Pin(int pin, int active_level);
void Set_DUT_RD_Pin(int pin, int active_level);
void Set_DUT_ADDR_Pin(int pin, int active_level);
void Set_DUT_CS_Pin(int pin, int active_level);
void Set_DUT_BUSY_Pin(int pin, int active_level);
void Set_DUT_BUSY_LevelSync(void);

// Busy handshake, counted in status polls: the bound on polls of RDY/~BUSY (a bound of 0
// still polls once), and the highest poll count seen, a timed-out wait included.
void Set_DUT_BUSY_Timeout(unsigned long polls);
unsigned long Get_DUT_BUSY_Timeout(void);
void Clear_DUT_BUSY_Highest_Count(void);
unsigned long Get_DUT_BUSY_Highest_Count(void);

// Chip register transactions. Nonzero on success, 0 on failure (busy time-out, no port,
// pin roles unusable, a failed device call); a failed read leaves *data unchanged. Every
// cycle leaves CS raised, which keeps the crosspoint on pin 17 deselected.
int Try_DUT_Register_Write(unsigned char address, unsigned char data);
int Try_DUT_Register_Read(unsigned char address, unsigned char* data);

// Extra: the human-readable reason the last Select_LPT_123, register transaction or other
// extra failed, with what to do about it; "" when nothing has failed. Valid until the next
// library call.
const char* Vanlpt_Last_Error(void);

// Extra: tries every real port the mapping names and returns what keeps any port from
// working, each problem once per run with what was tried, why it failed, what to do and
// whether the simulated board stands in (paragraphs apart); "" when there is nothing new.
// Valid until the next call.
const char* Vanlpt_Check_Ports(void);

// Extra: maps LPTn to a target for the rest of the run, as an entry of VANLPT_PORTS would
// ("sim", "unplugged", "none", "/dev/parport0", "io:0x378"); the other ports keep their
// mapping. Nonzero on success; 0 with Vanlpt_Last_Error() naming the bad target.
int Vanlpt_Map_Port(int n, const char* target);

// Extra: the crosspoint routing of the selected port's board, output by output (enabled 0/1,
// input 0..31, gain 1/2). Nonzero when the library knows it (a simulated board); 0 for a
// real board, whose crosspoint cannot be read back.
int Vanlpt_Crosspoint_Routing(unsigned char enabled[16], unsigned char input[16],
                              unsigned char gain[16]);

// Extra: the doctor's look at the real ports of this machine and of the mapping (each
// /dev/parportN and each port the mapping names, the user's groups, direct I/O), one finding
// a line, each problem followed by its fix. real_port_wanted 0: LPT1 was chosen to be
// simulated, so a machine without a port is no problem. *problems gets the number of problems
// found, *unusable the number of ports present or mapped that cannot be used (either may be
// NULL). Valid until the next call.
const char* Vanlpt_Doctor_Report(int real_port_wanted, int* problems, int* unusable);

// Extra: the normal end of the library's use: the port is released, the simulated boards'
// faults end, and every simulated board kept in a state file (sim:FILE) that changed in this
// run is written back to it, once. Also runs at the process's normal exit; safe to call more
// than once. Nonzero when every such board is in its file; 0 with Vanlpt_Last_Error() saying
// which board could not be written and why ("...; the board's state of this run is lost").
int Vanlpt_Shutdown(void);

// Extra: how long opening a simulated board kept in a file (sim:FILE) waits for another
// process to let go of it before the board counts as in use; 0 (the default) refuses at
// once. A target's own "?wait=SECONDS" takes precedence. Applies to mappings made after it.
void Vanlpt_Set_Lock_Wait(unsigned milliseconds);

// Extra: "" when the environment's port mapping (VANLPT_PORTS) is good, else what is wrong
// with it. A bad mapping maps no port at all (every LPTn is none) until Vanlpt_Map_Port
// maps one: nothing is sent to a port the user did not choose.
const char* Vanlpt_Mapping_Problem(void);

// Extra: nonzero when LPTn cannot be used because what its target names is bad input (a
// damaged board state file, or one of another version), with Vanlpt_Last_Error() saying
// what is wrong; 0 otherwise, also when the port cannot be used for another reason.
int Vanlpt_Port_Input_Error(int n);

// Extra: the name before the library's own messages on standard error ("vanlpt" unless
// set), so that they read as the program's: "osdex: ...".
void Vanlpt_Set_Program_Name(const char* name);

// Extra: what stands behind LPTn, e.g. "LPT1: simulated board", "LPT1: /dev/parport0
// (ppdev)", "LPT2: none"; "" for n outside 1..3. Valid until the next call.
const char* Vanlpt_Port_Description(int n);

// Extra: a short name of what stands behind LPTn, fit for a file name: "sim", "bench" for
// sim:bench.osdex, "parport0", "io-0x378", "none"; "" for n outside 1..3. Valid until the
// next call.
const char* Vanlpt_Port_Name(int n);

// Extra: a batch of register writes. Between Begin and End, Try_DUT_Register_Write may
// accept a write before it has reached the chip (a board served by another process sends
// writes without waiting for each answer) and then returns nonzero. Vanlpt_End_Batch sends
// what is held back and returns how many accepted writes failed, with Vanlpt_Last_Error()
// naming the first. A read inside the batch first sends the writes before it; when one of
// them failed, the read is not sent and fails with that write's reason. Ports of this
// machine run every write at once, so End returns 0 for them. Batches nest.
void Vanlpt_Begin_Batch(void);
unsigned long Vanlpt_End_Batch(void);

// Extra: a list of register transactions run in order, as one piece of work: a board
// served by another process gets the whole list in one request instead of a round trip per
// transaction. Each entry writes data to address (read 0) or reads address into data
// (read 1). Returns count when every transaction succeeded; else the index of the one that
// failed, with Vanlpt_Last_Error() naming it and why; the ones after it were not run. Inside
// a batch the writes held back go first; when one of them failed, nothing is run, 0 is
// returned and that write's failure is reported, as for a read.
typedef struct {
    unsigned char read;
    unsigned char address;
    unsigned char data;
} Vanlpt_Transaction;
unsigned long Vanlpt_Run_Transactions(Vanlpt_Transaction* list, unsigned long count);

// Extra: how many changes other programs made to the selected board since it was selected,
// a count that only grows (0 for a board this process alone uses). A register cache that
// sees the count move must forget what it knows: another program may have written any
// register.
unsigned long Vanlpt_Foreign_Changes(void);

// ---- Extras of a board served by another process (osdex serve; targets unix:PATH,
// tcp:HOST:PORT, server, server:NAME) ----

// The protocol the board server speaks, and its longest request line in bytes.
#define VANLPT_BOARD_PROTOCOL 1
#define VANLPT_BOARD_LINE_MAX 4096

// Extra: keeps the selected board for this process alone until Vanlpt_Release_Board, the
// port is deselected or the process ends: no other program's transaction comes between.
// Waits for the board like any transaction. Nonzero when held (a board this process alone
// uses needs nothing); 0 with Vanlpt_Last_Error() saying who holds it.
int Vanlpt_Hold_Board(void);
void Vanlpt_Release_Board(void);

// Extra: the folder in which board servers put their sockets unless told otherwise:
// $XDG_RUNTIME_DIR/osdex, else /tmp/osdex-UID. The target server:NAME is NAME.sock there.
// Valid until the next call.
const char* Vanlpt_Server_Folder(void);

// ---- Extras of the simulated board behind LPT1: its video output and its faults ----
// They reach that board whether or not LPT1 is selected, and fail (0, with the reason in
// Vanlpt_Last_Error()) when LPT1 is no usable simulated board: a real port, none, a
// simulated port with no board, or a sim:FILE board that cannot be used.

// A channel's frame: display-memory coordinates, row by row from the top.
#define VANLPT_FRAME_WIDTH 712
#define VANLPT_FRAME_HEIGHT 512

// Video sources, the picture a channel's overlay lies over.
#define VANLPT_VIDEO_BARS 0     // colour bars (every channel at the start)
#define VANLPT_VIDEO_RAMP 1     // grey ramp, black at the left to white at the right
#define VANLPT_VIDEO_BLACK 2    // black
#define VANLPT_VIDEO_MOVING 3   // a test pattern that moves from frame to frame
#define VANLPT_VIDEO_PICTURE 4  // a still picture

// Extra: what a monitor on channel 0..7 shows in frame frame_number (the caller numbers the
// frames; only the moving pattern depends on the number): VANLPT_FRAME_WIDTH ×
// VANLPT_FRAME_HEIGHT pixels 0xFFRRGGBB into pixels. *changed (changed may be NULL) is 1
// when any of it was redrawn since the previous call for this channel, 0 when it is the
// frame that call returned. Only what changed is drawn. Nonzero on success; 0 with pixels
// untouched for a bad channel, NULL pixels or no simulated board.
int Vanlpt_Channel_Frame(int channel, unsigned frame_number, uint32_t* pixels, int* changed);

// Extra: the video source of channel 0..7 for the rest of the run (a power cycle of the
// board keeps it). VANLPT_VIDEO_PICTURE takes picture: width × height pixels 0xAARRGGBB
// row by row from the top, copied, scaled to the frame and laid over black by their alpha,
// at most 2^26 pixels; the other sources take NULL, 0, 0. Nonzero on success; 0 with the
// source unchanged for a bad channel, source or picture, or no simulated board.
int Vanlpt_Set_Video_Source(int channel, int source, const uint32_t* picture, int width,
                            int height);
// Extra: the video source of channel 0..7; -1 for a bad channel or no simulated board.
int Vanlpt_Video_Source(int channel);

// Faults of the simulated board, each with one value.
#define VANLPT_FAULT_LOSS_OF_SYNC 1  // bit n set: channel n has no video sync (0..255)
#define VANLPT_FAULT_UNPLUGGED 2     // 1: the cable is pulled from the board (0 or 1)
#define VANLPT_FAULT_STUCK_BUSY 3    // 1: the chip's RDY/~BUSY stays low (0 or 1)
#define VANLPT_FAULT_READ_FLIPS 4    // bit n set: data line Dn reads inverted (0..255)

// Extra: sets a fault's value. Nonzero on success; 0 with nothing changed for an unknown
// fault, a value out of its range, or no simulated board. Faults last until cleared or the
// end of the run; they are never kept in a sim:FILE board.
int Vanlpt_Set_Simulated_Fault(int fault, unsigned value);
// Extra: a fault's value into *value. Nonzero on success; 0 for an unknown fault, NULL
// value or no simulated board.
int Vanlpt_Simulated_Fault(int fault, unsigned* value);
// Extra: ends every fault of every simulated board. Vanlpt_Shutdown calls it.
void Vanlpt_Clear_Simulated_Faults(void);

#ifdef __cplusplus
}
#endif
