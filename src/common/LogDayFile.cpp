#include "common/LogDayFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Where the last line feed of the file ends, searched back from its end; 0 when
// it has none.
off_t endOfLastWholeLine(int fd, off_t size)
{
    constexpr off_t kStep = 64 * 1024;
    char buffer[kStep];
    off_t end = size;
    while (end > 0) {
        const off_t start = std::max<off_t>(0, end - kStep);
        const ssize_t got = ::pread(fd, buffer, end - start, start);
        if (got != end - start)
            return size;
        for (off_t at = got; at > 0; --at)
            if (buffer[at - 1] == '\n')
                return start + at;
        end = start;
    }
    return 0;
}

} // namespace

LogDayFile::~LogDayFile()
{
    close();
}

QString LogDayFile::nameOf(QDate day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".log");
}

bool LogDayFile::fail(const QString& what)
{
    error = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

bool LogDayFile::open(const QString& folder, QDate day)
{
    close();
    day_ = day;
    path_ = QDir(folder).filePath(nameOf(day));
    if (!QDir().mkpath(folder)) {
        errno = QFileInfo::exists(folder) ? ENOTDIR : EACCES;
        return fail(folder);
    }
    fd = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(path_);
    struct stat status = {};
    if (::fstat(fd, &status) == 0 && status.st_size > 0) {
        const off_t whole = endOfLastWholeLine(fd, status.st_size);
        if (whole < status.st_size && ::ftruncate(fd, whole) != 0) {
            fail(path_);
            close();
            return false;
        }
    }
    return true;
}

void LogDayFile::close()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool LogDayFile::write(const QByteArray& lines)
{
    struct stat status = {};
    if (::fstat(fd, &status) != 0)
        return fail(path_);
    qsizetype done = 0;
    while (done < lines.size()) {
        const ssize_t wrote = ::write(fd, lines.constData() + done, lines.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            if (wrote == 0)
                errno = ENOSPC;
            fail(path_);
            const int cause = errno;
            // Takes back the lines written in part; the file keeps whole lines.
            if (done > 0 && ::ftruncate(fd, status.st_size) != 0)
                close();
            errno = cause;
            return false;
        }
        done += wrote;
    }
    return true;
}
