// Whole-file writes through a temporary file and rename(2). The toolkit's save file reports
// a short write as success and loses errno, so the system calls are made here.
#include "shell/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string Cause(int error) {
    return std::strerror(error);
}

// A new file beside the target, created exclusively with the target's permissions (or the
// usual ones, less the umask); -1 and errno on failure.
int Create_Beside(const std::string& path, std::string* temporary, mode_t mode) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        const int fd = ::open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
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

constexpr const char* kNotRegular =
    "it is not a regular file (a folder, pipe or device has that name)";

std::string Folder_Of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::optional<std::string> Check_Whole_File_Writable(const std::string& path) {
    struct stat target;
    if (::stat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode))
        return std::string(kNotRegular);
    const std::string folder = Folder_Of(path);
    struct stat folder_status;
    if (::stat(folder.c_str(), &folder_status) != 0) return Cause(errno);
    if (!S_ISDIR(folder_status.st_mode)) return Cause(ENOTDIR);
    // The new file is made in the folder and renamed there.
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return Cause(errno);
    return std::nullopt;
}

std::optional<std::string> Write_Whole_File(const std::string& path, std::string_view bytes) {
    struct stat target;
    const bool exists = ::stat(path.c_str(), &target) == 0;
    if (exists && !S_ISREG(target.st_mode)) return std::string(kNotRegular);

    std::string temporary;
    const mode_t mode = exists ? (target.st_mode & 07777) : 0666;
    const int fd = Create_Beside(path, &temporary, mode);
    if (fd < 0) return Cause(errno);
    if (exists) ::fchmod(fd, mode);  // the umask must not narrow an existing file's rights
    bool ok = Write_All(fd, bytes) && ::fdatasync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) ok = false, error = errno;
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) ok = false, error = errno;
    if (ok) return std::nullopt;
    ::unlink(temporary.c_str());
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
