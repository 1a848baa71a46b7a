// A disk that fills up, for the tests of the files the program writes line by line: an
// injected write(2) that lets a number of writes through and then takes half of the next
// one before it fails with ENOSPC, as a real full disk does; and a tiny tmpfs where the
// machine allows one to be mounted (root only).
#pragma once

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string>

#include "shell/line_file.h"

class FullDiskAfter {
public:
    // The first `writes` write calls go through; the disk is full from then on.
    explicit FullDiskAfter(int writes) {
        writes_left_ = writes;
        half_taken_ = false;
        Plain_File::Use_Write_Function(Write);
    }
    ~FullDiskAfter() { Plain_File::Use_Write_Function(nullptr); }
    FullDiskAfter(const FullDiskAfter&) = delete;
    FullDiskAfter& operator=(const FullDiskAfter&) = delete;

private:
    static ssize_t Write(int fd, const void* bytes, std::size_t count) {
        if (writes_left_ > 0) {
            --writes_left_;
            return ::write(fd, bytes, count);
        }
        if (!half_taken_ && count > 1) {
            half_taken_ = true;
            return ::write(fd, bytes, count / 2);
        }
        errno = ENOSPC;
        return -1;
    }
    static inline int writes_left_ = 0;
    static inline bool half_taken_ = false;
};

// A tmpfs of 64 kB mounted on an existing folder for the object's life; Mounted() is false
// where mounting is not allowed (not root, no mount namespace rights).
class TinyTmpfs {
public:
    explicit TinyTmpfs(std::string folder) : folder_(std::move(folder)) {
        mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~TinyTmpfs() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    TinyTmpfs(const TinyTmpfs&) = delete;
    TinyTmpfs& operator=(const TinyTmpfs&) = delete;
    bool Mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};
