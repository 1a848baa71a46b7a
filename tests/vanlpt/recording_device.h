// Device calls that record what the library asks of the operating system and answer as a
// ppdev device would, with failures injected per call.
#pragma once

#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/vanlpt/recording_port.h"
#include "vanlpt/device_calls.h"

namespace vanlpt_test {

class RecordingDevice : public vanlpt::DeviceCalls {
public:
    static constexpr int kFd = 7;

    int Open(const std::string& path) override {
        calls.push_back(Join({"open ", path}));
        return open_error ? -open_error : kFd;
    }
    int Close(int fd) override {
        calls.push_back(Join({"close ", std::to_string(fd)}));
        return 0;
    }
    bool Exists(const std::string& path) override { return present.count(path) != 0; }
    std::string Read_Line(const std::string& path) override {
        auto it = lines.find(path);
        return it == lines.end() ? "" : it->second;
    }
    std::vector<std::string> List_Folder(const std::string& path) override {
        auto it = folders.find(path);
        return it == folders.end() ? std::vector<std::string>{} : it->second;
    }
    bool Node_Access(const std::string& path, std::string* group, unsigned* mode) override {
        auto it = nodes.find(path);
        if (it == nodes.end()) return false;
        *group = it->second.first;
        *mode = it->second.second;
        return true;
    }
    std::vector<std::string> User_Groups() override { return groups; }

    int Ioctl(int, unsigned long request, void* arg) override {
        std::string name = Name(request);
        auto* byte = static_cast<unsigned char*>(arg);
        auto* word = static_cast<int*>(arg);
        if (request == PPWDATA || request == PPWCONTROL)
            name = Join({name, " ", RecordingPort::Hex(*byte)});
        if (request == PPDATADIR || request == PPSETMODE)
            name = Join({name, " ", std::to_string(*word)});
        calls.push_back(name);
        auto failure = errors.find(Name(request));
        if (failure != errors.end()) return -failure->second;
        if (request == PPRDATA) *byte = data;
        if (request == PPRSTATUS) *byte = status;
        if (request == PPRCONTROL) *byte = control;
        if (request == PPGETMODES) *static_cast<unsigned int*>(arg) = modes;
        return 0;
    }

    static std::string Name(unsigned long request) {
        static const std::map<unsigned long, std::string> names = {
            {PPEXCL, "PPEXCL"},         {PPCLAIM, "PPCLAIM"},       {PPRELEASE, "PPRELEASE"},
            {PPWDATA, "PPWDATA"},       {PPRDATA, "PPRDATA"},       {PPRSTATUS, "PPRSTATUS"},
            {PPWCONTROL, "PPWCONTROL"}, {PPRCONTROL, "PPRCONTROL"}, {PPDATADIR, "PPDATADIR"},
            {PPSETMODE, "PPSETMODE"},   {PPGETMODES, "PPGETMODES"},
        };
        auto it = names.find(request);
        return it == names.end() ? "ioctl?" : it->second;
    }

    std::vector<std::string> calls;
    std::set<std::string> present = {"/dev/parport0"};
    std::map<std::string, std::string> lines;  // system files by path
    std::map<std::string, std::vector<std::string>> folders;
    std::map<std::string, std::pair<std::string, unsigned>> nodes;  // group and mode by path
    std::vector<std::string> groups = {"engineer"};
    int open_error = 0;
    std::map<std::string, int> errors;  // ioctl name -> errno
    unsigned char data = 0;
    unsigned char status = 0x08;  // RDY high
    unsigned char control = 0x04;
    unsigned int modes = 0x03;  // PCSPP | TRISTATE
};

}  // namespace vanlpt_test
