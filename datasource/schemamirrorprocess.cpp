#include "datasource/schemamirrorprocess.h"

#include "foundation/runtimeerror.h"

#include <QFile>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ordwick {

namespace {

// Far more than reading any sound file takes; a damaged one that makes a
// library loop or allocate without end meets these limits instead.
constexpr rlim_t kProcessorSeconds = 60;
constexpr int kWaitSeconds = 120;
constexpr rlim_t kMemoryHeadroom = rlim_t(1) << 30;

constexpr char kAnswer = 'A';
constexpr char kFailure = 'F';

// The data segment the child may grow to: what this process uses now plus
// headroom. Read before forking, so the child only has to apply it.
rlim_t dataLimit() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return RLIM_INFINITY;
    const QList<QByteArray> fields = statm.readAll().simplified().split(' ');
    bool ok = false;
    const qulonglong pages = fields.size() > 5 ? fields.at(5).toULongLong(&ok) : 0;
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (!ok || pageSize <= 0)
        return RLIM_INFINITY;
    return rlim_t(pages) * rlim_t(pageSize) + kMemoryHeadroom;
}

void lowerLimit(int resource, rlim_t value) {
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0)
        return;
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? value : std::min(value, limit.rlim_max);
    setrlimit(resource, &limit);
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

[[noreturn]] void runChild(int fd, const std::function<QByteArray()>& read, rlim_t memory) {
    // The program's crash handlers (error log, stack traces) are not for a
    // child that a damaged file brings down: it just ends.
    for (const int crash : {SIGABRT, SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGXCPU, SIGTRAP, SIGSYS})
        ::signal(crash, SIG_DFL);
    // A damaged file leaves no core dump behind.
    lowerLimit(RLIMIT_CORE, 0);
    // The libraries dump what puzzles them in a damaged file to stdout and
    // stderr; the answer, or why there is none, goes through the pipe.
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (quiet >= 0) {
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
    }
    lowerLimit(RLIMIT_CPU, kProcessorSeconds);
    if (memory != RLIM_INFINITY)
        lowerLimit(RLIMIT_DATA, memory);
    QByteArray message;
    try {
        message = kAnswer + read();
    } catch (const RuntimeError& error) {
        QDataStream out(&message, QIODevice::WriteOnly);
        out << qint8(kFailure) << qint32(error.number()) << error.description();
    } catch (...) {
        _exit(1);
    }
    // _exit: the parent's exit handlers and buffers are not the child's to run.
    _exit(writeAll(fd, message) ? 0 : 1);
}

QByteArray receive(int fd, pid_t child, bool& complete) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(kWaitSeconds);
    QByteArray received;
    char buffer[65536];
    complete = false;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd readable{fd, POLLIN, 0};
        const int ready = ::poll(&readable, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            complete = count == 0;
            break;
        }
        received.append(buffer, count);
    }
    if (!complete)
        ::kill(child, SIGKILL);
    return received;
}

} // namespace

QByteArray readInChildProcess(const std::function<QByteArray()>& read, const QString& damaged) {
    const rlim_t memory = dataLimit();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw RuntimeError(DataError::GeneralFailure,
                           QStringLiteral("The file cannot be read: %1")
                               .arg(QString::fromLocal8Bit(std::strerror(errno))));
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        runChild(fds[1], read, memory);
    }
    ::close(fds[1]);
    if (child < 0) {
        const int error = errno;
        ::close(fds[0]);
        throw RuntimeError(DataError::GeneralFailure,
                           QStringLiteral("The file cannot be read: %1")
                               .arg(QString::fromLocal8Bit(std::strerror(error))));
    }
    bool complete = false;
    const QByteArray received = receive(fds[0], child, complete);
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const bool exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!complete || !exited || received.isEmpty())
        throw RuntimeError(DataError::GeneralFailure, damaged);
    if (received.front() == kAnswer)
        return received.mid(1);
    QDataStream in(received);
    qint8 kind = 0;
    qint32 number = 0;
    QString description;
    in >> kind >> number >> description;
    if (in.status() != QDataStream::Ok)
        throw RuntimeError(DataError::GeneralFailure, damaged);
    throw RuntimeError(number, description);
}

} // namespace ordwick
