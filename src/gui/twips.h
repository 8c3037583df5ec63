#pragma once

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSize>
#include <QtGlobal>

/**
 * Window geometry is given in twips (1/1440 inch). Twips converts between twips and pixels through
 * the screen's logical resolution: at 96 dots per inch, 15 twips are one pixel.
 */
class Twips {
public:
    static constexpr int PerInch = 1440;

    explicit Twips(qreal dpiX = 96, qreal dpiY = 96) : m_dpiX(dpiX), m_dpiY(dpiY) {}

    /** The conversion of the primary screen (96 dpi when there is none). */
    static Twips ofPrimaryScreen()
    {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen)
            return Twips();
        return Twips(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
    }

    int toPixelsX(int twips) const { return qRound(twips * m_dpiX / PerInch); }
    int toPixelsY(int twips) const { return qRound(twips * m_dpiY / PerInch); }
    int toTwipsX(int pixels) const { return qRound(pixels * PerInch / m_dpiX); }
    int toTwipsY(int pixels) const { return qRound(pixels * PerInch / m_dpiY); }
    QSize toPixels(const QSize& twips) const
    {
        return QSize(toPixelsX(twips.width()), toPixelsY(twips.height()));
    }
    /** A rectangle given in twips (left, top, width, height), in pixels. */
    QRect toPixels(int left, int top, int width, int height) const
    {
        return QRect(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
    }
    QSize toTwips(const QSize& pixels) const
    {
        return QSize(toTwipsX(pixels.width()), toTwipsY(pixels.height()));
    }

private:
    qreal m_dpiX;
    qreal m_dpiY;
};
