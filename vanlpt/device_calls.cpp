#include "vanlpt/device_calls.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define VANLPT_HAS_PORT_IO 1
#endif

namespace vanlpt {

namespace {

class SystemDeviceCalls : public DeviceCalls {
public:
    int Open(const std::string& path) override {
        int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        return fd >= 0 ? fd : -errno;
    }
    int Ioctl(int fd, unsigned long request, void* arg) override {
        int r = ::ioctl(fd, request, arg);
        return r >= 0 ? r : -errno;
    }
    int Close(int fd) override { return ::close(fd) == 0 ? 0 : -errno; }
    bool Exists(const std::string& path) override {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0;
    }
};

#ifdef VANLPT_HAS_PORT_IO
class SystemIoAccess : public IoAccess {
public:
    int Ioperm(unsigned long from, unsigned long count, bool on) override {
        return ::ioperm(from, count, on ? 1 : 0) == 0 ? 0 : -errno;
    }
    std::uint8_t Inb(unsigned address) override {
        return ::inb(static_cast<unsigned short>(address));
    }
    void Outb(std::uint8_t value, unsigned address) override {
        ::outb(value, static_cast<unsigned short>(address));
    }
};
#endif

}  // namespace

std::string DeviceCalls::Read_Line(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::vector<std::string> DeviceCalls::List_Folder(const std::string& path) {
    std::vector<std::string> names;
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr) return names;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(folder);
    return names;
}

namespace {

std::string Group_Name(gid_t id) {
    const group* g = ::getgrgid(id);
    return g ? g->gr_name : std::to_string(id);
}

}  // namespace

bool DeviceCalls::Node_Access(const std::string& path, std::string* group, unsigned* mode) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    *group = Group_Name(st.st_gid);
    *mode = st.st_mode & 07777;
    return true;
}

std::vector<std::string> DeviceCalls::User_Groups() {
    std::vector<std::string> names{Group_Name(::getegid())};
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> ids(count > 0 ? static_cast<std::size_t>(count) : 0);
    if (count <= 0 || ::getgroups(count, ids.data()) != count) return names;
    for (gid_t id : ids) {
        std::string name = Group_Name(id);
        bool listed = false;
        for (const std::string& n : names) listed = listed || n == name;
        if (!listed) names.push_back(name);
    }
    return names;
}

DeviceCalls& System_Device_Calls() {
    static SystemDeviceCalls calls;
    return calls;
}

IoAccess* System_Io_Access() {
#ifdef VANLPT_HAS_PORT_IO
    static SystemIoAccess access;
    return &access;
#else
    return nullptr;
#endif
}

}  // namespace vanlpt
