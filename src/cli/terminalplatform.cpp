#include "terminalplatform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

void printError(const QString& text)
{
    QString folded = text;
    folded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (!folded.endsWith(u'\n'))
        folded.append(u'\n');
    const QByteArray bytes = folded.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

bool flushStandardOutput()
{
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (flushed && !std::ferror(stdout))
        return true;
    QString text = QStringLiteral("標準出力に書き込めませんでした。出力は不完全です。");
    if (!flushed && error != 0)
        text += QStringLiteral("（%1）").arg(QString::fromLocal8Bit(std::strerror(error)));
    printError(text);
    return false;
}

void TerminalPlatform::showStatus(const QString& text)
{
    if (m_showNotes)
        printError(text);
}

Platform::Answer TerminalPlatform::messageBox(const QString& text, const QString& title,
                                              Buttons buttons, Icon, Answer)
{
    if (buttons == Buttons::Ok) {
        ++m_failures;
        printError(text);
        return Answer::Ok;
    }
    if (m_assumeYes)
        return Answer::Yes;
    m_refused = true;
    printError(title.isEmpty() ? text : QStringLiteral("%1\n%2").arg(title, text));
    printError(QStringLiteral("（--yes を付けると、この確認に「はい」と答えて続けます。）"));
    return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
}
