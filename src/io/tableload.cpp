#include "tableload.h"

#include "fileio.h"
#include "filestamp.h"
#include "model/bulkguards.h"
#include "model/faretable.h"
#include "model/platform.h"
#include "pathbytes.h"
#include "tablerecords.h"

QString saveFailure(const QString& path, const QString& reason, bool targetChanged)
{
    return QStringLiteral("「%1」に保存できませんでした。\n%2\n%3")
        .arg(FileIo::displayPath(path), reason,
             targetChanged ? QStringLiteral("ファイルは途中まで書き換わっています。")
                           : QStringLiteral("ファイルは変更していません。"));
}

QString loadFailure(const QString& path, const QString& reason)
{
    return QStringLiteral("「%1」を読み込めませんでした。\n%2\n表は変更していません。")
        .arg(FileIo::displayPath(path), reason);
}

Outcome replaceTableFromFile(FareTable& table, Platform& platform, const QString& path,
                             qint64 maxBytes,
                             const std::function<DecodedRows(const QByteArray&)>& decode,
                             int fareCount, bool withTicketNo, FileStamp* stamp)
{
    QString error;
    {
        BusyPointer busy(platform);
        const FileIo::ReadResult file = FileIo::readFile(path, maxBytes);
        if (file.ok()) {
            const DecodedRows decoded = decode(file.bytes);
            if (decoded.error.isEmpty()) {
                HiddenTable hidden(table);
                table.Data_Cls();
                writeRecords(table, decoded.records, fareCount, withTicketNo);
                if (stamp)
                    *stamp = FileStamp::of(file.state, file.bytes);
            } else {
                error = decoded.error;
            }
        } else {
            error = file.error;
        }
    }
    if (error.isEmpty())
        return Outcome::Done;
    platform.showFailure(loadFailure(path, error));
    return Outcome::Failed;
}

Outcome writeTableToFile(FareTable& table, Platform& platform, const QString& path,
                         const std::function<QString(QByteArray&)>& encode, FileStamp* stamp)
{
    FileIo::WriteResult written;
    {
        BusyPointer busy(platform);
        HiddenTable hidden(table);
        QByteArray bytes;
        written.error = encode(bytes);
        if (written.ok())
            written = FileIo::writeFileAtomically(path, bytes);
        if (written.ok() && stamp)
            *stamp = FileStamp::of(written.state, bytes);
    }
    if (written.ok())
        return Outcome::Done;
    platform.showFailure(saveFailure(path, written.error, written.targetChanged));
    return Outcome::Failed;
}
