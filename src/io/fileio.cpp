#include "fileio.h"

#include "fileerrors.h"
#include "pathbytes.h"

#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace FileIo {

namespace {

/** An open file descriptor, closed when it goes. */
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd)
    {
        close();
        m_fd = fd;
    }
    /** Closes it; 0, or the error that closing reported (a late write error). */
    int close()
    {
        const int fd = std::exchange(m_fd, -1);
        return fd >= 0 && ::close(fd) != 0 ? errno : 0;
    }

private:
    int m_fd;
};

/** A temporary file's name, removed when it goes unless it was put in the target's place. */
class TemporaryName {
public:
    explicit TemporaryName(QByteArray name) : m_name(std::move(name)) {}
    ~TemporaryName()
    {
        if (!m_name.isEmpty())
            ::unlink(m_name.constData());
    }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    void release() { m_name.clear(); }

private:
    QByteArray m_name;
};

FileState stateOf(const struct stat& status)
{
    return {qint64(status.st_size),
            qint64(status.st_mtim.tv_sec) * 1000000000 + qint64(status.st_mtim.tv_nsec)};
}

/** The state of the open file written through fd. */
FileState writtenState(int fd)
{
    struct stat status {};
    return fstat(fd, &status) == 0 ? stateOf(status) : FileState();
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

/** Writes all of bytes at the descriptor's position; 0, or the error that stopped it. */
int writeAll(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}

/** Follows symbolic links from path to the name of what they finally lead to. */
int resolveLinks(QByteArray& path, struct stat& status, bool& exists)
{
    for (int hops = 0; hops <= 40; ++hops) {
        if (::lstat(path.constData(), &status) != 0) {
            exists = false;
            return errno == ENOENT ? 0 : errno;
        }
        exists = true;
        if (!S_ISLNK(status.st_mode))
            return 0;
        QByteArray link(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(path.constData(), link.data(), size_t(link.size()));
        if (length < 0)
            return errno;
        link.truncate(length);
        path = link.startsWith('/') ? link : folderOf(path) + '/' + link;
    }
    return ELOOP;
}

/** Gives the new file the old one's owner, group and mode, as far as the process may. */
int keepOwnerAndMode(int fd, const struct stat& old)
{
    // The owner first, since changing it clears the setuid and setgid bits. Only root may give
    // a file away; a user may still give it a group they belong to.
    if (fchown(fd, old.st_uid, old.st_gid) != 0 && fchown(fd, uid_t(-1), old.st_gid) != 0) {
        // Otherwise the new file stays the saving user's, as it must.
    }
    if (fchmod(fd, old.st_mode & 07777) == 0)
        return 0;
    // A file system without modes refuses: fine, as long as nobody may do more than before.
    const int error = errno;
    struct stat now {};
    return fstat(fd, &now) == 0 && (now.st_mode & ~old.st_mode & 0777) == 0 ? 0 : error;
}

/** Writes bytes to a temporary file beside target and renames it over target. */
WriteResult replaceFile(const QByteArray& target, const struct stat* old, const QByteArray& bytes)
{
    // A short name, so that any name the file system takes for the target can be saved.
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QByteArray folder = folderOf(target);
    QByteArray temporary;
    Descriptor file;
    for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
        temporary = folder + "/.farewright-";
        for (int i = 0; i < 8; ++i)
            temporary += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
        file.reset(::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC,
                          0666));
        if (!file.valid() && errno != EEXIST)
            break;
    }
    if (!file.valid()) {
        // The new content is written beside the target and then put in its place, so the folder
        // itself must be writable, even when the file is.
        if (errno == EACCES || errno == EPERM)
            return {folderNotWritable()};
        return {missingFailure(errno, decodePath(folder), Access::Write)};
    }
    TemporaryName name(temporary);
    int error = writeAll(file.fd(), bytes);
    if (!error && old)
        error = keepOwnerAndMode(file.fd(), *old);
    if (!error && ::fsync(file.fd()) != 0)
        error = errno;
    const FileState state = writtenState(file.fd()); // renaming keeps it
    if (!error)
        error = file.close();
    if (!error && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error)
        return {systemFailure(error, Access::Write)};
    name.release();
    // The rename itself reaches the disk with the folder.
    if (const Descriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        dir.valid())
        ::fsync(dir.fd());
    return {QString(), false, state};
}

/**
 * Rewrites a file with several hard links through its own name, so that every name keeps
 * showing the one file. The room is reserved first: a full disk or a file-size limit is found
 * while the old content is still whole.
 */
WriteResult writeInPlace(const QByteArray& target, const QByteArray& bytes)
{
    Descriptor file(
        ::open(target.constData(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (!file.valid() || fstat(file.fd(), &status) != 0)
        return {systemFailure(errno, Access::Write)};
    if (!S_ISREG(status.st_mode))
        return {notRegularFile(status.st_mode, Access::Write)};
    // Reserving may lengthen the file (with zeros after the old content); a failure takes that
    // back. A file system that cannot reserve room is written without the reservation.
    if (!bytes.isEmpty() && fallocate(file.fd(), 0, 0, bytes.size()) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS) {
        const QString why = systemFailure(errno, Access::Write);
        return {why, ::ftruncate(file.fd(), status.st_size) != 0};
    }
    int error = writeAll(file.fd(), bytes);
    if (!error && ::ftruncate(file.fd(), bytes.size()) != 0)
        error = errno;
    if (!error && ::fsync(file.fd()) != 0)
        error = errno;
    const FileState state = writtenState(file.fd());
    if (!error)
        error = file.close();
    if (error)
        return {systemFailure(error, Access::Write), true};
    return {QString(), false, state};
}

} // namespace

ReadResult readFile(const QString& path, qint64 maxBytes)
{
    ReadResult result;
    if (path.isEmpty()) {
        result.error = noFileName();
        return result;
    }
    const QByteArray name = encodePath(path);
    // The type first: a FIFO, device or socket is refused without being opened, and one put in
    // the file's place meanwhile is opened without waiting for a writer, then refused.
    struct stat status {};
    if (::stat(name.constData(), &status) != 0) {
        result.error = missingFailure(errno, path, Access::Read);
        return result;
    }
    Descriptor file;
    if (S_ISREG(status.st_mode)) {
        file.reset(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!file.valid() || fstat(file.fd(), &status) != 0) {
            result.error = systemFailure(errno, Access::Read);
            return result;
        }
    }
    if (!S_ISREG(status.st_mode)) {
        result.error = notRegularFile(status.st_mode, Access::Read);
        return result;
    }
    result.state = stateOf(status);
    // Read the size the file has now, never reserving the whole limit for a small file; a file
    // that tells no size (as in /proc) is read in pieces up to its end.
    const qint64 expected = qMin<qint64>(maxBytes, status.st_size);
    qint64 total = 0;
    while (total < (expected > 0 ? expected : maxBytes)) {
        const qint64 piece =
            expected > 0 ? expected - total : qMin<qint64>(maxBytes - total, 1 << 16);
        result.bytes.resize(total + piece);
        const ssize_t n = ::read(file.fd(), result.bytes.data() + total, size_t(piece));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.error = systemFailure(errno, Access::Read);
            result.bytes.clear();
            return result;
        }
        if (n == 0)
            break;
        total += n;
    }
    result.bytes.truncate(total);
    return result;
}

WriteResult writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty())
        return {noFileName()};
    // A symbolic link stays a link: the file it finally leads to is replaced.
    QByteArray target = encodePath(path);
    struct stat old {};
    bool exists = false;
    if (const int error = resolveLinks(target, old, exists))
        return {systemFailure(error, Access::Write)};
    if (!exists) {
        if (decodePath(target).contains(QChar::ReplacementCharacter))
            return {notUtf8Name()};
        return replaceFile(target, nullptr, bytes);
    }
    if (!S_ISREG(old.st_mode))
        return {notRegularFile(old.st_mode, Access::Write)};
    // Root may write any file; one whose mode lets nobody write it is still refused, as it is
    // for every other user.
    if (geteuid() == 0 && (old.st_mode & 0222) == 0)
        return {readOnlyFile()};
    if (faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return {errno == EACCES || errno == EPERM ? readOnlyFile()
                                                  : systemFailure(errno, Access::Write)};
    if (old.st_nlink > 1)
        return writeInPlace(target, bytes);
    return replaceFile(target, &old, bytes);
}

} // namespace FileIo
