#include "print/table_pages.h"

#include <QDate>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

#include "platform/cp932.h"
#include "platform/failure.h"
#include "table/table_grid.h"
#include "view/cell_text_extent.h"

namespace qv {

namespace {

constexpr double kTextInset = 2;
// A wrapped cell is laid out from its first characters only: more than a page could hold
// anyway, and a cell of megabytes must not be laid out whole.
constexpr std::size_t kWrappedCharLimit = 4000;
const QColor kHeadingFill(0xE6, 0xE6, 0xE6);
const QColor kLineColor(0x80, 0x80, 0x80);

QFont FontOf(const QStringList& families, int pixelSize) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

QString Decode(std::string_view cp932) {
    return QString::fromStdString(Cp932ToUtf8(cp932));
}

QPageSize PageSizeOf(Paper paper) {
    switch (paper) {
        case Paper::A3:
            return QPageSize(QPageSize::A3);
        case Paper::B5:
            return QPageSize(QPageSize::JisB5);
        case Paper::B4:
            return QPageSize(QPageSize::JisB4);
        case Paper::Letter:
            return QPageSize(QPageSize::Letter);
        case Paper::A4:
            break;
    }
    return QPageSize(QPageSize::A4);
}

// The lines of a wrapped cell, broken between words where it can and anywhere else (Japanese
// text has no blanks), a line break starting a new line.
void LayOutWrapped(QTextLayout& layout, double width, double maxHeight) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    double y = 0;
    while (y < maxHeight) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) {
            break;
        }
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
}

QString WrappedText(std::string_view cp932) {
    return Decode(Cp932Prefix(cp932, kWrappedCharLimit))
        .replace(QChar(u'\n'), QChar::LineSeparator);
}

}  // namespace

TablePages::TablePages(const PrintJob& job, QString date)
    : grid_(*job.grid),
      title_(Decode(job.title)),
      date_(std::move(date)),
      choices_(job.choices),
      cellFont_(FontOf({QStringLiteral("IPAMincho"), QStringLiteral("IPAexMincho"),
                        QStringLiteral("Noto Serif CJK JP")},
                       15)),
      metrics_(cellFont_),
      pageFont_(FontOf({QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                        QStringLiteral("Noto Sans CJK JP")},
                       14)) {
    const PaperSize paper = PaperSizeOf(choices_.paper);
    const bool landscape = choices_.orientation == PageOrientation::Landscape;
    paperWidth_ = (landscape ? paper.heightMm : paper.widthMm) * kPixelsPerMm;
    paperHeight_ = (landscape ? paper.widthMm : paper.heightMm) * kPixelsPerMm;
    margin_ = choices_.marginMm * kPixelsPerMm;
    lineSpacing_ = std::max(1.0, metrics_.lineSpacing());
    ascent_ = metrics_.ascent();

    PrintLayoutInput input;
    input.paperWidth = paperWidth_;
    input.paperHeight = paperHeight_;
    input.margin = margin_;
    input.scaling = choices_.scaling;
    input.colCount = grid_.ColCount();
    input.colWidth = [this](int32_t col) { return grid_.ColWidth(col); };
    input.headingHeight = grid_.RowHeight(0);
    const bool selection = choices_.rows == PrintedRows::Selection;
    if (choices_.rows == PrintedRows::Shown && job.shownRows) {
        // The layout counts printed rows 0, 1, ...; each stands for a shown row of the table.
        shownRows_ = *job.shownRows;
        input.firstRow = 0;
        input.endRow = static_cast<int32_t>(shownRows_.size());
    } else {
        input.firstRow = selection ? job.selectionFirstRow : 1;
        input.endRow = selection ? job.selectionEndRow : std::max(1, grid_.RowCount());
    }
    input.rowHeight = [this](int32_t row) { return RowHeight(TableRow(row)); };
    layout_ = std::make_unique<PrintLayout>(input);
}

QPageLayout TablePages::PageLayout() const {
    return QPageLayout(PageSizeOf(choices_.paper),
                       choices_.orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                          : QPageLayout::Portrait,
                       QMarginsF());
}

int32_t TablePages::RowHeight(int32_t row) const {
    int32_t height = grid_.RowHeight(row);
    if (choices_.overflow == CellOverflow::Wrap) {
        for (int32_t col = 1; col < grid_.ColCount(); ++col) {
            height = std::max(height, WrappedTextHeight(col, row));
        }
    }
    return height;
}

int32_t TablePages::WrappedTextHeight(int32_t col, int32_t row) const {
    const std::string_view text = grid_.Cell(col, row);
    const double width = grid_.ColWidth(col) - 2 * kTextInset;
    if (text.empty() || width <= 0) {
        return 0;
    }
    const QString shown = WrappedText(text);
    if (text.find('\n') == std::string_view::npos && metrics_.horizontalAdvance(shown) <= width) {
        return 0;  // one line: the row's own height holds it
    }
    QTextLayout layout(shown, cellFont_);
    LayOutWrapped(layout, width, layout_ ? layout_->CellAreaHeight() : paperHeight_);
    return static_cast<int32_t>(layout.boundingRect().height() + 2 * kTextInset + 1);
}

void TablePages::Paint(QPainter& painter, int32_t index) const {
    painter.fillRect(QRectF(0, 0, paperWidth_, paperHeight_), Qt::white);
    PaintHeader(painter, index);
    const QRectF area(margin_, margin_ + kPageHeaderHeight, paperWidth_ - 2 * margin_,
                      layout_->CellAreaHeight() * layout_->Scale());
    painter.save();
    painter.setClipRect(area);
    painter.translate(area.topLeft());
    painter.scale(layout_->Scale(), layout_->Scale());
    PaintCells(painter, layout_->Page(index));
    painter.restore();
}

void TablePages::PaintHeader(QPainter& painter, int32_t index) const {
    painter.setFont(pageFont_);
    painter.setPen(Qt::black);
    const double width = paperWidth_ - 2 * margin_;
    const QRectF header(margin_, margin_, width, kPageHeaderHeight - 8);
    const double dateWidth = QFontMetricsF(pageFont_).horizontalAdvance(date_) + 16;
    painter.drawText(header.adjusted(0, 0, -dateWidth, 0), Qt::AlignLeft | Qt::AlignBottom, title_);
    painter.drawText(header, Qt::AlignRight | Qt::AlignBottom, date_);
    painter.drawLine(QPointF(margin_, header.bottom() + 3),
                     QPointF(margin_ + width, header.bottom() + 3));
    const QRectF footer(margin_, paperHeight_ - margin_ - kPageFooterHeight, width,
                        kPageFooterHeight);
    painter.drawText(footer, Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("ページ %1 / %2").arg(index + 1).arg(PageCount()));
}

void TablePages::PaintCells(QPainter& painter, const PrintPage& page) const {
    std::vector<int32_t> cols{0};
    std::vector<double> lefts{0};
    for (int32_t col = page.firstCol; col < page.endCol; ++col) {
        cols.push_back(col);
    }
    for (int32_t col : cols) {
        lefts.push_back(lefts.back() + grid_.ColWidth(col));
    }
    std::vector<int32_t> rows{0};
    std::vector<double> tops{0};
    for (int32_t row = page.firstRow; row < page.endRow; ++row) {
        rows.push_back(TableRow(row));
    }
    for (int32_t row : rows) {
        tops.push_back(tops.back() + (row == 0 ? grid_.RowHeight(0) : RowHeight(row)));
    }
    // The headings' backgrounds, the texts, then every line at once: a PDF page stays small when
    // the painter's state changes seldom.
    painter.fillRect(QRectF(0, 0, lefts.back(), tops[1]), kHeadingFill);
    painter.fillRect(QRectF(0, tops[1], lefts[1], tops.back() - tops[1]), kHeadingFill);
    painter.setFont(cellFont_);
    painter.setPen(Qt::black);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < cols.size(); ++c) {
            PaintCell(painter,
                      QRectF(lefts[c], tops[r], lefts[c + 1] - lefts[c], tops[r + 1] - tops[r]),
                      cols[c], rows[r]);
        }
    }
    QVector<QLineF> lines;
    if (choices_.gridLines == GridLines::Hidden) {
        lines = {QLineF(0, tops[1], lefts.back(), tops[1]),
                 QLineF(lefts[1], 0, lefts[1], tops.back())};
    } else {
        for (double x : lefts) {
            lines.append(QLineF(x, 0, x, tops.back()));
        }
        for (double y : tops) {
            lines.append(QLineF(0, y, lefts.back(), y));
        }
    }
    QPen pen(kLineColor);
    pen.setWidthF(0.75);
    painter.setPen(pen);
    painter.drawLines(lines);
}

void TablePages::PaintCell(QPainter& painter, const QRectF& cell, int32_t col, int32_t row) const {
    const std::string_view text = grid_.Cell(col, row);
    if (text.empty()) {
        return;
    }
    const QRectF inner = cell.adjusted(kTextInset, kTextInset, 0, 0);
    if (choices_.overflow == CellOverflow::Wrap && row != 0 && col != 0) {
        QTextLayout layout(WrappedText(text), cellFont_);
        LayOutWrapped(layout, inner.width() - kTextInset, inner.height());
        painter.save();
        painter.setClipRect(cell, Qt::IntersectClip);
        layout.draw(&painter, inner.topLeft());
        painter.restore();
        return;
    }
    // As on screen: the lines the cell's height holds, each cut at the cell's right border, here
    // after the last character that fits whole: no clip, which would cost the PDF a graphics
    // state of its own for most cells of a narrow column.
    const auto width = static_cast<int32_t>(cell.width());
    const int lineCount =
        std::max(1, static_cast<int>((cell.height() - kTextInset) / lineSpacing_));
    const std::vector<std::string_view> lines = ShownCellLines(text, width, lineCount);
    for (std::size_t line = 0; line < lines.size(); ++line) {
        QString shown = Decode(lines[line]).replace(QChar(u'\n'), QChar(u' '));
        shown.truncate(CharactersFitting(shown, inner.width() - kTextInset));
        const QPointF origin(inner.left(),
                             inner.top() + static_cast<double>(line) * lineSpacing_ + ascent_);
        // The descent may reach into the cell's line, as on screen; only a row lower than the
        // text needs a clip.
        if (origin.y() <= cell.bottom()) {
            painter.drawText(origin, shown);
            continue;
        }
        painter.save();
        painter.setClipRect(cell, Qt::IntersectClip);
        painter.drawText(origin, shown);
        painter.restore();
    }
}

qsizetype TablePages::CharactersFitting(const QString& text, double room) const {
    double used = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        used += metrics_.horizontalAdvance(text[i]);
        if (used > room) {
            return i;
        }
    }
    return text.size();
}

bool PaintPages(const TablePages& pages, QPagedPaintDevice& device, const PageProgress& progress) {
    QPainter painter;
    if (!painter.begin(&device)) {
        throw Failure("印刷を始められません");
    }
    const double scaleX = device.logicalDpiX() / kPixelsPerInch;
    const double scaleY = device.logicalDpiY() / kPixelsPerInch;
    const int32_t total = pages.PageCount();
    for (int32_t index = 0; index < total; ++index) {
        if (index > 0) {
            device.newPage();
        }
        painter.save();
        painter.scale(scaleX, scaleY);
        pages.Paint(painter, index);
        painter.restore();
        if (progress && !progress(index + 1, total)) {
            painter.end();
            return false;
        }
    }
    painter.end();
    return true;
}

QString PrintDateToday() {
    return QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
}

}  // namespace qv
