#include "fileformats.h"

#include "files/binarycodec.h"
#include "files/binaryfile.h"
#include "text/textexport.h"
#include "text/textimport.h"

const QList<FileType>& fileTypes()
{
    static const QList<FileType> types{
        {"Hy3", FileFormat::Hy3, &Hy3Layout, LoadHy3, SaveHy3, false},
        {"Hyo", FileFormat::Hyo, &HyoLayout, LoadHyo, SaveHyo, true},
        {"Hyp", FileFormat::Hyp, &HypLayout, LoadHyp, SaveHyp, true},
        {"txt", FileFormat::Text, nullptr, LoadText, exportText, false},
        {"csv", FileFormat::Text, nullptr, LoadText, exportText, false},
    };
    return types;
}

QString FileType::extension() const
{
    return QLatin1Char('.') + QString::fromLatin1(name);
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
