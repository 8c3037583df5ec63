#include "filestamp.h"

#include "pathbytes.h"

#include <QCryptographicHash>
#include <cerrno>
#include <sys/stat.h>

FileStamp FileStamp::of(const FileIo::FileState& state, const QByteArray& bytes)
{
    return {state, bytes.size(), QCryptographicHash::hash(bytes, QCryptographicHash::Blake2b_256)};
}

FileMatch compareWithStamp(const QString& path, const FileStamp& stamp)
{
    const FileIo::ReadResult file = FileIo::readFile(path, stamp.hashedBytes);
    if (file.ok())
        return FileStamp::of(file.state, file.bytes) == stamp ? FileMatch::Same
                                                              : FileMatch::Changed;
    struct stat status {};
    const bool gone = ::stat(FileIo::encodePath(path).constData(), &status) != 0 &&
                      (errno == ENOENT || errno == ENOTDIR);
    return gone ? FileMatch::Missing : FileMatch::Changed;
}
