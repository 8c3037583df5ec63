#include "terminalplatform.h"

#include "io/pathbytes.h"

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

void TerminalPlatform::showPathAs(const QString& path, const QString& name)
{
    m_shownPath = FileIo::displayPath(path);
    m_shownName = name;
}

void TerminalPlatform::print(QString text) const
{
    if (!m_shownPath.isEmpty())
        text.replace(m_shownPath, m_shownName);
    printError(text);
}

void TerminalPlatform::showStatus(const QString& text)
{
    if (m_showNotes)
        print(text);
}

Platform::Answer TerminalPlatform::messageBox(const QString& text, const QString& title,
                                              Buttons buttons, Icon, Answer)
{
    if (buttons == Buttons::Ok) {
        ++m_failures;
        print(text);
        return Answer::Ok;
    }
    if (m_assumeYes)
        return Answer::Yes;
    m_refused = true;
    print(title.isEmpty() ? text : QStringLiteral("%1\n%2").arg(title, text));
    printError(QStringLiteral("（--yes を付けると、この確認に「はい」と答えて続けます。）"));
    return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
}
