// A library preloaded into a child process (LD_PRELOAD) that counts the calls which change files and, at a chosen
// one, kills the process or makes the call fail: a full disk, a read-only folder, a failing drive, without touching
// the machine's disks. TSUMIKI_FAULT is "<action>@<n>" or "<action>@<n>:<text>", where the action is kill or an
// errno name (ENOSPC, EACCES, EROFS, EIO, EINVAL), n counts from 1, and only calls on paths containing the text
// count. A failure, once met, stays: a full disk does not empty itself. Counting starts when the process calls
// tsumiki_fault_arm(); tsumiki_fault_count() tells how many calls were counted. With TSUMIKI_NO_EXCHANGE set, the
// file system cannot swap two names in one step (renameat2 RENAME_EXCHANGE fails with EINVAL), as on FAT.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#include <stdio.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Plan {
    bool parsed = false;
    bool kill = false;
    int error = 0;
    long at = 0;
    char filter[256] = {};
};

Plan plan;
bool armed = false;
bool failing = false;
long counted = 0;
// Descriptors opened on a path the filter matches.
bool watched[4096];

void parsePlan() {
    if (plan.parsed) {
        return;
    }
    plan.parsed = true;
    const char* spec = std::getenv("TSUMIKI_FAULT");
    if (spec == nullptr) {
        return;
    }
    char action[32] = {};
    std::sscanf(spec, "%31[^@]@%ld:%255[^\n]", action, &plan.at, plan.filter);
    static const struct {
        const char* name;
        int error;
    } errors[] = {{"ENOSPC", ENOSPC}, {"EACCES", EACCES}, {"EROFS", EROFS}, {"EIO", EIO}, {"EINVAL", EINVAL}};
    plan.kill = std::strcmp(action, "kill") == 0;
    for (const auto& e : errors) {
        if (std::strcmp(action, e.name) == 0) {
            plan.error = e.error;
        }
    }
}

bool matches(const char* path) {
    return plan.filter[0] == '\0' || (path != nullptr && std::strstr(path, plan.filter) != nullptr);
}

bool matchesFd(int fd) {
    return plan.filter[0] == '\0' || (fd >= 0 && fd < 4096 && watched[fd]);
}

// Whether this call is to fail (errno set); kills the process when that is the plan. Calls that take space keep
// failing after the first failure; removing, renaming and cutting files short still work, as on a full disk.
bool fault(bool relevant, bool takesSpace = true) {
    parsePlan();
    if (!armed || !relevant) {
        return false;
    }
    if (failing && takesSpace) {
        errno = plan.error;
        return true;
    }
    if (++counted != plan.at) {
        return false;
    }
    if (plan.kill) {
        ::kill(::getpid(), SIGKILL);
    }
    if (plan.error != 0) {
        failing = true;
        errno = plan.error;
        return true;
    }
    return false;
}

template <typename F>
F next(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

void watch(int fd, const char* path) {
    if (fd >= 0 && fd < 4096) {
        watched[fd] = plan.filter[0] != '\0' && matches(path);
    }
}

bool writes(int flags) {
    return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
}

}  // namespace

extern "C" {

void tsumiki_fault_arm() {
    parsePlan();
    armed = true;
}

long tsumiki_fault_count() {
    return counted;
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = va_arg(args, mode_t);
    va_end(args);
    if (fault(writes(flags) && matches(path))) {
        return -1;
    }
    const int fd = next<int (*)(const char*, int, ...)>("open")(path, flags, mode);
    watch(fd, path);
    return fd;
}
int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = va_arg(args, mode_t);
    va_end(args);
    if (fault(writes(flags) && matches(path))) {
        return -1;
    }
    const int fd = next<int (*)(const char*, int, ...)>("open64")(path, flags, mode);
    watch(fd, path);
    return fd;
}
int openat(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = va_arg(args, mode_t);
    va_end(args);
    if (fault(writes(flags) && matches(path))) {
        return -1;
    }
    const int fd = next<int (*)(int, const char*, int, ...)>("openat")(dir, path, flags, mode);
    watch(fd, path);
    return fd;
}
int mkostemp(char* path, int flags) {
    if (fault(matches(path))) {
        return -1;
    }
    const int fd = next<int (*)(char*, int)>("mkostemp")(path, flags);
    watch(fd, path);
    return fd;
}
ssize_t write(int fd, const void* buffer, size_t size) {
    if (fault(matchesFd(fd))) {
        return -1;
    }
    return next<ssize_t (*)(int, const void*, size_t)>("write")(fd, buffer, size);
}
ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) {
    if (fault(matchesFd(fd))) {
        return -1;
    }
    return next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite")(fd, buffer, size, offset);
}
ssize_t pwrite64(int fd, const void* buffer, size_t size, off_t offset) {
    if (fault(matchesFd(fd))) {
        return -1;
    }
    return next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64")(fd, buffer, size, offset);
}
ssize_t writev(int fd, const struct iovec* parts, int count) {
    if (fault(matchesFd(fd))) {
        return -1;
    }
    return next<ssize_t (*)(int, const struct iovec*, int)>("writev")(fd, parts, count);
}
int fsync(int fd) {
    if (fault(matchesFd(fd))) {
        return -1;
    }
    return next<int (*)(int)>("fsync")(fd);
}
int fdatasync(int fd) {
    if (fault(matchesFd(fd))) {
        return -1;
    }
    return next<int (*)(int)>("fdatasync")(fd);
}
int ftruncate(int fd, off_t length) {
    if (fault(matchesFd(fd), false)) {
        return -1;
    }
    return next<int (*)(int, off_t)>("ftruncate")(fd, length);
}
int ftruncate64(int fd, off_t length) {
    if (fault(matchesFd(fd), false)) {
        return -1;
    }
    return next<int (*)(int, off_t)>("ftruncate64")(fd, length);
}
int fchmod(int fd, mode_t mode) {
    if (fault(matchesFd(fd), false)) {
        return -1;
    }
    return next<int (*)(int, mode_t)>("fchmod")(fd, mode);
}
int rename(const char* from, const char* to) {
    if (fault(matches(from) || matches(to), false)) {
        return -1;
    }
    return next<int (*)(const char*, const char*)>("rename")(from, to);
}
int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    if ((flags & RENAME_EXCHANGE) != 0 && std::getenv("TSUMIKI_NO_EXCHANGE") != nullptr) {
        errno = EINVAL;
        return -1;
    }
    if (fault(matches(from) || matches(to), false)) {
        return -1;
    }
    return next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2")(fromDir, from, toDir, to, flags);
}
int link(const char* from, const char* to) {
    if (fault(matches(from) || matches(to), false)) {
        return -1;
    }
    return next<int (*)(const char*, const char*)>("link")(from, to);
}
int unlink(const char* path) {
    if (fault(matches(path), false)) {
        return -1;
    }
    return next<int (*)(const char*)>("unlink")(path);
}
int mkdir(const char* path, mode_t mode) {
    if (fault(matches(path))) {
        return -1;
    }
    return next<int (*)(const char*, mode_t)>("mkdir")(path, mode);
}

}  // extern "C"
