#include "fileformats.h"

#include "files/binarycodec.h"
#include "files/binaryfile.h"
#include "text/textexport.h"
#include "text/textimport.h"

const QList<FileType>& fileTypes()
{
    // The labels are the dialogs' own texts: the Save As dialog writes "(*.hyo)" where the Open
    // dialog writes "(*.Hyo)".
    static const QList<FileType> types{
        {"Hy3", FileFormat::Hy3, &Hy3Layout, LoadHy3, SaveHy3, false, u"運賃表データ(*.Hy3)",
         u"運賃表データ(*.Hy3)"},
        {"Hyo", FileFormat::Hyo, &HyoLayout, LoadHyo, SaveHyo, true,
         u"以前のバージョンの運賃表データ(*.Hyo)", u"以前のバージョンの運賃表データ(*.hyo)"},
        {"Hyp", FileFormat::Hyp, &HypLayout, LoadHyp, SaveHyp, true,
         u"以前のﾊﾞｰｼﾞｮﾝのCorvane用ﾃﾞｰﾀ(*.Hyp)", u"以前のﾊﾞｰｼﾞｮﾝのCorvane用ﾃﾞｰﾀ(*.Hyp)"},
        {"txt", FileFormat::Text, nullptr, LoadText, exportText, false,
         u"テキストファイル(*.txt;*.csv)", u"テキストファイル(*.txt)"},
        {"csv", FileFormat::Text, nullptr, LoadText, exportText, false, u"",
         u"ｶﾝﾏ区切りCSVﾌｧｲﾙ(*.csv)"},
    };
    return types;
}

QString FileType::extension() const
{
    return QLatin1Char('.') + QString::fromLatin1(name);
}

QString FileType::pattern() const
{
    return QLatin1Char('*') + extension();
}

const FileType* fileTypeForPath(const QString& path)
{
    const QString tail = path.right(4).toUpper();
    for (const FileType& type : fileTypes()) {
        if (tail == type.extension().toUpper())
            return &type;
    }
    return nullptr;
}

FileFormat FormatForPath(const QString& path)
{
    const FileType* type = fileTypeForPath(path);
    return type ? type->format : FileFormat::None;
}

QList<FileFilter> fileFilters(FileKind kind, FileAccess access)
{
    QList<FileFilter> filters;
    for (const FileType& type : fileTypes()) {
        if (type.kind() != kind)
            continue;
        const QString label =
            QString::fromUtf16(access == FileAccess::Open ? type.openLabel : type.saveLabel);
        if (label.isEmpty() && !filters.isEmpty())
            filters.last().patterns += QLatin1Char(';') + type.pattern();
        else
            filters.append({label, type.pattern()});
    }
    return filters;
}

QList<FileFilter> readableFileFilters()
{
    QStringList patterns;
    for (const FileType& type : fileTypes())
        patterns.append(type.pattern());
    const QString all = patterns.join(u';');
    return QList<FileFilter>{{QStringLiteral("読み込めるすべてのファイル(%1)").arg(all), all}} +
           fileFilters(FileKind::FareFile, FileAccess::Open) +
           fileFilters(FileKind::Text, FileAccess::Open);
}

QString extensionList()
{
    QStringList extensions;
    for (const FileType& type : fileTypes())
        extensions.append(type.extension());
    return extensions.join(u' ');
}
