// Program launch on Linux: a detached child (double fork, so no zombie is left behind) whose
// exec error comes back through a close-on-exec pipe.
#include "shell/program_launcher.h"

#include "shell/services.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>
#include <vector>

namespace {

SystemLauncher system_launcher;

// The separators of a command line; not the locale's idea of a blank, which in some locales
// takes bytes that are part of a UTF-8 file name.
bool Is_Blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The file a program name stands for: a name with a slash as it is, a bare name in the
// current directory when it is there, else the first match on PATH; empty when none.
std::string Resolve_Program(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    if (access(name.c_str(), F_OK) == 0) return "./" + name;
    const char* path = getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

// Reads the exec error the grandchild reports (nothing read: the exec worked).
int Read_Exec_Error(int fd) {
    int error = 0;
    ssize_t got;
    do {
        got = read(fd, &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

// Starts argv detached; 0 or the errno of the failure.
int Spawn_Detached(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0) return errno;
    pid_t child = fork();
    if (child < 0) {
        int error = errno;
        close(pipe_fds[0]);
        close(pipe_fds[1]);
        return error;
    }
    if (child == 0) {
        // Only async-signal-safe calls from here on.
        setsid();
        pid_t grandchild = fork();
        if (grandchild == 0) {
            execv(args[0], args.data());
            int error = errno;
            (void)!write(pipe_fds[1], &error, sizeof error);
            _exit(127);
        }
        if (grandchild < 0) {
            int error = errno;
            (void)!write(pipe_fds[1], &error, sizeof error);
        }
        _exit(0);
    }
    close(pipe_fds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = Read_Exec_Error(pipe_fds[0]);
    close(pipe_fds[0]);
    return error;
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
    if (words[0] == "start" || words[0] == "explorer") words[0] = "xdg-open";
    std::string program = Resolve_Program(words[0]);
    if (program.empty()) return {Launch_File_Not_Found, ENOENT};
    words[0] = program;
    int error = Spawn_Detached(words);
    return {Launch_Code_Of_Error(error), error};
}

ProgramLauncher& Current_Launcher() {
    ProgramLauncher* installed = Program_Services().launcher;
    return installed ? *installed : system_launcher;
}

std::string System_Error_Text(int error) {
    return std::strerror(error);
}
