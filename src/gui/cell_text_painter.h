#pragma once

#include <QFont>
#include <QRawFont>

class QPainter;
class QRect;
class QString;

namespace qv {

// Draws the one-line texts of grid cells: 2 pixels right of and below the cell's top-left
// corner, cut off at the cell's border. Japanese and Latin texts need no shaping, so the glyphs
// are looked up in the font directly, which is several times faster than QPainter::drawText and
// keeps a screenful of cells cheap to paint. A text with a character the font lacks goes through
// drawText, which finds a fallback font for it.
class CellTextPainter {
public:
    explicit CellTextPainter(const QFont& font);

    // Draws with the painter's pen.
    void Draw(QPainter& painter, const QRect& cell, const QString& text) const;

private:
    void DrawShaped(QPainter& painter, const QRect& cell, const QString& text) const;

    QFont font_;
    QRawFont raw_;
    int ascent_;
};

}  // namespace qv
