#include "documentcommands.h"

#include "filecommands.h"
#include "fileformats.h"
#include "model/faretable.h"
#include "model/platform.h"

DocumentCommands::DocumentCommands(FareTable& table, Platform& platform, FileCommands& files)
    : m_table(table), m_platform(platform), m_files(files)
{
}

QString DocumentCommands::clearPromptText()
{
    return QStringLiteral("現在編集中のデータはすべて消去されます。よろしいですか？");
}

QString DocumentCommands::clearPromptTitle()
{
    return QStringLiteral("新規作成時の確認");
}

QString DocumentCommands::savePromptText()
{
    return QStringLiteral("現在編集中のデータを保存しますか？");
}

QString DocumentCommands::savePromptTitle()
{
    return QStringLiteral("保存の確認");
}

QString DocumentCommands::dropRefusalText()
{
    return QStringLiteral("ドラッグしたファイルは本ツールでは扱えません");
}

QString DocumentCommands::dropRefusalTitle()
{
    return QStringLiteral("ドラッグされたファイル");
}

QString DocumentCommands::argumentText(const QStringList& arguments)
{
    return arguments.mid(1).join(QLatin1Char(' '));
}

Outcome DocumentCommands::openCommandLine(const QString& argumentText)
{
    if (argumentText.isEmpty())
        return Outcome::Declined;
    QString path = argumentText;
    if (path.startsWith(QLatin1Char('"'))) {
        if (path.size() < 2) {
            m_platform.showFailure(
                QStringLiteral("コマンドラインの「%1」はファイル名として扱えません。")
                    .arg(argumentText));
            return Outcome::Failed;
        }
        path = path.mid(1, path.size() - 2);
    }
    return m_files.loadFile(path);
}

bool DocumentCommands::askToClear()
{
    return m_platform.messageBox(clearPromptText(), clearPromptTitle(), Platform::Buttons::YesNo,
                                 Platform::Icon::Exclamation,
                                 Platform::Answer::Yes) != Platform::Answer::No;
}

Outcome DocumentCommands::newDocument()
{
    m_platform.commitOpenEdit();
    if (!askToClear())
        return Outcome::Declined;
    m_table.Data_Cls();
    m_files.forgetDocument();
    return Outcome::Done;
}

bool DocumentCommands::confirmClose()
{
    switch (m_platform.messageBox(savePromptText(), savePromptTitle(),
                                  Platform::Buttons::YesNoCancel, Platform::Icon::Exclamation,
                                  Platform::Answer::Yes)) {
    case Platform::Answer::Yes:
        return m_files.SaveFareFile() == Outcome::Done;
    case Platform::Answer::No:
        return true;
    case Platform::Answer::Ok:
    case Platform::Answer::Cancel:
        break;
    }
    return false;
}

Outcome DocumentCommands::OpenDroppedFile(const QString& path)
{
    m_platform.commitOpenEdit();
    const bool clear = askToClear();
    // Let the window repaint where the message box was.
    m_platform.processEvents();
    if (!clear)
        return Outcome::Declined;
    if (!fileTypeForPath(path)) {
        m_platform.messageBox(dropRefusalText(), dropRefusalTitle(), Platform::Buttons::Ok,
                              Platform::Icon::Critical, Platform::Answer::Ok);
        return Outcome::Failed;
    }
    return m_files.loadFile(path);
}
