#include "fileformats.h"

#include "files/binarycodec.h"
#include "files/binaryfile.h"
#include "text/textexport.h"
#include "text/textimport.h"

FileFormat FormatForPath(const QString& path)
{
    const QString tail = path.right(4).toUpper();
    if (tail == QLatin1String(".HY3"))
        return FileFormat::Hy3;
    if (tail == QLatin1String(".HYO"))
        return FileFormat::Hyo;
    if (tail == QLatin1String(".HYP"))
        return FileFormat::Hyp;
    if (tail == QLatin1String(".TXT") || tail == QLatin1String(".CSV"))
        return FileFormat::Text;
    return FileFormat::None;
}

FileOperation startupLoaderForPath(const QString& path)
{
    switch (FormatForPath(path)) {
    case FileFormat::Hy3:
        return LoadHy3;
    case FileFormat::Hyo:
        return LoadHyo;
    case FileFormat::Hyp:
        return LoadHyp;
    case FileFormat::Text:
        return LoadText;
    case FileFormat::None:
        break;
    }
    return nullptr;
}

FileOperation openLoaderForPath(const QString& path)
{
    return FormatForPath(path) == FileFormat::Text ? nullptr : startupLoaderForPath(path);
}

FileOperation saveWriterForPath(const QString& path)
{
    switch (FormatForPath(path)) {
    case FileFormat::Hy3:
        return SaveHy3;
    case FileFormat::Hyo:
        return SaveHyo;
    case FileFormat::Hyp:
        return SaveHyp;
    case FileFormat::Text:
    case FileFormat::None:
        break;
    }
    return nullptr;
}

const BinaryLayout* fareFileLayout(const QString& path)
{
    switch (FormatForPath(path)) {
    case FileFormat::Hy3:
        return &Hy3Layout;
    case FileFormat::Hyo:
        return &HyoLayout;
    case FileFormat::Hyp:
        return &HypLayout;
    case FileFormat::Text:
    case FileFormat::None:
        break;
    }
    return nullptr;
}

FileOperation convertWriterForPath(const QString& path)
{
    return FormatForPath(path) == FileFormat::Text ? exportText : saveWriterForPath(path);
}
