#include "gui/print_preview_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/program_info.h"

namespace qv {

namespace {

constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 4.0;
constexpr double kZoomStep = 1.25;

template <typename Enum>
Enum Chosen(const QComboBox* box) {
    return static_cast<Enum>(box->currentData().toInt());
}

template <typename Enum>
void Choose(QComboBox* box, Enum value) {
    box->setCurrentIndex(std::max(0, box->findData(static_cast<int>(value))));
}

}  // namespace

// One page, painted as it prints, scaled by the zoom.
class PrintedPageView final : public QWidget {
public:
    explicit PrintedPageView(QWidget* parent) : QWidget(parent) {}

    void Show(const TablePages* pages, int32_t index, double zoom) {
        pages_ = pages;
        index_ = index;
        zoom_ = zoom;
        setFixedSize(static_cast<int>(pages->PaperWidth() * zoom),
                     static_cast<int>(pages->PaperHeight() * zoom));
        update();
    }
    int32_t Index() const { return index_; }
    double ZoomFactor() const { return zoom_; }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        if (pages_ == nullptr) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(zoom_, zoom_);
        pages_->Paint(painter, index_);
    }

private:
    const TablePages* pages_ = nullptr;
    int32_t index_ = 0;
    double zoom_ = 0.75;
};

PrintPreviewDialog::PrintPreviewDialog(const PrintJob& job, PrintTarget target, QWidget* parent)
    : QDialog(parent), job_(job) {
    setObjectName(QStringLiteral("PrintPreviewDialog"));
    const bool printer = target == PrintTarget::Printer;
    setWindowTitle(printer ? QStringLiteral("印刷プレビュー") : QStringLiteral("PDFへの書き出し"));
    setFont(DesignFont(kGothicFont, 12));

    auto* setup = new QWidget(this);
    BuildSetup(setup);

    auto* previous = new QToolButton(this);
    previous->setText(QStringLiteral("◀ 前のページ"));
    auto* next = new QToolButton(this);
    next->setText(QStringLiteral("次のページ ▶"));
    auto* zoomOut = new QToolButton(this);
    zoomOut->setText(QStringLiteral("縮小"));
    auto* zoomIn = new QToolButton(this);
    zoomIn->setText(QStringLiteral("拡大"));
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("PageLabel"));
    zoomLabel_ = new QLabel(this);
    connect(previous, &QToolButton::clicked, this, [this] { ShowPage(CurrentPage() - 1); });
    connect(next, &QToolButton::clicked, this, [this] { ShowPage(CurrentPage() + 1); });
    connect(zoomOut, &QToolButton::clicked, this, [this] { Zoom(1 / kZoomStep); });
    connect(zoomIn, &QToolButton::clicked, this, [this] { Zoom(kZoomStep); });
    view_ = new PrintedPageView(this);
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(view_);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setMinimumSize(480, 420);
    scroll_->setFocusPolicy(Qt::NoFocus);  // the paging keys belong to the dialog

    auto* go = new QPushButton(
        printer ? QStringLiteral("印刷(&P)...") : QStringLiteral("書き出し(&D)..."), this);
    go->setObjectName(QStringLiteral("PrintButton"));
    go->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(go, &QPushButton::clicked, this, &QDialog::accept);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* paging = new QHBoxLayout;
    for (QWidget* widget : {static_cast<QWidget*>(previous), static_cast<QWidget*>(pageLabel_),
                            static_cast<QWidget*>(next)}) {
        paging->addWidget(widget);
    }
    paging->addStretch();
    for (QWidget* widget : {static_cast<QWidget*>(zoomOut), static_cast<QWidget*>(zoomLabel_),
                            static_cast<QWidget*>(zoomIn)}) {
        paging->addWidget(widget);
    }
    auto* pageSide = new QVBoxLayout;
    pageSide->addLayout(paging);
    pageSide->addWidget(scroll_, 1);
    auto* body = new QHBoxLayout;
    body->addWidget(setup);
    body->addLayout(pageSide, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(go);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    Rebuild();
    go->setFocus();
}

PrintPreviewDialog::~PrintPreviewDialog() = default;

void PrintPreviewDialog::keyPressEvent(QKeyEvent* event) {
    const bool control = event->modifiers() == Qt::ControlModifier;
    if (event->key() == Qt::Key_PageDown) {
        ShowPage(CurrentPage() + 1);
    } else if (event->key() == Qt::Key_PageUp) {
        ShowPage(CurrentPage() - 1);
    } else if (control && event->key() == Qt::Key_Home) {
        ShowPage(0);
    } else if (control && event->key() == Qt::Key_End) {
        ShowPage(pages_->PageCount() - 1);
    } else if (event->matches(QKeySequence::ZoomIn)) {
        Zoom(kZoomStep);
    } else if (event->matches(QKeySequence::ZoomOut)) {
        Zoom(1 / kZoomStep);
    } else {
        QDialog::keyPressEvent(event);
    }
}

void PrintPreviewDialog::BuildSetup(QWidget* panel) {
    paper_ = new QComboBox(panel);
    paper_->setObjectName(QStringLiteral("PaperBox"));
    for (const auto& [name, paper] :
         {std::pair{"A4", Paper::A4}, std::pair{"A3", Paper::A3}, std::pair{"B5", Paper::B5},
          std::pair{"B4", Paper::B4}, std::pair{"レター", Paper::Letter}}) {
        paper_->addItem(QString::fromUtf8(name), static_cast<int>(paper));
    }
    orientation_ = new QComboBox(panel);
    orientation_->addItem(QStringLiteral("縦"), static_cast<int>(PageOrientation::Portrait));
    orientation_->addItem(QStringLiteral("横"), static_cast<int>(PageOrientation::Landscape));
    margin_ = new QSpinBox(panel);
    margin_->setRange(kMinMarginMm, kMaxMarginMm);
    margin_->setSuffix(QStringLiteral(" mm"));
    fitWidth_ = new QCheckBox(QStringLiteral("列を1ページの幅に収める"), panel);
    fitWidth_->setObjectName(QStringLiteral("FitWidthBox"));
    rows_ = new QComboBox(panel);
    rows_->setObjectName(QStringLiteral("RowsBox"));
    rows_->addItem(QStringLiteral("すべての行"), static_cast<int>(PrintedRows::All));
    rows_->addItem(QStringLiteral("選択した行"), static_cast<int>(PrintedRows::Selection));
    if (job_.shownRows) {
        rows_->addItem(QStringLiteral("フィルターで表示中の行のみ"),
                       static_cast<int>(PrintedRows::Shown));
    }
    gridLines_ = new QCheckBox(QStringLiteral("罫線を印刷する"), panel);
    wrap_ = new QCheckBox(QStringLiteral("長い文字列は折り返して全体を印刷する"), panel);
    note_ = new QLabel(panel);
    note_->setObjectName(QStringLiteral("ScaleNote"));
    note_->setWordWrap(true);
    note_->setMaximumWidth(220);

    const PrintChoices& offered = job_.choices;
    Choose(paper_, offered.paper);
    Choose(orientation_, offered.orientation);
    margin_->setValue(offered.marginMm);
    fitWidth_->setChecked(offered.scaling == ColumnScaling::FitPageWidth);
    Choose(rows_, offered.rows);
    gridLines_->setChecked(offered.gridLines == GridLines::Shown);
    wrap_->setChecked(offered.overflow == CellOverflow::Wrap);

    auto* form = new QFormLayout(panel);
    form->addRow(QStringLiteral("用紙:"), paper_);
    form->addRow(QStringLiteral("向き:"), orientation_);
    form->addRow(QStringLiteral("余白:"), margin_);
    form->addRow(QStringLiteral("印刷する行:"), rows_);
    form->addRow(fitWidth_);
    form->addRow(gridLines_);
    form->addRow(wrap_);
    form->addRow(note_);

    for (QComboBox* box : {paper_, orientation_, rows_}) {
        connect(box, &QComboBox::currentIndexChanged, this, &PrintPreviewDialog::Rebuild);
    }
    connect(margin_, &QSpinBox::valueChanged, this, &PrintPreviewDialog::Rebuild);
    for (QCheckBox* box : {fitWidth_, gridLines_, wrap_}) {
        connect(box, &QCheckBox::toggled, this, &PrintPreviewDialog::Rebuild);
    }
}

PrintChoices PrintPreviewDialog::Choices() const {
    PrintChoices choices;
    choices.paper = Chosen<Paper>(paper_);
    choices.orientation = Chosen<PageOrientation>(orientation_);
    choices.marginMm = margin_->value();
    choices.scaling =
        fitWidth_->isChecked() ? ColumnScaling::FitPageWidth : ColumnScaling::AsOnScreen;
    choices.rows = Chosen<PrintedRows>(rows_);
    choices.gridLines = gridLines_->isChecked() ? GridLines::Shown : GridLines::Hidden;
    choices.overflow = wrap_->isChecked() ? CellOverflow::Wrap : CellOverflow::Clip;
    return choices;
}

int32_t PrintPreviewDialog::CurrentPage() const {
    return view_->Index();
}

void PrintPreviewDialog::Rebuild() {
    if (view_ == nullptr) {
        return;  // still being built
    }
    PrintJob job = job_;
    job.choices = Choices();
    pages_ = std::make_unique<TablePages>(job, PrintDateToday());
    const int32_t shrink = static_cast<int32_t>(kMinFitScale * 100);
    note_->setText(
        pages_->Layout().ScaleFloored()
            ? QStringLiteral("%1%より小さくはしません。入りきらない列は次のページに印刷します。")
                  .arg(shrink)
            : QString());
    ShowPage(view_->Index());
}

void PrintPreviewDialog::ShowPage(int32_t index) {
    const int32_t page = std::clamp(index, 0, pages_->PageCount() - 1);
    view_->Show(pages_.get(), page, view_->ZoomFactor());
    UpdateLabels();
}

void PrintPreviewDialog::Zoom(double factor) {
    const double zoom = std::clamp(view_->ZoomFactor() * factor, kMinZoom, kMaxZoom);
    view_->Show(pages_.get(), view_->Index(), zoom);
    UpdateLabels();
}

void PrintPreviewDialog::UpdateLabels() {
    pageLabel_->setText(
        QStringLiteral("ページ %1 / %2").arg(view_->Index() + 1).arg(pages_->PageCount()));
    zoomLabel_->setText(QStringLiteral("%1%").arg(qRound(view_->ZoomFactor() * 100)));
}

}  // namespace qv
