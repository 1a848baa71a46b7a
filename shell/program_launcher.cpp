// Program launch on Linux: a detached child (double fork, so no zombie is left behind) whose
// exec error comes back through a close-on-exec pipe. The desktop opener is also waited for:
// it hands the page to the browser and ends at once, and its exit status is the only sign
// that no browser could be found.
#include "shell/program_launcher.h"

#include "shell/services.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <optional>
#include <sstream>
#include <vector>

#include "shell/clock.h"
#include "shell/event_pump.h"

namespace {

SystemLauncher system_launcher;

constexpr const char* Desktop_Opener = "xdg-open";
constexpr int Opener_Poll_ms = 20;  // how often the windows get a turn while it is waited for

// The separators of a command line; not the locale's idea of a blank, which in some locales
// takes bytes that are part of a UTF-8 file name.
bool Is_Blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The file a program name stands for: a name with a slash as it is, a bare name the first
// match in an absolute folder of PATH; empty when none. A bare name is never taken from the
// current folder (nor from an empty or relative PATH entry, which means it): whatever lies
// in the folder the program was started in, a download folder's "xdg-open" for one, must
// not run in its place.
std::string Resolve_Program(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    const char* path = getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        if (dir.empty() || dir[0] != '/') continue;
        std::string candidate = dir + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

// A bare name found nowhere on PATH. When a file of that name lies in the current folder (the
// help page by its bare name), it is there but is not run: the result is that of a file that
// is no program, as the help commands expect of a page; else the name was not found.
LaunchResult Not_On_Path(const std::string& name) {
    if (access(name.c_str(), F_OK) == 0) return {Launch_Bad_Format, EACCES};
    return {Launch_File_Not_Found, ENOENT};
}

bool Is_Desktop_Opener(const std::string& program) {
    const std::size_t slash = program.rfind('/');
    return program.substr(slash == std::string::npos ? 0 : slash + 1) == Desktop_Opener;
}

// What the starting side of a launch sends back through its pipe.
struct ChildReport {
    enum Kind : int { Exec_Failed = 1, Exited = 2 } kind;
    int value;  // the errno of the failed exec, or the wait status of the program's end
};

void Send_Report(int fd, ChildReport::Kind kind, int value) {
    const ChildReport report{kind, value};
    (void)!write(fd, &report, sizeof report);  // at most PIPE_BUF bytes: never torn
}

// The first report from the pipe; nothing when it was closed without one (the exec worked
// and the program was not waited for).
std::optional<ChildReport> Read_Report(int fd) {
    ChildReport report{};
    ssize_t got;
    do {
        got = read(fd, &report, sizeof report);
    } while (got < 0 && errno == EINTR);
    if (got != static_cast<ssize_t>(sizeof report)) return std::nullopt;
    return report;
}

// Runs in the forked child: starts the program as a grandchild in a session of its own, so
// that it outlives the launch and no zombie of it is left here, and reports a failed exec
// (and, when asked, the program's end) through the pipe. Only async-signal-safe calls.
[[noreturn]] void Start_Grandchild(char* const* args, int report_fd, bool report_exit) {
    setsid();
    const pid_t grandchild = fork();
    if (grandchild == 0) {
        execv(args[0], args);
        Send_Report(report_fd, ChildReport::Exec_Failed, errno);
        _exit(127);
    }
    if (grandchild < 0) {
        Send_Report(report_fd, ChildReport::Exec_Failed, errno);
        _exit(0);
    }
    if (report_exit) {
        int status = 0;
        while (waitpid(grandchild, &status, 0) < 0 && errno == EINTR) {
        }
        Send_Report(report_fd, ChildReport::Exited, status);
    }
    _exit(0);
}

void Reap(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

// Waits for the child's first report for at most Opener_Wait_ms, keeping the windows alive
// meanwhile; nothing when the time is up or the program is asked to end first.
std::optional<ChildReport> Wait_For_Report(int fd) {
    const std::uint32_t start = Clock_Milliseconds();
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        const int n = poll(&ready, 1, Opener_Poll_ms);
        if (n > 0) return Read_Report(fd);
        if (n < 0 && errno != EINTR) return std::nullopt;
        if (Process_Pending_Events()) return std::nullopt;
        if (Clock_Milliseconds() - start >= Opener_Wait_ms) return std::nullopt;
    }
}

// The launch result of the program's end: what xdg-open's exit status means.
LaunchResult Result_Of_Exit(int status) {
    if (!WIFEXITED(status)) return {Launch_General_Failure, EIO};
    switch (WEXITSTATUS(status)) {
        case 0:
            return {Launch_Started, 0};
        case 2:  // the file to open does not exist
        case 3:  // no tool to open it with (no browser)
            return {Launch_File_Not_Found, ENOENT};
        default:  // 1 bad arguments, 4 the opening failed
            return {Launch_General_Failure, EIO};
    }
}

// Starts argv detached. With wait_for_exit the program's exit status counts too, as long as
// it comes within Opener_Wait_ms; a program still running then counts as started.
LaunchResult Spawn_Detached(const std::vector<std::string>& argv, bool wait_for_exit) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0) return {Launch_Code_Of_Error(errno), errno};
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(pipe_fds[0]);
        close(pipe_fds[1]);
        return {Launch_Code_Of_Error(error), error};
    }
    if (child == 0) Start_Grandchild(args.data(), pipe_fds[1], wait_for_exit);
    close(pipe_fds[1]);
    std::optional<ChildReport> report;
    if (wait_for_exit) {
        report = Wait_For_Report(pipe_fds[0]);
        // Still waiting for the program: the child lets it go (it carries on on its own).
        if (!report) kill(child, SIGKILL);
    } else {
        report = Read_Report(pipe_fds[0]);
    }
    Reap(child);
    close(pipe_fds[0]);
    if (!report) return {Launch_Started, 0};
    if (report->kind == ChildReport::Exec_Failed)
        return {Launch_Code_Of_Error(report->value), report->value};
    return Result_Of_Exit(report->value);
}

}  // namespace

std::vector<std::string> Command_Line_Words(const std::string& command_line) {
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;
    bool quoted = false;
    for (std::size_t i = 0; i < command_line.size(); ++i) {
        const char c = command_line[i];
        if (quoted) {
            const char next = i + 1 < command_line.size() ? command_line[i + 1] : '\0';
            if (c == '\\' && (next == '"' || next == '\\')) {
                word += next;
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (Is_Blank(c)) {
            if (in_word) words.push_back(std::move(word));
            word.clear();
            in_word = false;
        } else {
            in_word = true;
            if (c == '"')
                quoted = true;
            else
                word += c;
        }
    }
    if (in_word) words.push_back(std::move(word));
    return words;
}

std::string Quote_Command_Word(const std::string& word) {
    const bool plain = !word.empty() && std::none_of(word.begin(), word.end(), [](char c) {
        return c == '"' || Is_Blank(c);
    });
    if (plain) return word;
    std::string quoted = "\"";
    for (char c : word) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

unsigned Launch_Code_Of_Error(int error) {
    switch (error) {
        case 0:
            return Launch_Started;
        case ENOENT:
            return Launch_File_Not_Found;
        case ENOTDIR:
            return Launch_Path_Not_Found;
        case ENOEXEC:
        case EACCES:
            return Launch_Bad_Format;
        case ENOMEM:
        case EAGAIN:
            return Launch_Out_Of_Resources;
        default:
            return Launch_General_Failure;
    }
}

LaunchResult SystemLauncher::Run(const std::string& command_line) {
    std::vector<std::string> words = Command_Line_Words(command_line);
    if (words.empty()) return {Launch_File_Not_Found, ENOENT};
    if (words[0] == "start" || words[0] == "explorer") words[0] = Desktop_Opener;
    const std::string program = Resolve_Program(words[0]);
    if (program.empty()) return Not_On_Path(words[0]);
    const bool opener = Is_Desktop_Opener(program);
    words[0] = program;  // after the test: the opener is known by its name, wherever it lies
    return Spawn_Detached(words, opener);
}

ProgramLauncher& Current_Launcher() {
    ProgramLauncher* installed = Program_Services().launcher;
    return installed ? *installed : system_launcher;
}

std::string System_Error_Text(int error) {
    return std::strerror(error);
}
