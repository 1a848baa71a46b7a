#include "run_osdex.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

std::string File_Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

namespace {

StartedOsdex Spawn_Osdex(const std::vector<std::string>& args,
                         const std::vector<std::string>& environment, int stdout_fd,
                         const std::string& folder) {
    StartedOsdex started;
    char out_path[] = "/tmp/osdex-out-XXXXXX";
    char err_path[] = "/tmp/osdex-err-XXXXXX";
    const int out_fd = mkstemp(out_path);
    const int err_fd = mkstemp(err_path);
    started.out_path = out_path;
    started.err_path = err_path;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, stdout_fd >= 0 ? stdout_fd : out_fd, 1);
    posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);

    // The program and its arguments; a folder runs it through the shell's cd.
    std::vector<std::string> words = {OSDEX_EXECUTABLE};
    words.insert(words.end(), args.begin(), args.end());
    if (!folder.empty()) {
        std::string command = "cd \"$0\" && exec \"$@\"";
        words.insert(words.begin(), {"/bin/sh", "-c", command, folder});
    }
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    // This environment without VANLPT_PORTS, then the caller's words.
    std::vector<std::string> env_words;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("VANLPT_PORTS=", 0) != 0) env_words.push_back(*e);
    env_words.insert(env_words.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (std::string& w : env_words) envp.push_back(w.data());
    envp.push_back(nullptr);

    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    started.pid = pid;
    posix_spawn_file_actions_destroy(&actions);
    close(out_fd);
    close(err_fd);
    return started;
}

}  // namespace

StartedOsdex Start_Osdex_Program(const std::vector<std::string>& args,
                                 const std::vector<std::string>& environment, int stdout_fd) {
    return Spawn_Osdex(args, environment, stdout_fd, "");
}

OsdexRun Wait_Osdex_Program(StartedOsdex& started) {
    OsdexRun run;
    if (started.pid > 0) {
        int wstatus = 0;
        while (waitpid(started.pid, &wstatus, 0) < 0 && errno == EINTR) {
        }
        run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
        started.signal = WIFSIGNALED(wstatus) ? WTERMSIG(wstatus) : 0;
    }
    run.out = File_Bytes(started.out_path);
    run.err = File_Bytes(started.err_path);
    std::remove(started.out_path.c_str());
    std::remove(started.err_path.c_str());
    return run;
}

bool Osdex_Running(const StartedOsdex& started) {
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(started.pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return false;
    return info.si_pid == 0;
}

OsdexRun Run_Osdex_Program(const std::vector<std::string>& args, const std::string& folder,
                           const std::vector<std::string>& environment) {
    StartedOsdex started = Spawn_Osdex(args, environment, -1, folder);
    return Wait_Osdex_Program(started);
}
