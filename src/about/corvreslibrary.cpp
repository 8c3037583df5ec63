#include "corvreslibrary.h"

#include "corvres/corvres.h"
#include "io/pathbytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace CorvresLibrary {

QString fileName()
{
    return QStringLiteral(FAREWRIGHT_CORVRES_FILE_NAME);
}

QStringList searchPaths(const QString& applicationDir)
{
    return FileIo::pathsIn(applicationDir,
                           {QStringLiteral("."), QStringLiteral(FAREWRIGHT_CORVRES_INSTALLED_DIR),
                            QStringLiteral("../corvres")},
                           fileName());
}

namespace {

Result failed(const QString& description)
{
    Result result;
    result.failure = description;
    return result;
}

/** The library to load, or nothing with a description of why none is there. */
Result locate(const QString& libraryPath)
{
    Result result;
    if (!libraryPath.isEmpty()) {
        if (!QFileInfo::exists(libraryPath))
            return failed(QStringLiteral("リンクライブラリ「%1」が見つかりません。")
                              .arg(QDir::toNativeSeparators(libraryPath)));
        result.ok = true;
        result.text = libraryPath;
        return result;
    }
    const QStringList candidates = searchPaths(QCoreApplication::applicationDirPath());
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate)) {
            result.ok = true;
            result.text = candidate;
            return result;
        }
    }
    QString description =
        QStringLiteral("リンクライブラリ「%1」が見つかりません。探した場所：").arg(fileName());
    for (const QString& candidate : candidates)
        description += QStringLiteral("\r\n") + QDir::toNativeSeparators(candidate);
    return failed(description);
}

} // namespace

Result call(const QString& libraryPath, const char* function)
{
    const Result located = locate(libraryPath);
    if (!located.ok)
        return located;
    const QString shownPath = QDir::toNativeSeparators(located.text);

    QLibrary library(located.text);
    if (!library.load())
        return failed(QStringLiteral("リンクライブラリ「%1」を読み込めません（%2）。")
                          .arg(shownPath, library.errorString()));

    Result result;
    const auto textFunction = reinterpret_cast<CorvresTextFunction>(library.resolve(function));
    if (!textFunction) {
        result.failure = QStringLiteral("リンクライブラリ「%1」に関数 %2 がありません。")
                             .arg(shownPath, QLatin1String(function));
    } else if (const char* text = textFunction()) {
        // Copied before the library, which owns the text, is unloaded.
        result.ok = true;
        result.text = QString::fromUtf8(text);
    } else {
        result.failure = QStringLiteral("リンクライブラリ「%1」の関数 %2 が値を返しませんでした。")
                             .arg(shownPath, QLatin1String(function));
    }
    library.unload();
    return result;
}

} // namespace CorvresLibrary
