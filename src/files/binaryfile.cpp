#include "binaryfile.h"

#include "binarycodec.h"
#include "io/tableload.h"
#include "io/tablerecords.h"
#include "model/platform.h"

namespace {

/** Builds the bytes of a save; returns the failure's reason, or an empty text. */
QString encodeTable(FareTable& table, const BinaryLayout& layout, QByteArray& bytes)
{
    const int count = collectRowCount(table, layout.maxWriteRecords);
    if (count == 0)
        return QStringLiteral(
            "系統名称（1 行目の名称）が空欄です。系統名称を入力してから保存してください。");
    const TableRecords rows = readRecords(table, count, layout.fareCount, layout.hasTicketNo);
    if (!rows.ok())
        return rows.error;
    BinaryCodec::Encoded encoded = BinaryCodec::encode(layout, rows.records);
    if (!encoded.ok())
        return encoded.error;
    bytes = std::move(encoded.bytes);
    return QString();
}

/** Asks to confirm what the older formats lose; true for the current one. */
bool confirmFormat(Platform& platform, const BinaryLayout& layout)
{
    const QString text = &layout == &HyoLayout   ? hyoConfirmationText()
                         : &layout == &HypLayout ? hypConfirmationText()
                                                 : QString();
    return text.isEmpty() ||
           platform.messageBox(text, olderFormatConfirmationTitle(), Platform::Buttons::YesNo,
                               Platform::Icon::Exclamation,
                               Platform::Answer::Yes) != Platform::Answer::No;
}

} // namespace

Outcome saveFareTable(FareTable& table, Platform& platform, const QString& path,
                      const BinaryLayout& layout, FileStamp* stamp)
{
    if (!confirmFormat(platform, layout))
        return Outcome::Declined;
    return saveBinary(table, platform, path, layout, stamp);
}

Outcome saveBinary(FareTable& table, Platform& platform, const QString& path,
                   const BinaryLayout& layout, FileStamp* stamp)
{
    return writeTableToFile(
        table, platform, path, [&](QByteArray& bytes) { return encodeTable(table, layout, bytes); },
        stamp);
}

Outcome loadBinary(FareTable& table, Platform& platform, const QString& path,
                   const BinaryLayout& layout, FileStamp* stamp)
{
    const auto decode = [&layout](const QByteArray& bytes) {
        BinaryCodec::Decoded decoded = BinaryCodec::decode(layout, bytes);
        return DecodedRows{std::move(decoded.records), decoded.error};
    };
    return replaceTableFromFile(table, platform, path, BinaryCodec::maxMeaningfulSize(layout),
                                decode, layout.fareCount, layout.hasTicketNo, stamp);
}

QString olderFormatConfirmationTitle()
{
    return QStringLiteral("旧バージョンでの保存確認");
}

QString hyoConfirmationText()
{
    return QStringLiteral("☆旧バージョンの形式で保存しようとしています！\r\n"
                          "\r\n"
                          "※以下の情報は保存されません。よろしいですか？\r\n"
                          "\r\n"
                          "　・201行、73列以降のデータ\r\n"
                          "　・「整理券番号列」に入れてあるデータ\r\n");
}

QString hypConfirmationText()
{
    return QStringLiteral("☆この形式は、Corvane自家用の旧形式です！\r\n"
                          "(このデータに対応したアプリ以外では意味がありません)\r\n"
                          "\r\n"
                          "※また、201行、73列以降のデータは保存されません。よろしいですか？\r\n");
}

Outcome SaveHy3(FareTable& table, Platform& platform, const QString& path)
{
    return saveFareTable(table, platform, path, Hy3Layout);
}

Outcome LoadHy3(FareTable& table, Platform& platform, const QString& path)
{
    return loadBinary(table, platform, path, Hy3Layout);
}

Outcome SaveHyo(FareTable& table, Platform& platform, const QString& path)
{
    return saveFareTable(table, platform, path, HyoLayout);
}

Outcome LoadHyo(FareTable& table, Platform& platform, const QString& path)
{
    return loadBinary(table, platform, path, HyoLayout);
}

Outcome SaveHyp(FareTable& table, Platform& platform, const QString& path)
{
    return saveFareTable(table, platform, path, HypLayout);
}

Outcome LoadHyp(FareTable& table, Platform& platform, const QString& path)
{
    return loadBinary(table, platform, path, HypLayout);
}
