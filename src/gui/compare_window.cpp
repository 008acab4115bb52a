#include "gui/compare_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "app/compare_session.h"
#include "gui/compare_model.h"
#include "gui/program_info.h"
#include "gui/qt_window_system.h"

namespace qv {

namespace {

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

void AddShortcut(QWidget* window, const QKeySequence& keys, const std::function<void()>& run) {
    auto* shortcut = new QShortcut(keys, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, run);
}

}  // namespace

CompareWindow::CompareWindow(QtWindowSystem& windows)
    : QWidget(nullptr, Qt::Window), windows_(windows) {
    setObjectName(QStringLiteral("CompareWindow"));
    setWindowTitle(QStringLiteral("表の比較"));
    setFont(DesignFont(kGothicFont, 12));
    resize(900, 500);

    model_ = new CompareModel(this);
    model_->SetBase(palette().color(QPalette::Base));
    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("CompareView"));
    view_->setModel(model_);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    view_->setWordWrap(false);

    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("CountsLabel"));
    notes_ = new QLabel(this);
    notes_->setObjectName(QStringLiteral("NotesLabel"));
    differencesOnly_ = new QCheckBox(QStringLiteral("差分のある行だけを表示(&D)"), this);
    differencesOnly_->setObjectName(QStringLiteral("DifferencesOnlyBox"));
    connect(differencesOnly_, &QCheckBox::toggled, this, [this] { FilterChanged(); });

    QPushButton* previous = Button(QStringLiteral("前の差分"), "PreviousDifferenceBtn", this);
    QPushButton* next = Button(QStringLiteral("次の差分"), "NextDifferenceBtn", this);
    QPushButton* takeOver = Button(QStringLiteral("この差分を取り込む"), "TakeOverBtn", this);
    QPushButton* takeAll = Button(QStringLiteral("すべて取り込む"), "TakeOverAllBtn", this);
    previous->setToolTip(QStringLiteral("Shift+F8"));
    next->setToolTip(QStringLiteral("F8"));
    connect(previous, &QPushButton::clicked, this, [this] { GoToDifference(false); });
    connect(next, &QPushButton::clicked, this, [this] { GoToDifference(true); });
    connect(takeOver, &QPushButton::clicked, this, [this] { TakeOverSelected(); });
    connect(takeAll, &QPushButton::clicked, this, [this] { TakeOverAll(); });
    AddShortcut(this, QKeySequence(Qt::Key_F8), [this] { GoToDifference(true); });
    AddShortcut(this, QKeySequence(Qt::SHIFT | Qt::Key_F8), [this] { GoToDifference(false); });
    AddShortcut(this, QKeySequence::Undo, [this] {
        windows_.RunChosenCommand([this] { session_ != nullptr ? session_->Undo() : void(); });
    });
    AddShortcut(this, QKeySequence::Redo, [this] {
        windows_.RunChosenCommand([this] { session_ != nullptr ? session_->Redo() : void(); });
    });

    auto* top = new QHBoxLayout;
    top->addWidget(counts_);
    top->addStretch();
    top->addWidget(differencesOnly_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(previous);
    buttons->addWidget(next);
    buttons->addStretch();
    buttons->addWidget(takeOver);
    buttons->addWidget(takeAll);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(notes_);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
}

CompareWindow::~CompareWindow() {
    SetSession(nullptr);
}

void CompareWindow::SetSession(CompareSession* session) {
    if (session_ != nullptr) {
        session_->Current().RemoveObserver(this);
    }
    session_ = session;
    if (session_ != nullptr) {
        session_->Current().AddObserver(this);
        session_->SetFilter(differencesOnly_->isChecked() ? ComparedRows::DifferencesOnly
                                                          : ComparedRows::AllRows);
    }
    model_->SetSession(session_);
    ShowTexts();
}

void CompareWindow::CellChanged(int32_t /*col*/, int32_t /*row*/) {
    ScheduleRefresh();
}
void CompareWindow::CellsChanged() {
    ScheduleRefresh();
}
void CompareWindow::LayoutChanged() {
    ScheduleRefresh();
}

void CompareWindow::ScheduleRefresh() {
    if (refreshDue_) {
        return;
    }
    refreshDue_ = true;
    QTimer::singleShot(0, this, [this] { Refresh(); });
}

void CompareWindow::Refresh() {
    refreshDue_ = false;
    if (session_ == nullptr) {
        return;
    }
    session_->Refresh();
    if (session_->Generation() == shownGeneration_) {
        return;
    }
    const QModelIndex current = view_->currentIndex();
    model_->Reset();
    if (current.isValid() && model_->rowCount() > 0) {
        view_->setCurrentIndex(
            model_->index(std::min(current.row(), model_->rowCount() - 1), current.column()));
    }
    ShowTexts();
}

void CompareWindow::ShowTexts() {
    shownGeneration_ = session_ == nullptr ? 0 : session_->Generation();
    counts_->setText(session_ == nullptr ? QString()
                                         : QString::fromStdString(session_->CountsText()));
    const QString notes =
        session_ == nullptr ? QString() : QString::fromStdString(session_->NotesText());
    notes_->setText(notes);
    notes_->setVisible(!notes.isEmpty());
}

void CompareWindow::FilterChanged() {
    if (session_ == nullptr) {
        return;
    }
    session_->SetFilter(differencesOnly_->isChecked() ? ComparedRows::DifferencesOnly
                                                      : ComparedRows::AllRows);
    model_->Reset();
}

void CompareWindow::GoToDifference(bool forward) {
    if (session_ == nullptr) {
        return;
    }
    Refresh();
    const QModelIndex current = view_->currentIndex();
    const int from = current.isValid() ? current.row() : (forward ? -1 : model_->rowCount());
    const int found = session_->NextDifference(
        from, forward ? SearchDirection::Forward : SearchDirection::Backward);
    if (found < 0) {
        QApplication::beep();
        return;
    }
    const std::vector<int32_t> changed = session_->ChangedPairs(session_->EntryAt(found));
    const int column = changed.empty() ? 0 : model_->ColumnOfPair(changed.front());
    const QModelIndex target = model_->index(found, column);
    view_->setCurrentIndex(target);
    view_->scrollTo(target);
}

void CompareWindow::TakeOverSelected() {
    const QModelIndex current = view_->currentIndex();
    if (session_ == nullptr || !current.isValid()) {
        return;
    }
    windows_.RunChosenCommand([this, current] {
        session_->TakeOver(current.row(), model_->PairOfColumn(current.column()));
    });
    Refresh();
}

void CompareWindow::TakeOverAll() {
    if (session_ != nullptr) {
        windows_.RunChosenCommand([this] { session_->TakeOverAll(); });
        Refresh();
    }
}

void CompareWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        model_->SetBase(palette().color(QPalette::Base));
        model_->Reset();
    }
    QWidget::changeEvent(event);
}

}  // namespace qv
