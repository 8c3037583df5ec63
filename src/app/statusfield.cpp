#include "statusfield.h"

#include <QEvent>
#include <QStatusBar>

StatusField::StatusField(const QString& name, double share, Kind kind, QStatusBar* bar)
    : QLabel(bar), m_share(share)
{
    setObjectName(name);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setIndent(0);
    setMargin(2);
    if (m_share > 0)
        bar->installEventFilter(this);
    if (kind == Kind::Permanent)
        bar->addPermanentWidget(this);
    else
        bar->addWidget(this, 1);
    hide(); // until it has something to say
}

void StatusField::setFullText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    setToolTip(text);
    setVisible(!text.isEmpty()); // an empty frame says nothing
    updateGeometry();
    showCut();
}

QSize StatusField::sizeHint() const
{
    const int around = 2 * (frameWidth() + margin());
    const QMargins margins = contentsMargins();
    return QSize(fontMetrics().horizontalAdvance(m_text) + around + margins.left() +
                     margins.right(),
                 fontMetrics().height() + around + margins.top() + margins.bottom());
}

QSize StatusField::minimumSizeHint() const
{
    return QSize(0, sizeHint().height());
}

void StatusField::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    showCut();
}

bool StatusField::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize)
        setMaximumWidth(int(static_cast<QWidget*>(watched)->width() * m_share));
    return QLabel::eventFilter(watched, event);
}

void StatusField::showCut()
{
    QLabel::setText(
        fontMetrics().elidedText(m_text, Qt::ElideRight, contentsRect().width() - 2 * margin()));
}
