// Line_File on POSIX files: open(2) with the creation disposition, an advisory exclusive
// flock so that no second opener (in this or another instance) writes the same file, and
// write + fsync for every line.
#include "shell/line_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace {

int Open_Flags(Plain_File::Creation creation) {
    int flags = O_WRONLY | O_CLOEXEC;
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

// Opens and locks; -1 and *error set when the file cannot be opened or someone else holds
// it. Create-always truncates only once the lock is held, so a file in use is never cut.
int Open_Exclusive(const std::string& name, Plain_File::Creation creation, int* error) {
    if (name.empty()) {
        *error = ENOENT;
        return -1;
    }
    int fd;
    do {
        fd = ::open(name.c_str(), Open_Flags(creation), 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        (creation == Plain_File::Creation::Create_Always && ::ftruncate(fd, 0) != 0)) {
        *error = errno;
        ::close(fd);
        return -1;
    }
    *error = 0;
    return fd;
}

bool Write_All(int fd, const std::string& bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

Plain_File::Plain_File(Access access, Creation creation) : access_(access), creation_(creation) {}

Plain_File::~Plain_File() {
    Close();
}

void Plain_File::Open(const std::string& name) {
    name_ = name;
    Reopen();
}

void Plain_File::Reopen() {
    Close();  // a second open must not leak the first handle
    fd_ = Open_Exclusive(name_, creation_, &open_error_);
    open_flag_ = fd_ >= 0 ? 1 : 0;
}

void Plain_File::Close() {
    if (fd_ >= 0) {
        ::close(fd_);  // releases the lock too
        fd_ = -1;
    }
}

void Plain_File::Reset() {
    Close();
    open_flag_ = 0;
    name_.clear();
    line_count_ = 0;
}

bool Plain_File::Append(const std::string& bytes) {
    if (fd_ < 0) return false;
    const bool at_end = ::lseek(fd_, 0, SEEK_END) >= 0;
    const bool written = Write_All(fd_, bytes);
    return ::fsync(fd_) == 0 && at_end && written;
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
        Append(pending_);  // not checked: the trace must never stop the program
    }
    pending_.clear();
}
