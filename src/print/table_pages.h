#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/window_system.h"
#include "view/print_layout.h"

class QPainter;
class QPagedPaintDevice;
class QRectF;

namespace qv {

class TableGrid;

// The printed pages of a table, as the preview shows them, the printer prints them and the PDF
// holds them: the title and the date at the top, the item names and the row labels repeated on
// every page, "ページ n / N" at the bottom. Painting one page costs in that page's cells only.
class TablePages {
public:
    // `date` (UTF-8) is printed beside the title as it is given.
    TablePages(const PrintJob& job, QString date);

    const PrintLayout& Layout() const { return *layout_; }
    // The table row printed as the layout's row `row`.
    int32_t TableRow(int32_t row) const {
        return shownRows_.empty() ? row : shownRows_[static_cast<std::size_t>(row)];
    }
    int32_t PageCount() const { return layout_->PageCount(); }
    // The paper in its orientation, with no margins of the device's own (the pages keep theirs).
    QPageLayout PageLayout() const;
    // The paper's size in the layout's pixels (96 to the inch).
    double PaperWidth() const { return paperWidth_; }
    double PaperHeight() const { return paperHeight_; }

    // Paints page `index` (from 0) with the painter's origin at the paper's top-left corner and
    // its unit the layout's pixel.
    void Paint(QPainter& painter, int32_t index) const;

private:
    int32_t RowHeight(int32_t row) const;
    int32_t WrappedTextHeight(int32_t col, int32_t row) const;
    void PaintHeader(QPainter& painter, int32_t index) const;
    void PaintCells(QPainter& painter, const PrintPage& page) const;
    void PaintCell(QPainter& painter, const QRectF& cell, int32_t col, int32_t row) const;
    // How many of the text's first characters fit in `room` pixels. Japanese text is set with no
    // kerning, so the characters' own advances add up to the line's width.
    qsizetype CharactersFitting(const QString& text, double room) const;

    const TableGrid& grid_;
    QString title_;
    QString date_;
    PrintChoices choices_;
    double paperWidth_ = 0;
    double paperHeight_ = 0;
    double margin_ = 0;
    QFont cellFont_;
    QFontMetricsF metrics_;
    QFont pageFont_;
    double lineSpacing_ = 1;
    double ascent_ = 0;
    std::unique_ptr<PrintLayout> layout_;
    std::vector<int32_t> shownRows_;  // printing the rows a filter shows: those rows, in order
};

// Told after each page: `done` of `total` pages. Returns false to stop.
using PageProgress = std::function<bool(int32_t done, int32_t total)>;

// Paints every page on `device` (a printer or a PDF writer) a page at a time, each page handed
// to the device when it is done. Returns false when `progress` stopped it.
bool PaintPages(const TablePages& pages, QPagedPaintDevice& device, const PageProgress& progress);

// Writes the pages as a PDF file with the fonts embedded, replacing `path` atomically; the
// file grows as pages are made. Returns false, leaving `path` as it was, when `progress` stopped
// it. Raises Failure when the file cannot be written.
bool WritePdfFile(const TablePages& pages, const std::string& path, const PageProgress& progress);

// Today's date as the header prints it ("2026/12/07").
QString PrintDateToday();

}  // namespace qv
