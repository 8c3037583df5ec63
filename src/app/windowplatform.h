#pragma once

#include "model/platform.h"

#include <functional>

/**
 * The platform as the window's commands see it: every request goes to the platform the window
 * was given (Qt's dialogs, or a test's scripted fake); committing an open edit runs the window's
 * own commit, and a note goes to the window's status bar as well.
 */
class WindowPlatform : public Platform {
public:
    WindowPlatform(Platform& inner, std::function<void()> commitOpenEdit,
                   std::function<void(const QString&)> showStatus)
        : m_inner(inner), m_commitOpenEdit(std::move(commitOpenEdit)),
          m_showStatus(std::move(showStatus))
    {
    }

    Answer messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon,
                      Answer defaultButton) override
    {
        return m_inner.messageBox(text, title, buttons, icon, defaultButton);
    }
    std::optional<QString> openFileName(const QList<FileFilter>& filters,
                                        const QString& initialPath) override
    {
        return m_inner.openFileName(filters, initialPath);
    }
    std::optional<QString> saveFileName(const QList<FileFilter>& filters,
                                        const QString& initialPath) override
    {
        return m_inner.saveFileName(filters, initialPath);
    }
    void setBusy(bool busy) override { m_inner.setBusy(busy); }
    void processEvents() override { m_inner.processEvents(); }
    void showVersionDialog() override { m_inner.showVersionDialog(); }
    bool openUrl(const QUrl& url) override { return m_inner.openUrl(url); }
    void commitOpenEdit() override
    {
        m_commitOpenEdit();
        m_inner.commitOpenEdit();
    }
    void showStatus(const QString& text) override
    {
        m_showStatus(text);
        m_inner.showStatus(text);
    }

private:
    Platform& m_inner;
    std::function<void()> m_commitOpenEdit;
    std::function<void(const QString&)> m_showStatus;
};
