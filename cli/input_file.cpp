#include "cli/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::optional<std::string> Read_Input_File(const std::string& path, std::size_t max_bytes,
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
