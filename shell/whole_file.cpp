// Whole-file writes through a temporary file and rename(2). The toolkit's save file reports
// a short write as success and loses errno, so the system calls are made here.
//
// The temporary file has one name per target, ".NAME.osdex-tmp" beside it, so that a write
// killed half-way leaves at most one leftover, which the next write of that target reuses.
// Two processes writing the same target take turns on it through an flock; the one that
// waited checks that the name still stands for the file it locked, since the other may have
// renamed it into place meanwhile.
#include "shell/whole_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string Cause(int error) {
    return std::strerror(error);
}

constexpr const char* kNotRegular =
    "it is not a regular file (a folder, pipe or device has that name)";
constexpr int kMaxLinks = 40;  // as the kernel's own limit of links followed

std::string Folder_Of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Name_Of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path finally stands for: a symbolic link is followed (also one whose target
// does not exist yet), so that the link stays a link and its target gets the new content.
std::string Through_Links(std::string path) {
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat link;
        if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
        if (n <= 0) return path;
        const std::string to(target, static_cast<std::size_t>(n));
        path = to[0] == '/' ? to : Folder_Of(path) + "/" + to;
    }
    return path;  // a loop: the open below says so
}

std::string Temporary_Name(const std::string& path) {
    const std::string folder = Folder_Of(path);
    return (path.find('/') == std::string::npos ? "" : folder + "/") + "." + Name_Of(path) +
           ".osdex-tmp";
}

// Leftovers of the earlier naming, NAME.tmp<PID>-<N>, whose writer has ended: each run of a
// killed program left one more of them beside the target.
bool Is_Dead_Writers_Leftover(const std::string& entry, const std::string& prefix) {
    if (entry.compare(0, prefix.size(), prefix) != 0) return false;
    const char* rest = entry.c_str() + prefix.size();
    char* end = nullptr;
    const long pid = std::strtol(rest, &end, 10);
    if (end == rest || *end != '-' || pid <= 0) return false;
    const char* number = end + 1;
    std::strtol(number, &end, 10);
    if (end == number || *end != '\0') return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

void Remove_Old_Leftovers(const std::string& path) {
    const std::string folder = Folder_Of(path);
    const std::string prefix = Name_Of(path) + ".tmp";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!Is_Dead_Writers_Leftover(name, prefix)) continue;
        const std::string leftover = folder + "/" + name;
        struct stat info;
        if (::lstat(leftover.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            ::unlink(leftover.c_str());
    }
    ::closedir(dir);
}

// The process's umask, read without changing it (umask(2) can only set it).
mode_t Current_Umask() {
    FILE* status = std::fopen("/proc/self/status", "re");
    unsigned mask = 022;
    if (!status) return mask;
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "Umask: %o", &mask) == 1) break;
    }
    std::fclose(status);
    return static_cast<mode_t>(mask);
}

bool Same_File(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens and locks the target's temporary file, waiting for another writer of the same
// target; -1 and errno on failure. Never follows a link or opens a pipe planted in its place.
int Lock_Temporary(const std::string& temporary) {
    for (;;) {
        // Owner-writable while it is written, so that a leftover of any target can be reused;
        // the target's mode is given just before it takes the target's place.
        const int fd = ::open(temporary.c_str(),
                              O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (fd < 0) return -1;
        struct stat opened, named;
        const bool regular = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode);
        if (!regular) {
            ::close(fd);
            errno = EEXIST;  // a device in its place: not ours to write
            return -1;
        }
        int locked;
        do {
            locked = ::flock(fd, LOCK_EX);
        } while (locked != 0 && errno == EINTR);
        // The other writer may have renamed the file we opened into place, or removed it.
        if (locked == 0 && ::lstat(temporary.c_str(), &named) == 0 && Same_File(opened, named))
            return fd;
        const int error = errno;
        ::close(fd);
        if (locked != 0) {
            errno = error;
            return -1;
        }
    }
}

bool Write_All(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));  // a short write: the next one says why
    }
    return true;
}

// Fills the locked temporary file and puts it in the target's place; errno on failure.
bool Fill_And_Replace(int fd, const std::string& temporary, const std::string& target, mode_t mode,
                      std::string_view bytes) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 &&
           ::ftruncate(fd, 0) == 0 && Write_All(fd, bytes) && ::fchmod(fd, mode) == 0 &&
           ::fdatasync(fd) == 0 && ::rename(temporary.c_str(), target.c_str()) == 0;
}

}  // namespace

std::optional<std::string> Check_Whole_File_Writable(const std::string& path) {
    const std::string target_path = Through_Links(path);
    struct stat target;
    if (::stat(target_path.c_str(), &target) == 0 && !S_ISREG(target.st_mode))
        return std::string(kNotRegular);
    const std::string folder = Folder_Of(target_path);
    struct stat folder_status;
    if (::stat(folder.c_str(), &folder_status) != 0) return Cause(errno);
    if (!S_ISDIR(folder_status.st_mode)) return Cause(ENOTDIR);
    // The new file is made in the folder and renamed there.
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return Cause(errno);
    return std::nullopt;
}

std::optional<std::string> Write_Whole_File(const std::string& path, std::string_view bytes) {
    const std::string target_path = Through_Links(path);
    struct stat target;
    const bool exists = ::stat(target_path.c_str(), &target) == 0;
    if (exists && !S_ISREG(target.st_mode)) return std::string(kNotRegular);

    // An existing file keeps its rights; a new one gets the usual ones, less the umask.
    const mode_t mode = exists ? (target.st_mode & 07777) : (0666 & ~Current_Umask());
    const std::string temporary = Temporary_Name(target_path);
    const int fd = Lock_Temporary(temporary);
    if (fd < 0) return Cause(errno);
    Remove_Old_Leftovers(target_path);
    const bool ok = Fill_And_Replace(fd, temporary, target_path, mode, bytes);
    const int error = errno;
    if (!ok) ::unlink(temporary.c_str());  // still ours: the lock is held until the close
    ::close(fd);
    if (ok) return std::nullopt;
    return Cause(error);
}

std::optional<std::string> Read_Whole_File(const std::string& path, std::size_t max_bytes,
                                           std::string* bytes) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer for good.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::string(std::strerror(errno));
    struct stat st {};
    std::optional<std::string> problem;
    if (fstat(fd, &st) != 0) {
        problem = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        problem = "not a regular file";
    } else if (static_cast<std::size_t>(st.st_size) > max_bytes) {
        problem = "larger than " + std::to_string(max_bytes) + " bytes";
    } else {
        bytes->assign(static_cast<std::size_t>(st.st_size), '\0');
        std::size_t done = 0;
        while (done < bytes->size()) {
            const ssize_t n = read(fd, bytes->data() + done, bytes->size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                problem = std::strerror(errno);
                break;
            }
            if (n == 0) break;  // shrank while being read
            done += static_cast<std::size_t>(n);
        }
        bytes->resize(done);
    }
    close(fd);
    return problem;
}
