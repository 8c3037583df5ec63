#include "fileio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace FileIo {

namespace {

QString writeFailure(const QFileDevice& file)
{
    if (file.error() == QFileDevice::ResourceError)
        return QStringLiteral("ディスクの空き容量が足りません（%1）。").arg(file.errorString());
    return QStringLiteral("ファイルに書き込めません（%1）。").arg(file.errorString());
}

} // namespace

QString displayPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

ReadResult readFile(const QString& path, qint64 maxBytes)
{
    ReadResult result;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        result.error = QStringLiteral("ファイルが見つかりません。");
        return result;
    }
    if (info.isDir()) {
        result.error = QStringLiteral("ファイルではなくフォルダーです。");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("ファイルを開けません（%1）。").arg(file.errorString());
        return result;
    }
    // Read what is there, never reserving the whole limit for a small file.
    const qint64 size = file.isSequential() ? 0 : file.size();
    if (size > 0) {
        result.bytes = file.read(qMin(maxBytes, size));
    } else {
        while (result.bytes.size() < maxBytes) {
            const QByteArray chunk =
                file.read(qMin<qint64>(1 << 20, maxBytes - result.bytes.size()));
            if (chunk.isEmpty())
                break;
            result.bytes += chunk;
        }
    }
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("ファイルを読み込めません（%1）。").arg(file.errorString());
        result.bytes.clear();
    }
    return result;
}

QString writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty())
        return QStringLiteral("ファイル名が指定されていません。");
    if (QFileInfo(path).isDir())
        return QStringLiteral("同じ名前のフォルダーがあるため保存できません。");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        // The new content is written beside the target and then put in its place, so the folder
        // itself must be writable, even when the file is.
        const QFileInfo folder(QFileInfo(path).absolutePath());
        if (folder.isDir() && !folder.isWritable())
            return QStringLiteral(
                       "フォルダー「%"
                       "1」に書き込めないため保存できません。別の場所に保存してください。")
                .arg(displayPath(folder.filePath()));
        return QStringLiteral("ファイルを作成できません（%1）。").arg(file.errorString());
    }
    // A write that stops part way (a full disk) reports no error of its own: write the rest
    // until the file system says why it refuses.
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const QString why = writeFailure(file);
            file.cancelWriting();
            return why;
        }
        written += n;
    }
    // QSaveFile::commit() does not notice when the last buffered bytes cannot be written while
    // it closes the file, and would put a cut file in the target's place: flush them first.
    if (!file.flush()) {
        const QString why = writeFailure(file);
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return writeFailure(file);
    return QString();
}

} // namespace FileIo
