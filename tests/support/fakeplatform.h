#pragma once

#include "model/platform.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

/**
 * A scripted platform: records every request and answers message boxes and file dialogs from
 * queues set up by the test. An empty answer queue answers with the default button / cancels.
 */
class FakePlatform : public Platform {
public:
    struct Message {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
        Answer defaultButton;
    };
    struct Dialog {
        bool save;
        QList<FileFilter> filters;
        QString initialPath;
    };

    QList<Message> messages;
    QList<Answer> answers;
    QList<Dialog> dialogs;
    QList<std::optional<QString>> fileAnswers;
    int busyDepth = 0;
    int busyCalls = 0;
    int processEventsCalls = 0;
    int commitOpenEditCalls = 0;
    int versionDialogs = 0;
    QStringList statusNotes;
    QList<QUrl> urls;     ///< every address asked to be opened
    bool urlOpens = true; ///< what openUrl answers
    /** Runs before every question and file dialog: the test looks at what the user sees. */
    std::function<void()> beforeAsking;

    Answer messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon,
                      Answer defaultButton) override
    {
        if (beforeAsking)
            beforeAsking();
        messages.append({text, title, buttons, icon, defaultButton});
        if (!answers.isEmpty())
            return answers.takeFirst();
        return defaultButton;
    }
    std::optional<QString> openFileName(const QList<FileFilter>& filters,
                                        const QString& initialPath) override
    {
        if (beforeAsking)
            beforeAsking();
        dialogs.append({false, filters, initialPath});
        return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
    }
    std::optional<QString> saveFileName(const QList<FileFilter>& filters,
                                        const QString& initialPath) override
    {
        if (beforeAsking)
            beforeAsking();
        dialogs.append({true, filters, initialPath});
        return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
    }
    void setBusy(bool busy) override
    {
        busyDepth += busy ? 1 : -1;
        ++busyCalls;
    }
    void processEvents() override { ++processEventsCalls; }
    void commitOpenEdit() override { ++commitOpenEditCalls; }
    void showVersionDialog() override { ++versionDialogs; }
    void showStatus(const QString& text) override { statusNotes.append(text); }
    bool openUrl(const QUrl& url) override
    {
        urls.append(url);
        return urlOpens;
    }

    /** The texts of all messages shown so far. */
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const Message& m : messages)
            texts.append(m.text);
        return texts;
    }
};
