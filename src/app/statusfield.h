#pragma once

#include <QLabel>

class QStatusBar;

/**
 * A field of the status bar. It shows its text whole while there is room and cut with "…" where
 * there is not, and never asks for room: its minimum width is 0, and it takes at most share of
 * the status bar's width (0: no bound). A permanent field stays at the right beside the status
 * bar's short messages; the other kind stands at the left, where a short message covers it for
 * the time it is shown. The texts given to it are short already (names quoted briefly).
 */
class StatusField : public QLabel {
public:
    enum class Kind { Permanent, CoveredByMessages };
    StatusField(const QString& name, double share, Kind kind, QStatusBar* bar);

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
