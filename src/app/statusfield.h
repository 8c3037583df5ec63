#pragma once

#include <QLabel>

class QStatusBar;

/**
 * A permanent field of the status bar. It shows its text whole while there is room and cut with
 * "…" where there is not, and never asks for room: its minimum width is 0, and it takes at most
 * share of the status bar's width (0: no bound), which leaves room for the status bar's short
 * messages beside it. The texts given to it are short already (names quoted briefly).
 */
class StatusField : public QLabel {
public:
    StatusField(const QString& name, double share, QStatusBar* bar);

    /** The text as given, before it is cut to the field's width. */
    const QString& fullText() const { return m_text; }
    void setFullText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCut();

    double m_share;
    QString m_text;
};
