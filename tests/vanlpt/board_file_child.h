// Runs board_file_child (another process on a board kept in a file) with pipes to its stdin
// and stdout, so that a test can wait for what it says instead of for time to pass.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace vanlpt_test {

class BoardFileChild {
public:
    BoardFileChild(const std::string& mode, const std::string& file) {
        int to_child[2], from_child[2];
        if (pipe2(to_child, O_CLOEXEC) != 0 || pipe2(from_child, O_CLOEXEC) != 0) return;
        err_fd_ = mkstemp(err_path_);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, to_child[0], 0);
        posix_spawn_file_actions_adddup2(&actions, from_child[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err_fd_, 2);
        std::vector<std::string> words = {BOARD_FILE_CHILD, mode, file};
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;  // the test's environment but VANLPT_PORTS: the child maps
        for (char** e = environ; *e != nullptr; ++e)
            if (std::string(*e).rfind("VANLPT_PORTS=", 0) != 0) envp.push_back(*e);
        envp.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(to_child[0]);
        close(from_child[1]);
        in_ = to_child[1];
        out_ = fdopen(from_child[0], "r");
    }
    ~BoardFileChild() {
        Wait();
        if (out_) std::fclose(out_);
        if (err_fd_ >= 0) close(err_fd_);
        std::remove(err_path_);
    }
    BoardFileChild(const BoardFileChild&) = delete;
    BoardFileChild& operator=(const BoardFileChild&) = delete;

    pid_t Pid() const { return pid_; }

    // The next line the child prints, without its newline; "" when it printed no more.
    std::string Line() {
        char text[1024];
        if (out_ == nullptr || std::fgets(text, sizeof text, out_) == nullptr) return "";
        std::string line = text;
        if (!line.empty() && line.back() == '\n') line.pop_back();
        return line;
    }
    void Tell(const std::string& line) {
        const std::string text = line + "\n";
        (void)!write(in_, text.data(), text.size());
    }
    // Ends the child's input and waits for it; the wait status as waitpid gives it.
    int Wait() {
        if (in_ >= 0) close(in_);
        in_ = -1;
        if (pid_ > 0 && !waited_) {
            waitpid(pid_, &status_, 0);
            waited_ = true;
        }
        return status_;
    }
    // What the child wrote to stderr (after Wait).
    std::string Err() const {
        std::string text;
        char buffer[4096];
        ssize_t n;
        off_t at = 0;
        while ((n = pread(err_fd_, buffer, sizeof buffer, at)) > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
            at += n;
        }
        return text;
    }

private:
    pid_t pid_ = -1;
    int in_ = -1;
    FILE* out_ = nullptr;
    char err_path_[32] = "/tmp/board-child-err-XXXXXX";
    int err_fd_ = -1;
    int status_ = -1;
    bool waited_ = false;
};

}  // namespace vanlpt_test
