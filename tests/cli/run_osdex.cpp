#include "run_osdex.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

OsdexRun Run_Osdex_Program(const std::vector<std::string>& args, const std::string& folder) {
    char out_path[] = "/tmp/osdex-out-XXXXXX";
    char err_path[] = "/tmp/osdex-err-XXXXXX";
    const int out_fd = mkstemp(out_path);
    const int err_fd = mkstemp(err_path);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
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

    unsetenv("VANLPT_PORTS");
    pid_t pid = 0;
    OsdexRun run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int wstatus = 0;
        waitpid(pid, &wstatus, 0);
        run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out_fd);
    close(err_fd);
    run.out = File_Bytes(out_path);
    run.err = File_Bytes(err_path);
    std::remove(out_path);
    std::remove(err_path);
    return run;
}
