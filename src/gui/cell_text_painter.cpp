#include "gui/cell_text_painter.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QVarLengthArray>
#include <algorithm>

namespace qv {

namespace {

constexpr int kTextInset = 2;

}  // namespace

CellTextPainter::CellTextPainter(const QFont& font)
    : font_(font),
      raw_(QRawFont::fromFont(font)),
      ascent_(QFontMetrics(font).ascent()),
      lineSpacing_(std::max(1, QFontMetrics(font).lineSpacing())) {}

int CellTextPainter::LinesFitting(int height) const {
    return std::max(1, (height - kTextInset) / lineSpacing_);
}

void CellTextPainter::Draw(QPainter& painter, const QRect& cell, const QString& text,
                           int line) const {
    const int top = cell.top() + kTextInset + line * lineSpacing_;
    const auto length = static_cast<int>(text.size());
    QVarLengthArray<quint32, 64> glyphs(length);
    int count = length;
    if (!raw_.isValid() ||
        !raw_.glyphIndexesForChars(text.constData(), length, glyphs.data(), &count)) {
        DrawShaped(painter, cell, text, top);
        return;
    }
    if (std::find(glyphs.begin(), glyphs.begin() + count, 0u) != glyphs.begin() + count) {
        DrawShaped(painter, cell, text, top);  // a character this font has no glyph for
        return;
    }
    // Glyphs that would start beyond the cell's right border are left out; the last one drawn
    // may still cross it, and then the cell clips.
    const QPointF origin(cell.left() + kTextInset, top + ascent_);
    const qreal room = cell.right() + 1 - origin.x();
    QVarLengthArray<QPointF, 64> positions(count);
    raw_.advancesForGlyphIndexes(glyphs.data(), positions.data(), count);
    qreal x = 0;
    int shown = 0;
    for (; shown < count && x < room; ++shown) {
        const qreal advance = positions[shown].x();
        positions[shown] = QPointF(x, 0);
        x += advance;
    }
    if (shown == 0) {
        return;
    }
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setRawData(glyphs.data(), positions.data(), shown);
    const bool overflows = x > room || top + ascent_ + raw_.descent() > cell.bottom() + 1;
    if (overflows) {
        painter.setClipRect(cell);
    }
    painter.drawGlyphRun(origin, run);
    if (overflows) {
        painter.setClipping(false);
    }
}

void CellTextPainter::DrawShaped(QPainter& painter, const QRect& cell, const QString& text,
                                 int top) const {
    painter.save();
    painter.setFont(font_);
    painter.setClipRect(cell);
    painter.drawText(cell.left() + kTextInset, top + ascent_, text);
    painter.restore();
}

}  // namespace qv
