#pragma once

#include <QFont>
#include <QRawFont>

class QPainter;
class QRect;
class QString;

namespace qv {

// Draws the texts of grid cells: 2 pixels right of and below the cell's top-left corner, a line
// below the other where the cell is tall enough for more than one, cut off at the cell's border.
// Japanese and Latin texts need no shaping, so the glyphs are looked up in the font directly, which
// is several times faster than QPainter::drawText and keeps a screenful of cells cheap to paint. A
// text with a character the font lacks goes through drawText, which finds a fallback font for it.
class CellTextPainter {
public:
    explicit CellTextPainter(const QFont& font);

    // How many lines of text a cell `height` pixels tall shows: at least one.
    int LinesFitting(int height) const;

    // Draws `text` as line `line` (from 0) of the cell, with the painter's pen.
    void Draw(QPainter& painter, const QRect& cell, const QString& text, int line = 0) const;

private:
    void DrawShaped(QPainter& painter, const QRect& cell, const QString& text, int top) const;

    QFont font_;
    QRawFont raw_;
    int ascent_;
    int lineSpacing_;
};

}  // namespace qv
