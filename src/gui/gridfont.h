#pragma once

#include <QFont>
#include <QStringList>

/** The Japanese Gothic face of the grid, with the faces that stand in for it where it is missing.
 *  The window's grid and the printed fare sheet both use it. */
inline QStringList gridFontFamilies()
{
    return {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
            QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
            QStringLiteral("Noto Sans CJK JP")};
}

/** The grid's face at a size in points (the grid itself uses 9). */
inline QFont gridFontAt(qreal pointSize)
{
    QFont font;
    font.setFamilies(gridFontFamilies());
    font.setPointSizeF(pointSize);
    return font;
}
