#include "store/durablefile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tsumiki::durable {
namespace {

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

[[noreturn]] void fail() {
    throw SystemFailure{errno};
}

}  // namespace

int writeAllAt(int fd, QByteArrayView bytes, qint64 offset) {
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t done = ::pwrite(fd, p, size_t(left), offset);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return done == 0 ? ENOSPC : errno;
        }
        p += done;
        left -= done;
        offset += done;
    }
    return 0;
}

QString writeNewFile(const QString& folder, const QString& prefix, QByteArrayView bytes, mode_t mode) {
    QByteArray name = encoded(folder + u'/' + prefix) + "XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        fail();
    }
    auto abandon = [&] {
        const int error = errno;
        ::close(fd);
        ::unlink(name.constData());
        throw SystemFailure{error};
    };
    if (const int error = writeAllAt(fd, bytes, 0); error != 0) {
        errno = error;
        abandon();
    }
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) {
        abandon();
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(name.constData());
        throw SystemFailure{error};
    }
    return QFile::decodeName(name);
}

void syncFolder(const QString& folder) {
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        fail();
    }
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot sync a folder at all; their renames are as durable as they get.
    if (result != 0 && error != EINVAL && error != ENOTSUP) {
        throw SystemFailure{error};
    }
}

void renameFile(const QString& from, const QString& to) {
    if (::rename(encoded(from).constData(), encoded(to).constData()) != 0) {
        fail();
    }
}

bool exchangeFiles(const QString& a, const QString& b) {
    if (::renameat2(AT_FDCWD, encoded(a).constData(), AT_FDCWD, encoded(b).constData(), RENAME_EXCHANGE) == 0) {
        return true;
    }
    if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP || errno == EXDEV) {
        return false;
    }
    fail();
}

bool onSameFileSystem(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(encoded(a).constData(), &sa) == 0 && ::stat(encoded(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev;
}

QString resolvedPath(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

mode_t permissionsOf(const QString& path) {
    struct stat st {};
    return ::stat(encoded(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0644;
}

}  // namespace tsumiki::durable
