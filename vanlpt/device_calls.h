// The operating-system calls behind the real-port backends, behind one seam so that tests
// can record them and answer in place of a device. Results: >= 0 on success, -errno on
// failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vanlpt {

class DeviceCalls {
public:
    virtual ~DeviceCalls() = default;
    virtual int Open(const std::string& path) = 0;  // read-write; returns a descriptor
    virtual int Ioctl(int fd, unsigned long request, void* arg) = 0;
    virtual int Close(int fd) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // The first line of a small system file (/proc, /sys); "" when it cannot be read.
    virtual std::string Read_Line(const std::string& path);
    // The names in a folder (without . and ..); empty when it cannot be read.
    virtual std::vector<std::string> List_Folder(const std::string& path);
    // The group and permission bits of a file; false when it cannot be looked at.
    virtual bool Node_Access(const std::string& path, std::string* group, unsigned* mode);
    // The groups of this process by name (the effective group first).
    virtual std::vector<std::string> User_Groups();
};

// Port I/O by address (ioperm, inb, outb).
class IoAccess {
public:
    virtual ~IoAccess() = default;
    virtual int Ioperm(unsigned long from, unsigned long count, bool on) = 0;
    virtual std::uint8_t Inb(unsigned address) = 0;
    virtual void Outb(std::uint8_t value, unsigned address) = 0;
};

DeviceCalls& System_Device_Calls();
// nullptr on machines without port I/O instructions.
IoAccess* System_Io_Access();

}  // namespace vanlpt
