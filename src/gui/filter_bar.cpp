#include "gui/filter_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/main_form.h"
#include "app/status_texts.h"
#include "gui/cp932_input.h"

namespace qv {

namespace {

// The pause after the last key or choice before the filter runs: short enough to feel live,
// long enough that a word typed at speed filters once.
constexpr int kSettleMs = 150;
// A filter that comes back at once would only make the note flicker.
constexpr int kFilteringNoteDelayMs = 100;
// A table of a million columns would freeze the window while the list is made; "すべての列"
// still reaches the ones left out.
constexpr int32_t kListedColumns = 10'000;

}  // namespace

FilterBar::FilterBar(MainForm& form, QWidget* focusAfterClosing, QWidget* parent)
    : QFrame(parent), form_(form), focusAfterClosing_(focusAfterClosing) {
    setObjectName(QStringLiteral("FilterBar"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    rowsLayout_ = new QVBoxLayout();
    rowsLayout_->setSpacing(2);
    layout->addLayout(rowsLayout_);

    auto* options = new QHBoxLayout();
    loose_ = new QCheckBox(QStringLiteral("全角/半角・かな・大小を区別しない"), this);
    auto* add = new QPushButton(QStringLiteral("条件の追加(&A)"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("FilterMessage"));
    options->addWidget(loose_);
    options->addWidget(add);
    options->addWidget(message_, 1);
    options->addWidget(close);
    layout->addLayout(options);

    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(kSettleMs);
    connect(timer_, &QTimer::timeout, this, &FilterBar::ApplyInBackground);
    filteringNoteTimer_ = new QTimer(this);
    filteringNoteTimer_->setSingleShot(true);
    filteringNoteTimer_->setInterval(kFilteringNoteDelayMs);
    connect(filteringNoteTimer_, &QTimer::timeout, this,
            [this] { message_->setText(QString::fromUtf8(kFilteringNote)); });
    connect(loose_, &QCheckBox::toggled, this, &FilterBar::Schedule);
    connect(add, &QPushButton::clicked, this, &FilterBar::AddCondition);
    connect(close, &QPushButton::clicked, this, &FilterBar::Close);
    AddCondition();
    hide();
}

void FilterBar::AddCondition() {
    ConditionRow row;
    auto* line = new QHBoxLayout();
    row.column = new QComboBox(this);
    row.test = new QComboBox(this);
    row.value = new QLineEdit(this);
    for (int t = 0; t < kFilterTestCount; ++t) {
        row.test->addItem(QString::fromUtf8(FilterTestCaption(static_cast<FilterTest>(t))));
    }
    FillColumns(*row.column);
    line->addWidget(row.column);
    line->addWidget(row.test);
    line->addWidget(row.value, 1);
    rowsLayout_->addLayout(line);
    connect(row.column, &QComboBox::activated, this, &FilterBar::Schedule);
    connect(row.test, &QComboBox::activated, this, &FilterBar::Schedule);
    connect(row.value, &QLineEdit::textEdited, this, &FilterBar::Schedule);
    rows_.push_back(row);
    if (rows_.size() > 1) {
        row.value->setFocus();
    }
}

// "すべての列", then each data column by its item name (its number when it has none).
void FilterBar::FillColumns(QComboBox& box) const {
    const int kept = box.currentIndex();
    box.clear();
    box.addItem(QStringLiteral("すべての列"));
    const TableGrid& grid = form_.Table();
    for (int32_t col = 1; col < std::min(grid.ColCount(), kListedColumns + 1); ++col) {
        const std::string_view name = grid.Cell(col, 0);
        box.addItem(name.empty() ? QStringLiteral("列 %1").arg(col) : DecodeCp932(name));
    }
    box.setCurrentIndex(std::clamp(kept, 0, box.count() - 1));
}

void FilterBar::Open() {
    for (const ConditionRow& row : rows_) {
        FillColumns(*row.column);  // item names and columns may have changed
    }
    show();
    rows_.front().value->setFocus();
    rows_.front().value->selectAll();
}

void FilterBar::Close() {
    timer_->stop();
    hide();
    if (focusAfterClosing_ != nullptr) {
        focusAfterClosing_->setFocus();
    }
}

void FilterBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Close();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        timer_->stop();
        Apply();
        return;
    }
    QFrame::keyPressEvent(event);
}

void FilterBar::Schedule() {
    StopFiltering();  // what it would show is out of date already
    timer_->start();
}

std::vector<FilterBarCondition> FilterBar::Conditions() const {
    std::vector<FilterBarCondition> conditions;
    for (const ConditionRow& row : rows_) {
        conditions.push_back({row.column->currentIndex(),
                              static_cast<FilterTest>(row.test->currentIndex()),
                              row.value->text().toStdString()});
    }
    return conditions;
}

FilterMatching FilterBar::Matching() const {
    return loose_->isChecked() ? FilterMatching::Loose : FilterMatching::Exact;
}

void FilterBar::Apply() {
    StopFiltering();
    message_->setText(QString::fromStdString(form_.Filter().ApplyFilter(Conditions(), Matching())));
}

void FilterBar::ApplyInBackground() {
    StopFiltering();
    filteringNoteTimer_->start();
    form_.Filter().FilterInBackground(Conditions(), Matching(), [this](const std::string& text) {
        filteringNoteTimer_->stop();
        message_->setText(QString::fromStdString(text));
    });
}

void FilterBar::StopFiltering() {
    filteringNoteTimer_->stop();
    form_.Filter().StopFiltering();
    if (message_->text() == QString::fromUtf8(kFilteringNote)) {
        message_->clear();
    }
}

}  // namespace qv
