#pragma once

// File systems that fail on purpose: a tiny disk that fills up, a read-only one, a process that
// may not override permissions, a file size limit. Each lives in a forked child, so mounts,
// capabilities and limits end with it and never touch the test process or the machine.
// The test process must be single-threaded when it forks (plain GoogleTest mains are).

#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

namespace failing_disk {

/// What a child handed back: its exit status (0: the body ran to its end) and its text.
struct ChildResult {
    int status = -1;
    std::string text;
};

/// Runs body in a forked child and returns the text the body returned. A body that throws
/// ends the child with status 2 and the exception's text.
inline ChildResult InChild(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return {-1, std::string("pipe: ") + std::strerror(errno)};
    const pid_t pid = ::fork();
    if (pid < 0) return {-1, std::string("fork: ") + std::strerror(errno)};
    if (pid == 0) {
        ::close(fds[0]);
        int status = 0;
        std::string text;
        try {
            text = body();
        } catch (const std::exception& e) {
            status = 2;
            text = e.what();
        }
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t n = ::write(fds[1], text.data() + done, text.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::_exit(status);  // no atexit handlers, no leak report of the parent's objects
    }
    ::close(fds[1]);
    ChildResult result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) result.text.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

inline void Check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

/// In a child: mounts a new tmpfs of the given size ("16k") on folder, seen by this child only.
inline void MountSmallDisk(const std::string& folder, const std::string& size) {
    Check(::unshare(CLONE_NEWNS) == 0, "unshare(CLONE_NEWNS)");
    Check(::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0, "mount --make-rprivate /");
    Check(::mount("tmpfs", folder.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0, "mount tmpfs");
}

/// In a child: writes a file of that name until its disk has no room left.
inline void FillUp(const std::string& file) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Check(fd >= 0, "open filler");
    const std::string block(4096, 'f');
    for (std::size_t size = block.size(); size > 0; size /= 2)
        while (::write(fd, block.data(), size) == static_cast<ssize_t>(size)) {
        }
    const int error = errno;
    ::close(fd);
    errno = error;
    Check(error == ENOSPC, "filling the disk");
}

/// In a child, after MountSmallDisk: makes that disk read-only (no file on it may be open for
/// writing).
inline void MakeReadOnly(const std::string& folder) {
    Check(::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0, "remount read-only");
}

/// In a child: gives up the capabilities that let root ignore file permissions, so permission
/// bits bind this process as they bind any user.
inline void DropPermissionOverride() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    Check(::syscall(SYS_capget, &header, data) == 0, "capget");
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        data[cap / 32].effective &= ~(1u << (cap % 32));
        data[cap / 32].permitted &= ~(1u << (cap % 32));
    }
    Check(::syscall(SYS_capset, &header, data) == 0, "capset");
}

/// In a child: files may grow to at most this many bytes; a longer write fails with EFBIG
/// instead of raising SIGXFSZ.
inline void LimitFileSize(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    Check(::setrlimit(RLIMIT_FSIZE, &limit) == 0, "setrlimit(RLIMIT_FSIZE)");
}

}  // namespace failing_disk
