#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

namespace qv {

// The colours of the windows in one place. In a light palette they are the design's: aqua fixed
// cells and black text on white cells, in the grid as in the title box and the about box. In a
// dark palette the design's black text would stand on dark grey, so the colours follow the
// palette's own roles instead, but for the fixed cells: a dark aqua keeps them headings.

// Whether `palette` is dark: its window colour has a lightness below the middle.
bool IsDarkPalette(const QPalette& palette);

struct GridColors {
    QColor cellText;         // the data cells' text (their background is the viewport's Base)
    QColor fixedBackground;  // the item names and the row labels
    QColor fixedText;
    QColor highlight;  // the selected range and the current cell
    QColor highlightedText;
    QColor lines;     // between all cells
    QColor dragLine;  // the moving line of a resize
    QColor dropMark;  // where a moved row or column lands
};

GridColors GridColorsFor(const QPalette& palette);

// Keeps the design's black `role` (Text of a box, WindowText of a label) on `widget` while the
// palette around it is light, and hands `role` back to that palette while it is dark, also when
// the desktop switches between the two.
void KeepDesignTextColour(QWidget& widget, QPalette::ColorRole role);

}  // namespace qv
