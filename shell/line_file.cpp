// Line_File on POSIX files: open(2) with the creation disposition, an advisory exclusive
// flock so that no second opener (in this or another instance) writes the same file, and
// every line written at once with write(2).
//
// A line that write(2) has taken belongs to the kernel: it reaches the file even when the
// program crashes the next moment or hangs on the bus, which is what the file is for. Only a
// crash of the whole machine can still lose it, so the data goes to the disk with fdatasync
// at most every Sync_Interval_ms and when the file is closed. A flush per line would cost the
// disk's own flush time (150-300 us on the disks measured, the same for fdatasync, fsync and
// O_DSYNC; bench/shell prints the figures) and make a full erase with the batch file on
// last minutes. O_APPEND puts every write at the end without a seek of our own.
#include "shell/line_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/clock.h"

#include <cerrno>
#include <cstring>

namespace {

Plain_File::Write_Function write_function = ::write;

int Open_Flags(Plain_File::Creation creation) {
    // Non-blocking, so that a pipe that takes the place of the file after the check below
    // cannot hold the open; cleared once the file is known to be regular.
    int flags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK;
    switch (creation) {
        case Plain_File::Creation::Create_New:
            return flags | O_CREAT | O_EXCL;
        case Plain_File::Creation::Create_Always:  // truncated only once the lock is held
        case Plain_File::Creation::Open_Always:
            return flags | O_CREAT;
        case Plain_File::Creation::Open_Existing:
            return flags;
    }
    return flags;
}

// A pipe would block the open until a reader comes, a device would take the lines for
// itself: only a regular file, or none yet, may be opened.
bool Names_No_Other_Kind_Of_File(const std::string& name) {
    struct stat info;
    return ::stat(name.c_str(), &info) != 0 || S_ISREG(info.st_mode);
}

bool Is_Regular(int fd) {
    struct stat info;
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

int Open_Retrying(const std::string& name, Plain_File::Creation creation) {
    int fd;
    do {
        fd = ::open(name.c_str(), Open_Flags(creation), 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Locks, clears O_NONBLOCK and truncates for create-always; errno set on failure.
bool Take_Opened_File(int fd, Plain_File::Creation creation) {
    const int flags = ::fcntl(fd, F_GETFL);
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 && flags >= 0 &&
           ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 &&
           (creation != Plain_File::Creation::Create_Always || ::ftruncate(fd, 0) == 0);
}

// Opens and locks; -1 and *error set when the file cannot be opened, is no regular file or
// someone else holds it. Create-always truncates only once the lock is held, so a file in
// use is never cut.
int Open_Exclusive(const std::string& name, Plain_File::Creation creation, int* error) {
    if (name.empty()) {
        *error = ENOENT;
        return -1;
    }
    if (!Names_No_Other_Kind_Of_File(name)) {
        *error = Open_Error_Not_Regular;
        return -1;
    }
    const int fd = Open_Retrying(name, creation);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    if (!Is_Regular(fd)) {
        *error = Open_Error_Not_Regular;
        ::close(fd);
        return -1;
    }
    if (!Take_Opened_File(fd, creation)) {
        *error = errno;
        ::close(fd);
        return -1;
    }
    *error = 0;
    return fd;
}

// errno set on failure; *written says how many bytes went out either way.
bool Write_All(int fd, const std::string& bytes, std::size_t* written) {
    *written = 0;
    while (*written < bytes.size()) {
        const ssize_t n = write_function(fd, bytes.data() + *written, bytes.size() - *written);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;
        if (n <= 0) return false;
        *written += static_cast<std::size_t>(n);
    }
    return true;
}

off_t Length_Of(int fd) {
    struct stat info;
    return ::fstat(fd, &info) == 0 ? info.st_size : -1;
}

}  // namespace

std::string Open_Failure_Reason(int error) {
    if (error == EWOULDBLOCK) return "it is in use by another program";
    if (error == Open_Error_Not_Regular)
        return "it is not a regular file (a folder, pipe or device has that name)";
    return std::strerror(error);
}

Plain_File::Plain_File(Access access, Creation creation) : access_(access), creation_(creation) {}

Plain_File::~Plain_File() {
    Close();
}

void Plain_File::Open(const std::string& name) {
    name_ = name;
    Reopen();
}

void Plain_File::Use_Write_Function(Write_Function write) {
    write_function = write ? write : ::write;
}

void Plain_File::Reopen() {
    Close();  // a second open must not leak the first handle
    write_error_ = 0;
    fd_ = Open_Exclusive(name_, creation_, &open_error_);
    open_flag_ = fd_ >= 0 ? 1 : 0;
}

void Plain_File::Close() {
    if (fd_ >= 0) {
        ::fdatasync(fd_);  // what the interval left in the kernel
        ::close(fd_);      // releases the lock too
        fd_ = -1;
    }
}

void Plain_File::Reset() {
    Close();
    open_flag_ = 0;
    name_.clear();
    line_count_ = 0;
    write_error_ = 0;
}

bool Plain_File::Append(const std::string& bytes) {
    if (fd_ < 0) return false;
    std::size_t written = 0;
    bool ok = Write_All(fd_, bytes, &written);
    const std::uint32_t now = Clock_Milliseconds();
    if (ok && now - last_sync_ms_ >= Sync_Interval_ms) {
        last_sync_ms_ = now;
        ok = ::fdatasync(fd_) == 0;
    }
    if (ok) return true;
    write_error_ = errno;
    // Half a line at the end would make the whole file unreadable for a replay. The lock keeps
    // other writers out, so these bytes are the last `written` of the file.
    const off_t length = Length_Of(fd_);
    if (length >= 0) (void)!::ftruncate(fd_, length - static_cast<off_t>(written));
    return false;
}

Line_File::Line_File() : Plain_File(Access::Write, Creation::Open_Always) {}

void Line_File::Line_File_Open(const std::string& name) {
    Open(name);
}

void Line_File::Line_File_Write_Line(const char* text) {
    pending_ += text ? text : "";
    pending_ += "\r\n";
    Flush();
    ++line_count_;
}

void Line_File::Line_File_Write_Line(const std::string& text) {
    Line_File_Write_Line(text.c_str());
}

void Line_File::Line_File_Close() {
    Flush();
    Reset();
    access_ = Access::Write;
    creation_ = Creation::Open_Always;
}

void Line_File::Flush() {
    if (open_flag_ == 1) {
        // A file that was closed behind our back is reopened by name, but never recreated.
        access_ = Access::Write;
        creation_ = Creation::Open_Existing;
        if (!Has_Handle()) Reopen();
        // The trace never stops the program: the owner learns of a failure through
        // Write_Error() and nothing more is written.
        if (Has_Handle() && !Append(pending_)) Let_Go_After_Failed_Write();
    }
    pending_.clear();
}

void Line_File::Let_Go_After_Failed_Write() {
    Close();
    open_flag_ = 0;
}
