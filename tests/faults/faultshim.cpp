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
    const char* text = std::getenv("TSUMIKI_FAULT");
    if (text == nullptr) {
        return;
    }
    char action[32] = {};
    std::sscanf(text, "%31[^@]@%ld:%255[^\n]", action, &plan.at, plan.filter);
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

// The plan's modes come after the flags of the three opening calls, as their callers pass them.
template <typename... Before>
int opened(const char* name, const char* path, int flags, mode_t mode, Before... before) {
    if (fault(writes(flags) && matches(path))) {
        return -1;
    }
    const int fd = next<int (*)(Before..., const char*, int, ...)>(name)(before..., path, flags, mode);
    watch(fd, path);
    return fd;
}

}  // namespace

#define MODE_AFTER(last)             \
    mode_t mode;                     \
    {                                \
        va_list rest;                \
        va_start(rest, last);        \
        mode = va_arg(rest, mode_t); \
        va_end(rest);                \
    }
// A call on a descriptor, or on paths: counted (and perhaps failed) when it concerns what the plan watches.
#define ON_DESCRIPTOR(ret, name, takesSpace, params, args) \
    ret name params {                                      \
        if (fault(matchesFd(fd), takesSpace)) {            \
            return -1;                                     \
        }                                                  \
        return next<ret(*) params>(#name) args;            \
    }
#define ON_PATHS(name, relevant, takesSpace, params, args) \
    int name params {                                      \
        if (fault(relevant, takesSpace)) {                 \
            return -1;                                     \
        }                                                  \
        return next<int(*) params>(#name) args;            \
    }

extern "C" {

void tsumiki_fault_arm() {
    parsePlan();
    armed = true;
}

long tsumiki_fault_count() {
    return counted;
}

int open(const char* path, int flags, ...) {
    MODE_AFTER(flags)
    return opened("open", path, flags, mode);
}
int open64(const char* path, int flags, ...) {
    MODE_AFTER(flags)
    return opened("open64", path, flags, mode);
}
int openat(int dir, const char* path, int flags, ...) {
    MODE_AFTER(flags)
    return opened("openat", path, flags, mode, dir);
}
int mkostemp(char* path, int flags) {
    if (fault(matches(path))) {
        return -1;
    }
    const int fd = next<int (*)(char*, int)>("mkostemp")(path, flags);
    watch(fd, path);
    return fd;
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

ON_DESCRIPTOR(ssize_t, write, true, (int fd, const void* b, size_t n), (fd, b, n))
ON_DESCRIPTOR(ssize_t, pwrite, true, (int fd, const void* b, size_t n, off_t at), (fd, b, n, at))
ON_DESCRIPTOR(ssize_t, pwrite64, true, (int fd, const void* b, size_t n, off_t at), (fd, b, n, at))
ON_DESCRIPTOR(ssize_t, writev, true, (int fd, const struct iovec* parts, int count), (fd, parts, count))
ON_DESCRIPTOR(int, fsync, true, (int fd), (fd))
ON_DESCRIPTOR(int, fdatasync, true, (int fd), (fd))
ON_DESCRIPTOR(int, ftruncate, false, (int fd, off_t length), (fd, length))
ON_DESCRIPTOR(int, ftruncate64, false, (int fd, off_t length), (fd, length))
ON_DESCRIPTOR(int, fchmod, false, (int fd, mode_t mode), (fd, mode))
ON_PATHS(rename, matches(from) || matches(to), false, (const char* from, const char* to), (from, to))
ON_PATHS(link, matches(from) || matches(to), false, (const char* from, const char* to), (from, to))
ON_PATHS(unlink, matches(path), false, (const char* path), (path))
ON_PATHS(mkdir, matches(path), true, (const char* path, mode_t mode), (path, mode))

}  // extern "C"
