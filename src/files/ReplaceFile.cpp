#include "ReplaceFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <stdexcept>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Vantrel {

namespace {

TFileWriteError Failure(TFileWriteError::TStep step, int error)
{
    return {step, qt_error_string(error)};
}

// The file a chain of symbolic links finally names, so that the links stay.
QByteArray FinalTarget(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return QFile::encodeName(info.isSymLink() ? path : info.filePath());
}

// 0, or the errno of the failed write.
int WriteAll(int fd, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t n = ::write(fd, bytes.data(), size_t(bytes.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        bytes = bytes.sliced(n);
    }
    return 0;
}

// Writes, flushes and closes fd; 0 or the errno of the first failure. The
// descriptor is closed either way.
int WriteAndClose(int fd, QByteArrayView bytes, bool truncate)
{
    int error = WriteAll(fd, bytes);
    if (!error && truncate && ::ftruncate(fd, off_t(bytes.size())) != 0)
        error = errno;
    // A write can be accepted and fail only when it reaches the disk.
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    return error;
}

// A new file beside target, named target plus a random suffix, with mode
// 0666 less the umask; -1 with errno set when it cannot be made.
int CreateBeside(const QByteArray &target, QByteArray &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

std::optional<TFileWriteError> RewriteInPlace(const QByteArray &target, QByteArrayView bytes, int refusal)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return Failure(TFileWriteError::Create, refusal);  // why no new file could be made
    struct stat st {};
    int error = ::fstat(fd, &st) != 0 ? errno : 0;
    // Reserving the room first keeps a full disk from cutting the new
    // content short after the old one has been overwritten.
    if (!error && bytes.size() > st.st_size) {
        error = ::posix_fallocate(fd, 0, off_t(bytes.size()));
        if (error == EOPNOTSUPP)
            error = 0;  // nothing to reserve with; the write must do
    }
    if (error) {
        ::close(fd);
        return Failure(TFileWriteError::Write, error);
    }
    if (const int e = WriteAndClose(fd, bytes, true))
        return Failure(TFileWriteError::Write, e);
    return std::nullopt;
}

} // namespace

std::optional<TFileWriteError> ReplaceFile(const QString &path, const QByteArray &bytes)
{
    const QByteArray target = FinalTarget(path);
    // A file its owner made read-only stays as it is, though the rename
    // could replace it.
    if (::faccessat(AT_FDCWD, target.constData(), F_OK, 0) == 0 &&
        ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return Failure(TFileWriteError::Create, errno);
    QByteArray temp;
    const int fd = CreateBeside(target, temp);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM)
            return RewriteInPlace(target, bytes, error);
        return Failure(TFileWriteError::Create, error);
    }
    struct stat old {};
    int error = 0;
    if (::stat(target.constData(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0)
        error = errno;
    if (!error)
        error = WriteAndClose(fd, bytes, false);
    else
        ::close(fd);
    if (!error && ::rename(temp.constData(), target.constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temp.constData());
        return Failure(TFileWriteError::Write, error);
    }
    return std::nullopt;
}

void ThrowCannotCreate(const QString &path, const QString &reason)
{
    throw std::runtime_error(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason).toStdString());
}

void SaveWholeFile(const QString &path, const QByteArray &bytes)
{
    if (const auto failure = ReplaceFile(path, bytes))
        ThrowCannotCreate(path, failure->Reason);
}

} // namespace Vantrel
