#include "vanlpt/device_calls.h"

#include <fcntl.h>
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
