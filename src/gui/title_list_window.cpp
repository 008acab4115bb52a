#include "gui/title_list_window.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstddef>
#include <string>

#include "app/title_list_form.h"
#include "gui/cp932_input.h"
#include "gui/icons.h"
#include "gui/program_info.h"
#include "gui/qt_window_system.h"

namespace qv {

namespace {

constexpr int kStripHeight = 52;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 31;
// The buttons give up some width rather than leave the window at its design width.
constexpr int kButtonMinimumWidth = 64;
constexpr int kStripSideMargin = 6;
constexpr int kButtonSpacing = 4;

constexpr int kPathRole = Qt::UserRole;

}  // namespace

TitleListWindow::TitleListWindow(TitleListForm& logic, QtWindowSystem& windows, QWidget* parent)
    : QWidget(parent, Qt::Window), logic_(logic), windows_(windows) {
    setObjectName(QStringLiteral("Form_History"));
    setWindowTitle(QStringLiteral("タイトル一覧（保存履歴）"));
    setWindowIcon(ProgramIcon());
    setFont(DesignFont(kGothicFont, 15));

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("TitleListBox"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->viewport()->installEventFilter(this);

    // The strip places its buttons itself (FitButtons), so that they never widen the window.
    strip_ = new QWidget(this);
    strip_->setFixedHeight(kStripHeight);
    eraseButton_ = AddButton("Button3", "消去(&E)");
    deleteButton_ = AddButton("Button4", "削除(&D)");
    selectButton_ = AddButton("Button1", "選択(&S)");
    closeButton_ = AddButton("Button2", "閉じる(&X)");
    setMinimumWidth(2 * kStripSideMargin + 4 * kButtonMinimumWidth + 3 * kButtonSpacing);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(list_, 1);
    layout->addWidget(strip_);

    setTabOrder(selectButton_, closeButton_);
    setTabOrder(closeButton_, eraseButton_);
    setTabOrder(eraseButton_, deleteButton_);
    setTabOrder(deleteButton_, list_);
    selectButton_->setFocus();

    connect(selectButton_, &QPushButton::clicked, this,
            [this] { Run([this] { logic_.ReopenSelected(SelectedIndex()); }); });
    connect(deleteButton_, &QPushButton::clicked, this,
            [this] { Run([this] { logic_.DeleteSelected(SelectedIndex()); }); });
    connect(eraseButton_, &QPushButton::clicked, this,
            [this] { Run([this] { logic_.EraseAll(); }); });
    connect(closeButton_, &QPushButton::clicked, this, [this] { Run([this] { logic_.Close(); }); });
}

QPushButton* TitleListWindow::AddButton(const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), strip_);
    button->setObjectName(QString::fromUtf8(name));
    return button;
}

void TitleListWindow::FitButtons() {
    // The designed width where there is room; narrower, down to a minimum, so that the four
    // buttons stay inside a window of the design's 335 pixels.
    constexpr int kButtons = 4;
    const int room = width() - 2 * kStripSideMargin - (kButtons - 1) * kButtonSpacing;
    const int buttonWidth = std::clamp(room / kButtons, kButtonMinimumWidth, kButtonWidth);
    int left = kStripSideMargin;
    for (QPushButton* button : {eraseButton_, deleteButton_, selectButton_, closeButton_}) {
        button->setGeometry(left, (kStripHeight - kButtonHeight) / 2, buttonWidth, kButtonHeight);
        left += buttonWidth + kButtonSpacing;
    }
}

void TitleListWindow::resizeEvent(QResizeEvent* event) {
    FitButtons();
    QWidget::resizeEvent(event);
}

void TitleListWindow::Run(const std::function<void()>& handler) {
    windows_.RunCommand(handler);
}

int TitleListWindow::SelectedIndex() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.front());
}

void TitleListWindow::ShowTitles() {
    const int selected = SelectedIndex();
    const QByteArray selectedPath =
        selected < 0 ? QByteArray() : list_->item(selected)->data(kPathRole).toByteArray();
    list_->clear();
    const TitleList& titles = logic_.Titles();
    for (std::size_t i = 0; i < titles.Size(); ++i) {
        // A title holding a line feed (a table file may) still shows on one row.
        QString shown = DecodeCp932(titles.Title(i));
        shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
        auto* item = new QListWidgetItem(shown, list_);
        // The path, kept byte for byte, finds the entry again after the list changed.
        item->setData(kPathRole, QByteArray::fromStdString(titles.Path(i)));
    }
    if (selected < 0) {
        return;
    }
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->data(kPathRole).toByteArray() == selectedPath) {
            list_->setCurrentRow(row);
            return;
        }
    }
}

void TitleListWindow::closeEvent(QCloseEvent* event) {
    // The logic stores the geometry and then hides the window; a failure keeps it shown.
    event->ignore();
    Run([this] {
        logic_.Closing();
        windows_.HideTitleListWindow();
    });
}

bool TitleListWindow::eventFilter(QObject* watched, QEvent* event) {
    // A double click anywhere in the list reopens the selected entry, if one is selected.
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        Run([this] { logic_.ReopenSelected(SelectedIndex()); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qv
