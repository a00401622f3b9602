#include "foundation/atomicfile.h"

#include "foundation/runtimeerror.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ordwick {

namespace {

[[noreturn]] void fail(const QString& path, int error) {
    throw RuntimeError(ErrorNumber::PathFileAccess,
                       QStringLiteral("Path/File access error: cannot write \"%1\" (%2)")
                           .arg(path, QString::fromLocal8Bit(std::strerror(error))));
}

mode_t modeFor(const QByteArray& target) {
    struct stat existing {};
    if (::stat(target.constData(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// Closes and removes the temporary file unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const QByteArray& target) : m_name(target + ".XXXXXX") {
        m_fd = ::mkstemp(m_name.data());
    }
    ~TemporaryFile() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_renamed)
            ::unlink(m_name.constData());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return m_fd; }
    bool closeFile() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }
    bool renameTo(const QByteArray& target) {
        m_renamed = ::rename(m_name.constData(), target.constData()) == 0;
        return m_renamed;
    }

private:
    QByteArray m_name;
    int m_fd = -1;
    bool m_renamed = false;
};

// The file a write to `path` must replace: a symbolic link stays a link and
// its target (followed through any chain of links) gets the new bytes.
QString writeTarget(const QString& path) {
    QString current = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            return current;
        const QString target = info.symLinkTarget();
        if (target.isEmpty())
            return current;
        current = target;
    }
    return current;
}

} // namespace

void flushFileSystemOf(const QString& folder) {
    const QByteArray name = QFile::encodeName(folder);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        fail(folder, errno);
    const int result = ::syncfs(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0)
        fail(folder, error);
}

void writeFileAtomically(const QString& path, const QByteArray& bytes, Durability durability) {
    const QByteArray target = QFile::encodeName(writeTarget(path));
    TemporaryFile temporary(target);
    if (temporary.fd() < 0)
        fail(path, errno);
    if (::fchmod(temporary.fd(), modeFor(target)) != 0 || !writeAll(temporary.fd(), bytes) ||
        (durability == Durability::Flushed && ::fsync(temporary.fd()) != 0) ||
        !temporary.closeFile() || !temporary.renameTo(target)) {
        fail(path, errno);
    }
}

} // namespace ordwick
