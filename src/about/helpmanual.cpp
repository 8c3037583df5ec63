#include "helpmanual.h"

#include "model/platform.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace HelpManual {

namespace {

/** Where the manual's first page is, or should be, for the program in applicationDir. */
QString indexPath(const QString& applicationDir)
{
    const QDir dir(applicationDir);
    const QString buildRoot =
        QDir::cleanPath(dir.absoluteFilePath(QStringLiteral(FAREWRIGHT_BUILD_ROOT_FROM_APP)));
    if (QFileInfo::exists(buildRoot + QStringLiteral("/CMakeCache.txt")))
        return QDir::cleanPath(buildRoot + QStringLiteral("/" FAREWRIGHT_MANUAL_IN_BUILD));
    return QDir::cleanPath(dir.absoluteFilePath(QStringLiteral(FAREWRIGHT_MANUAL_INSTALLED)));
}

} // namespace

void open(Platform& platform, const QString& applicationDir)
{
    const QString path = indexPath(applicationDir);
    QString failure;
    if (!QFileInfo(path).isFile())
        failure = QStringLiteral("使い方のページが見つかりません。次の場所にあるはずです：");
    else if (!platform.openUrl(QUrl::fromLocalFile(path)))
        failure = QStringLiteral("使い方のページをブラウザーで開けませんでした。次のファイルを"
                                 "開いてください：");
    if (!failure.isEmpty())
        platform.messageBox(failure + QStringLiteral("\r\n") + QDir::toNativeSeparators(path),
                            QString(), Platform::Buttons::Ok, Platform::Icon::Exclamation,
                            Platform::Answer::Ok);
}

} // namespace HelpManual
