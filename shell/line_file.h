// Line_File: an append-only text file that hands every line to the system before the call
// returns, so that a trace survives a crash of the program or a hung bus, and pushes it to
// disk at least every Sync_Interval_ms and on close. Held exclusively while open
// (an advisory flock that another instance of the program honours too). Only regular files
// are opened: a pipe, device or folder of that name is refused, never waited on.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Open_Error() of a name that is a pipe, device or folder.
inline constexpr int Open_Error_Not_Regular = -1;

// The reason for a failed open as a message shows it: "it is in use by another program",
// "it is not a regular file ...", else the system's text for the error.
std::string Open_Failure_Reason(int error);

class Plain_File {
public:
    enum class Access : std::uint32_t { Write = 0x40000000u };
    enum class Creation { Create_New, Create_Always, Open_Existing, Open_Always };

    Plain_File(Access access, Creation creation);
    virtual ~Plain_File();
    Plain_File(const Plain_File&) = delete;
    Plain_File& operator=(const Plain_File&) = delete;

    // Stores the name and opens the file exclusively; the open flag says whether it worked.
    void Open(const std::string& name);
    void Reopen();
    void Close();  // the open flag keeps its value
    void Reset();  // Close, then open flag 0, name empty, line count 0

    // Writes all bytes at the end of the file, flushing to disk when Sync_Interval_ms have
    // passed since the last flush; false when there is no handle or a step failed. A failed
    // write (a full disk) cuts the file back to its length before the call, so that it never
    // ends in half a record, and Write_Error() says why.
    bool Append(const std::string& bytes);
    // errno of the last failed write or flush since the last open or Reset; 0 when none.
    int Write_Error() const { return write_error_; }
    // errno of the last failed open (EWOULDBLOCK: another opener holds the file;
    // Open_Error_Not_Regular: not a regular file); 0 after a successful one.
    int Open_Error() const { return open_error_; }

    bool Has_Handle() const { return fd_ >= 0; }
    std::uint8_t Open_Flag() const { return open_flag_; }
    const std::string& Name() const { return name_; }
    std::int32_t Line_Count() const { return line_count_; }
    Access Access_Mode() const { return access_; }
    Creation Creation_Mode() const { return creation_; }

    static constexpr std::uint32_t Sync_Interval_ms = 100;

    // The write(2) every Append goes through, so that tests can make a disk full; nullptr
    // puts the system's back.
    using Write_Function = ssize_t (*)(int fd, const void* bytes, std::size_t count);
    static void Use_Write_Function(Write_Function write);

protected:
    std::uint32_t last_sync_ms_ = 0;
    Access access_;
    Creation creation_;
    int fd_ = -1;
    std::string name_;
    std::uint8_t open_flag_ = 0;
    std::int32_t line_count_ = 0;
    int open_error_ = 0;
    int write_error_ = 0;
};

class Line_File : public Plain_File {
public:
    Line_File();

    void Line_File_Open(const std::string& name);
    // Appends text and CR LF at the end of the file and flushes it to disk. When the write
    // fails, the file keeps its whole lines, Write_Error() says why, and the file is let go:
    // later lines are counted and dropped, as after a failed open.
    void Line_File_Write_Line(const char* text);
    void Line_File_Write_Line(const std::string& text);
    // Flush, Reset, and the access and creation modes back to write / open always.
    void Line_File_Close();
    void Flush();

private:
    void Let_Go_After_Failed_Write();

    std::string pending_;
};
