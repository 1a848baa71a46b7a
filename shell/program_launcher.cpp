// Program launch on Linux: a detached child (double fork, so no zombie is left behind) whose
// exec error comes back through a close-on-exec pipe.
#include "shell/program_launcher.h"

#include "shell/services.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <vector>

namespace {

SystemLauncher system_launcher;

std::vector<std::string> Words(const std::string& command_line) {
    std::istringstream in(command_line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
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
    std::vector<std::string> words = Words(command_line);
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
