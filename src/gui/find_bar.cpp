#include "gui/find_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

#include "app/main_form.h"
#include "app/search_history.h"
#include "app/status_texts.h"
#include "gui/qt_window_system.h"
#include "platform/failure.h"

namespace qv {

namespace {

// The count waits for a pause in the typing: over a million rows it takes a moment.
constexpr int kCountDelayMs = 150;
constexpr int kCountingNoteDelayMs = 100;

QHBoxLayout* RowLayout(QWidget* row) {
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    return layout;
}

// An editable box whose drop-down offers the texts used before; choosing one only fills the box.
QComboBox* TextBox(const char* name, const char* caption, const char* placeholder, QWidget* row,
                   QHBoxLayout* layout) {
    auto* label = new QLabel(QString::fromUtf8(caption), row);
    auto* box = new QComboBox(row);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxCount(static_cast<int>(kSearchHistoryLength));
    box->lineEdit()->setObjectName(QString::fromUtf8(name));
    box->setPlaceholderText(QString::fromUtf8(placeholder));
    box->setMinimumWidth(60);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    label->setBuddy(box);
    layout->addWidget(label);
    layout->addWidget(box, 1);
    return box;
}

// Offers `texts` in the drop-down, leaving what is typed in the box, and its own undo, alone
// (the placeholder text keeps Qt from choosing the first item of a list that was empty).
void ShowTexts(QComboBox* box, const std::vector<std::string>& texts) {
    QStringList wanted;
    for (const std::string& text : texts) {
        wanted << QString::fromStdString(text);
    }
    QStringList shown;
    for (int i = 0; i < box->count(); ++i) {
        shown << box->itemText(i);
    }
    if (shown == wanted) {
        return;
    }
    const QString typed = box->currentText();
    const QSignalBlocker blocker(box);
    box->model()->removeRows(0, box->count());
    box->insertItems(0, wanted);
    if (box->currentText() != typed) {
        box->setEditText(typed);
    }
}

}  // namespace

FindBar::FindBar(MainForm& form, QtWindowSystem& windows, QWidget* focusAfterClosing,
                 QWidget* parent)
    : QFrame(parent), form_(form), windows_(windows), focusAfterClosing_(focusAfterClosing) {
    setObjectName(QStringLiteral("FindBar"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    // The bar never widens the main window (its width is saved with the table): in a window
    // narrower than the bar its right end is cut off. Its rows fit the designed 276 pixels.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    auto* findRow = new QWidget(this);
    auto* optionsRow = new QWidget(this);
    BuildFindRows(findRow, optionsRow);
    layout->addWidget(findRow);
    layout->addWidget(optionsRow);
    replaceRow_ = new QWidget(this);
    BuildReplaceRow(replaceRow_);
    layout->addWidget(replaceRow_);
    replaceRow_->hide();

    countTimer_ = new QTimer(this);
    countTimer_->setSingleShot(true);
    countTimer_->setInterval(kCountDelayMs);
    connect(countTimer_, &QTimer::timeout, this, &FindBar::ShowCount);
    // A count that comes back at once would only make the note flicker.
    countingNoteTimer_ = new QTimer(this);
    countingNoteTimer_->setSingleShot(true);
    countingNoteTimer_->setInterval(kCountingNoteDelayMs);
    connect(countingNoteTimer_, &QTimer::timeout, this,
            [this] { countLabel_->setText(QString::fromUtf8(kCountingNote)); });
    form_.Table().AddObserver(this);
    form_.Search().History() = ReadSearchHistory(SearchHistoryPath());
    ShowTexts(searchCombo_, form_.Search().History().texts);
    ShowTexts(replaceCombo_, form_.Search().History().replacements);
    hide();
}

FindBar::~FindBar() {
    form_.Search().StopCounting();
    form_.Table().RemoveObserver(this);
}

void FindBar::BuildFindRows(QWidget* row, QWidget* optionsRow) {
    QHBoxLayout* layout = RowLayout(row);
    searchCombo_ = TextBox("FindText", "検索(&S)", "検索する文字列", row, layout);
    searchBox_ = searchCombo_->lineEdit();
    const auto storeText = [this](const QString& text) {
        form_.Search().Find().text = text.toUtf8().toStdString();
        ownReplace_ = nullptr;
        ScheduleCount();
    };
    connect(searchBox_, &QLineEdit::textEdited, this, storeText);
    connect(searchCombo_, &QComboBox::textActivated, this, storeText);
    searchBox_->installEventFilter(this);
    searchCombo_->installEventFilter(this);  // keys reach the drop-down, which holds the focus
    const auto addButton = [this, row, layout](const char* name, const char* caption,
                                               std::function<void()> command) {
        auto* button = new QPushButton(QString::fromUtf8(caption), row);
        button->setObjectName(QString::fromUtf8(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                [this, command = std::move(command)] { RunBarCommand(command); });
        layout->addWidget(button);
    };
    addButton("FindNextButton", "次へ(&N)", [this] { form_.Search().FindNext(); });
    addButton("FindPreviousButton", "前へ(&B)", [this] { form_.Search().FindPrevious(); });
    auto* close = new QToolButton(row);
    close->setObjectName(QStringLiteral("CloseFindBar"));
    close->setText(QStringLiteral("×"));
    close->setToolTip(QStringLiteral("閉じる (Esc)"));
    close->setAutoRaise(true);
    connect(close, &QToolButton::clicked, this, &FindBar::Close);
    layout->addWidget(close);

    QHBoxLayout* options = RowLayout(optionsRow);
    const auto addOption = [this, optionsRow, options](const char* name, const char* caption,
                                                       const char* hint) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), optionsRow);
        box->setObjectName(QString::fromUtf8(name));
        box->setToolTip(QString::fromUtf8(hint));
        connect(box, &QCheckBox::toggled, this, &FindBar::StoreOptions);
        options->addWidget(box);
        return box;
    };
    wholeCell_ =
        addOption("WholeCell", "完全一致(&W)", "セルの文字列全体が一致するものだけを探します");
    matchCase_ = addOption("MatchCase", "大小区別(&C)", "英字の大文字と小文字を区別します");
    columnOnly_ = addOption("ColumnOnly", "列のみ(&O)", "現在の列だけを探します");
    regex_ = addOption("Regex", "正規表現(&R)",
                       "検索する文字列を正規表現として扱います (置換後の $1 はかっこの中)");
    loose_ = addOption("Loose", "全角/半角・かな・大小を区別しない",
                       "全角と半角、ひらがなとカタカナ、英字の大文字と小文字を同じに扱います");
    // The two ways of reading the text exclude each other.
    connect(regex_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            loose_->setChecked(false);
        }
    });
    connect(loose_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            regex_->setChecked(false);
        }
    });
    options->addStretch();
    countLabel_ = new QLabel(optionsRow);
    countLabel_->setObjectName(QStringLiteral("FindCount"));
    options->addWidget(countLabel_);
}

void FindBar::BuildReplaceRow(QWidget* row) {
    QHBoxLayout* layout = RowLayout(row);
    replaceCombo_ = TextBox("ReplaceText", "置換後(&R)", "置換後の文字列", row, layout);
    replaceBox_ = replaceCombo_->lineEdit();
    const auto storeReplacement = [this](const QString& text) {
        form_.Search().Find().replacement = text.toUtf8().toStdString();
        ownReplace_ = nullptr;
    };
    connect(replaceBox_, &QLineEdit::textEdited, this, storeReplacement);
    connect(replaceCombo_, &QComboBox::textActivated, this, storeReplacement);
    replaceBox_->installEventFilter(this);
    replaceCombo_->installEventFilter(this);
    auto* replace = new QPushButton(QStringLiteral("置換(&H)"), row);
    replace->setObjectName(QStringLiteral("ReplaceButton"));
    replace->setAutoDefault(false);
    connect(replace, &QPushButton::clicked, this,
            [this] { RunReplace([this] { form_.Search().ReplaceCurrent(); }); });
    layout->addWidget(replace);
    auto* replaceAll = new QPushButton(QStringLiteral("すべて置換(&A)"), row);
    replaceAll->setObjectName(QStringLiteral("ReplaceAllButton"));
    replaceAll->setAutoDefault(false);
    connect(replaceAll, &QPushButton::clicked, this,
            [this] { RunReplace([this] { form_.Search().ReplaceAll(); }); });
    layout->addWidget(replaceAll);
}

void FindBar::Open(FindBarFocus focus) {
    if (focus == FindBarFocus::Replacement) {
        replaceRow_->show();
    }
    show();
    // Nothing can be replaced before there is something to find.
    QLineEdit* box = focus == FindBarFocus::Replacement && !searchBox_->text().isEmpty()
                         ? replaceBox_
                         : searchBox_;
    box->setFocus(Qt::ShortcutFocusReason);
    box->selectAll();
    ShowCount();
}

void FindBar::Close() {
    StopCount();
    hide();
    replaceRow_->hide();
    focusAfterClosing_->setFocus(Qt::OtherFocusReason);
}

void FindBar::StoreOptions() {
    FindState& state = form_.Search().Find();
    state.options.extent =
        wholeCell_->isChecked() ? MatchExtent::WholeCell : MatchExtent::PartOfCell;
    state.options.letterCase =
        matchCase_->isChecked() ? LetterCase::Sensitive : LetterCase::Insensitive;
    state.scope = columnOnly_->isChecked() ? FindScope::CurrentColumn : FindScope::WholeTable;
    state.syntax = regex_->isChecked()   ? PatternSyntax::Regex
                   : loose_->isChecked() ? PatternSyntax::Loose
                                         : PatternSyntax::Plain;
    ScheduleCount();
}

void FindBar::RunBarCommand(const std::function<void()>& command) {
    windows_.RunChosenCommand(command);
    ShowHistory();
}

// The history shown is the one the commands keep; the file follows it. A folder that takes no
// file costs the texts' memory between runs, not the search.
void FindBar::ShowHistory() {
    const SearchHistory& history = form_.Search().History();
    ShowTexts(searchCombo_, history.texts);
    ShowTexts(replaceCombo_, history.replacements);
    try {
        WriteSearchHistory(SearchHistoryPath(), history);
    } catch (const Failure&) {
        windows_.ShowStatusNote("検索の履歴を保存できませんでした");
    }
}

void FindBar::ScheduleCount() {
    if (isVisible()) {
        form_.Search().StopCounting();  // what it would say is out of date already
        countTimer_->start();           // again from the start: one count after a run of changes
    }
}

// The count runs on a thread of its own, so that keys typed meanwhile are not held up; the
// next keystroke cancels it.
void FindBar::ShowCount() {
    StopCount();
    countingNoteTimer_->start();
    windows_.RunCommand([this] {
        form_.Search().CountInBackground([this](const std::string& text) {
            countingNoteTimer_->stop();
            countLabel_->setText(QString::fromStdString(text));
        });
    });
}

void FindBar::StopCount() {
    countTimer_->stop();
    countingNoteTimer_->stop();
    form_.Search().StopCounting();
}

void FindBar::CurrentCellChanged(GridCell previous) {
    if (form_.Search().Find().scope == FindScope::CurrentColumn &&
        previous.col != form_.Table().Col()) {
        ScheduleCount();
    }
}

void FindBar::RunReplace(const std::function<void()>& replace) {
    const TableChange* before = form_.History().LastDone();
    RunBarCommand(replace);
    const TableChange* after = form_.History().LastDone();
    if (after != before) {
        ownReplace_ = after;
    }
}

bool FindBar::TableTakesKey(const QLineEdit& box, const QKeyEvent& key) const {
    const bool undo = key.matches(QKeySequence::Undo);
    if (!undo && !key.matches(QKeySequence::Redo)) {
        return false;
    }
    if (ownReplace_ != nullptr && form_.History().LastDone() == ownReplace_) {
        return true;
    }
    return undo ? !box.isUndoAvailable() : !box.isRedoAvailable();
}

void FindBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Close();
        return;
    }
    QFrame::keyPressEvent(event);
}

// Enter in the search box finds the next match (Shift+Enter the previous); in the replacement
// box it replaces.
bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == searchCombo_ || watched == replaceCombo_) {
        watched = static_cast<QComboBox*>(watched)->lineEdit();
    }
    const auto* box = qobject_cast<const QLineEdit*>(watched);
    if (event->type() == QEvent::ShortcutOverride && box != nullptr &&
        TableTakesKey(*box, *static_cast<QKeyEvent*>(event))) {
        event->ignore();  // the box lets the key go: the menu's undo or redo runs
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == replaceBox_) {
                RunReplace([this] { form_.Search().ReplaceCurrent(); });
            } else if (key->modifiers() & Qt::ShiftModifier) {
                RunBarCommand([this] { form_.Search().FindPrevious(); });
            } else {
                RunBarCommand([this] { form_.Search().FindNext(); });
            }
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace qv
