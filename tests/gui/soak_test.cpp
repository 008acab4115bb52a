// The real windows driven by random but plausible input for a fixed seed and number of steps:
// clicks, typing, the movement keys, drags of headings, row labels and borders (some held while
// a menu command runs), menu commands and toolbar buttons with their dialogs answered either way,
// resizes and reopening from the title list. After each step the table and the windows must be
// sound. QV_SOAK_SEED and QV_SOAK_STEPS choose a longer run; failure boxes are answered and
// their texts listed at the end.

#include <QFileDialog>
#include <map>
#include <random>

#include "gui/cp932_input.h"
#include "gui/grid_view.h"
#include "gui_test_support.h"

namespace qv {

class SoakTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::PrepareForTests(); }

    void randomInputKeepsTheProgramSound() {
        const unsigned seed = EnvironmentNumber("QV_SOAK_SEED", 1);
        const unsigned steps = EnvironmentNumber("QV_SOAK_STEPS", 150);
        random_.seed(seed);
        test::TempStores stores;
        folder_ = &stores;
        Application app(stores.Stores(), ".");
        app_ = &app;
        app.Windows().SetModalRunner([this](QDialog& dialog) { return Answer(dialog); });
        app.Start();
        QTRY_VERIFY(app.TitleList().isActiveWindow());
        for (step_ = 0; step_ < steps; ++step_) {
            Step();
            QCoreApplication::processEvents();
            if (!CheckSound()) {
                QFAIL(qPrintable(
                    QStringLiteral("seed %1, step %2: %3").arg(seed).arg(step_).arg(broken_)));
            }
        }
        for (const auto& [text, count] : failures_) {
            qInfo().noquote() << "failure box" << count << "x:" << text;
        }
        app.Windows().SetModalRunner([](QDialog& dialog) { return dialog.result(); });
    }

private:
    static unsigned EnvironmentNumber(const char* name, unsigned fallback) {
        bool ok = false;
        const unsigned value = qEnvironmentVariable(name).toUInt(&ok);
        return ok ? value : fallback;
    }
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    bool Chance(int percent) { return Pick(100) < percent; }
    GridView& Grid() { return *app_->Main().Grid(); }
    TableGrid& Table() { return app_->MainLogic().Document().UnrecordedTable(); }
    QWidget* Viewport() { return Grid().viewport(); }

    // Two in ten a click, one typing, two a few keys, one a drag, one a held drag, one a command,
    // one a resize, one a reopening.
    void Step() {
        const int action = Pick(10);
        if (action < 2) {
            QTest::mouseClick(Viewport(), Qt::LeftButton, {}, AnyPoint());
        } else if (action == 2) {
            test::TypeText(Focused(), RandomText());
        } else if (action < 5) {
            PressKeys();
        } else if (action < 7) {
            Drag(action == 6);
        } else if (action == 7) {
            RunCommand();
        } else if (action == 8) {
            app_->Main().resize(200 + Pick(600), 150 + Pick(450));
        } else {
            Reopen();
        }
    }

    QWidget* Focused() {
        QWidget* focused = QApplication::focusWidget();
        return focused != nullptr ? focused : &Grid();
    }

    QString RandomText() {
        static const QString kLetters = QStringLiteral("ab1 9.,-\\ｱｲ漢字表");
        QString text;
        for (int i = Pick(6); i >= 0; --i) {
            text += kLetters[Pick(static_cast<int>(kLetters.size()))];
        }
        return text;
    }

    void PressKeys() {
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
        // clang-format off
        const std::pair<Qt::Key, Qt::KeyboardModifiers> kKeys[] = {
            {Qt::Key_Return, {}}, {Qt::Key_Tab, {}}, {Qt::Key_Backtab, shift}, {Qt::Key_Left, {}},
            {Qt::Key_Right, {}}, {Qt::Key_Up, {}}, {Qt::Key_Down, {}}, {Qt::Key_PageDown, {}},
            {Qt::Key_PageUp, {}}, {Qt::Key_End, ctrl}, {Qt::Key_Home, ctrl}, {Qt::Key_F2, {}},
            {Qt::Key_Escape, {}}, {Qt::Key_Backspace, {}}, {Qt::Key_Down, shift}};
        // clang-format on
        for (int i = Pick(4); i >= 0; --i) {
            const auto& [key, modifiers] = kKeys[Pick(static_cast<int>(std::size(kKeys)))];
            QTest::keyClick(Focused(), key, modifiers);
        }
    }

    QPoint AnyPoint() { return QPoint(Pick(Viewport()->width()), Pick(Viewport()->height())); }

    // On a heading, a row label, or a border between two of them.
    QPoint FixedCellPoint() {
        const int labelWidth = Table().ColWidth(0);
        const int headingHeight = Table().RowHeight(0);
        if (Chance(50)) {
            int x = Pick(Viewport()->width());
            if (Chance(30)) {
                x = labelWidth + Table().ColWidth(1) * (1 + Pick(3)) - 1 + Pick(3);
            }
            return QPoint(x, Pick(std::max(headingHeight, 1)));
        }
        int y = Pick(Viewport()->height());
        if (Chance(30)) {
            y = headingHeight + Table().RowHeight(1) * (1 + Pick(4)) - 1 + Pick(3);
        }
        return QPoint(Pick(std::max(labelWidth, 1)), y);
    }

    // A press on a fixed cell, moves, and the release; held, a menu command runs on the way.
    void Drag(bool held) {
        QTest::mousePress(Viewport(), Qt::LeftButton, {}, FixedCellPoint());
        QTest::mouseMove(Viewport(), Chance(50) ? FixedCellPoint() : AnyPoint());
        if (held) {
            HeldCommand();
            QCoreApplication::processEvents();
            QTest::mouseMove(Viewport(), FixedCellPoint());
        }
        QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, FixedCellPoint());
    }

    // A menu item or a toolbar button, never the two exits.
    void RunCommand() {
        const std::vector<QAction*>& items = app_->Main().MenuItems();
        const std::vector<QToolButton*>& buttons = app_->Main().SpeedButtons();
        const int choice = Pick(static_cast<int>(items.size() + buttons.size() - 1));
        if (choice < static_cast<int>(items.size())) {
            QAction* item = items[static_cast<std::size_t>(choice)];
            if (item->objectName() != QStringLiteral("Exit1")) {
                item->trigger();
            }
        } else {
            buttons[static_cast<std::size_t>(choice) - items.size()]->click();
        }
    }

    // What changes the table under a held drag most: its edits, half the time.
    void HeldCommand() {
        static const char* const kEdits[] = {"列の削除(&R)", "現在行を削除(&D)", "全データ消去(&E)",
                                             "列の追加(&M)", "新しい行を前に挿入(&I)"};
        if (Chance(50)) {
            RunCommand();
            return;
        }
        const QString caption =
            QString::fromUtf8(kEdits[Pick(static_cast<int>(std::size(kEdits)))]);
        for (QAction* item : app_->Main().MenuItems()) {
            if (item->text() == caption) {
                item->trigger();
            }
        }
    }

    void Reopen() {
        TitleListWindow& history = app_->TitleList();
        app_->Windows().ShowTitleListWindow();
        QListWidget* list = history.TitleListBox();
        if (list->count() > 0) {
            const QPoint title = list->visualItemRect(list->item(Pick(list->count()))).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, title);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, title);
        }
        if (Chance(50)) {
            QTest::mouseClick(history.CloseButton(), Qt::LeftButton);
        } else {
            app_->Main().activateWindow();
        }
    }

    // The user at a modal window: a message box's buttons, a dialog's OK with some text or its
    // cancel, a file dialog's cancel or a file in the test's folder.
    int Answer(QDialog& dialog) {
        dialog.show();
        int result = QDialog::Rejected;
        if (auto* message = qobject_cast<MessageDialog*>(&dialog)) {
            if (message->windowTitle() == QStringLiteral("Quorvane 1.00")) {
                ++failures_[message->Text()];
            }
            const std::vector<QPushButton*>& row = message->ButtonRow();
            row[static_cast<std::size_t>(Pick(static_cast<int>(row.size())))]->click();
            result = dialog.result();
        } else if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            if (Chance(70)) {
                const std::string name = "t" + std::to_string(Pick(4)) + ".qvd";
                files->selectFile(QString::fromStdString(folder_->Path(name.c_str())));
                // Past QFileDialog's own overwrite question, which is no window of the program.
                files->QDialog::accept();
                result = QDialog::Accepted;
            }
        } else if (auto* edit = dialog.findChild<QLineEdit*>(); edit != nullptr && Chance(70)) {
            test::TypeText(edit, RandomText());
            if (auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))) {
                ok->click();
                result = dialog.result();
            }
        }
        dialog.hide();
        return result;
    }

    bool Broken(const QString& why) {
        broken_ = why;
        return false;
    }

    // A data cell of the table, as the current cell and the top-left cell must be.
    bool IsDataCell(GridCell cell) {
        return cell.col >= 1 && cell.col < Table().ColCount() && cell.row >= 1 &&
               cell.row < Table().RowCount();
    }

    bool CheckSound() {
        const TableGrid& table = Table();
        const GridCell current = table.Current(), topLeft = Grid().topLeft();
        const auto at = [](GridCell c) { return QStringLiteral(" %1, %2").arg(c.col).arg(c.row); };
        if (table.FixedCols() != 1 || table.FixedRows() != 1 || table.ColCount() < 2 ||
            table.RowCount() < 2) {
            return Broken(QStringLiteral("counts") + at({table.ColCount(), table.RowCount()}));
        }
        if (!IsDataCell(current) || !IsDataCell(topLeft)) {
            return Broken(QStringLiteral("current cell") + at(current) + " top left" + at(topLeft));
        }
        for (int32_t col = 0; col < std::min(table.ColCount(), 20); ++col) {
            if (table.ColWidth(col) < 0) {
                return Broken(QStringLiteral("width of column %1").arg(col));
            }
        }
        if (Grid().isEditing() && Grid().findChild<QLineEdit*>()->text() !=
                                      DecodeCp932(table.Cell(current.col, current.row))) {
            return Broken(QStringLiteral("the editor shows another text than its cell"));
        }
        if (app_->Main().EditTitle()->text() != DecodeCp932(app_->MainLogic().EditTitle())) {
            return Broken(QStringLiteral("the title box shows another title"));
        }
        if (!app_->Main().isVisible()) {
            return Broken(QStringLiteral("the main window went"));
        }
        return true;
    }

    std::mt19937 random_;
    Application* app_ = nullptr;
    test::TempStores* folder_ = nullptr;
    unsigned step_ = 0;
    QString broken_;
    std::map<QString, int> failures_;
};

}  // namespace qv

QV_PROGRAM_TEST_MAIN(qv::SoakTest)
#include "soak_test.moc"
