// The progress of long loads and saves: the dialog appears for a slow load, whose cancel leaves
// the table as it was, and offers no cancel for a save. The loads and saves here are slowed down
// by a timer that sleeps whenever the program lets events through.

#include "gui/progress_dialog.h"
#include "gui_test_support.h"
#include "table/table_file_writer.h"

namespace qv {

namespace {

constexpr int32_t kRows = 100'000;

// A table file of about 11 MB.
std::string BigTableFile() {
    TableGrid grid(GridShape{9, kRows, 1, 1, 32, 18});
    for (int32_t row = 0; row < kRows; ++row) {
        for (int32_t col = 1; col < 9; ++col) {
            grid.SetCell(col, row, "cell " + std::to_string(row));
        }
    }
    return BuildTableFile(grid, "big", WindowGeometry{40, 30, 500, 400});
}

// Sleeps `sleepMs` at every turn of the event loop and then presses Esc on the progress dialog
// if one shows, remembering whether it did and whether it had a button.
class SlowEvents {
public:
    explicit SlowEvents(unsigned long sleepMs) {
        QObject::connect(&timer_, &QTimer::timeout, [this, sleepMs] {
            QThread::msleep(sleepMs);
            auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (dialog != nullptr && dialog->isVisible() && !dialog->wasCanceled()) {
                seen = true;
                hadButton = !dialog->findChildren<QPushButton*>().isEmpty();
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
        });
        timer_.start(0);
    }
    bool seen = false;
    bool hadButton = false;

private:
    QTimer timer_;
};

}  // namespace

class ProgressDialogTest : public QObject {
    Q_OBJECT
private slots:
    // A load cancelled with Esc on its dialog leaves everything as it was; Esc on a save's
    // dialog changes nothing: the whole table is written.
    void slowLoadsCancelAndSlowSavesDoNot() {
        test::PrepareForTests();
        const test::TempStores stores;
        const std::string big = stores.Path("big.qvd");
        const std::string copy = stores.Path("copy.qvd");
        test::WriteFile(big, BigTableFile());
        test::Program p(stores.Stores());
        p.Start();
        MainForm& form = p.Form();
        form.SetCurFileName(copy);
        form.SetEditTitle("mine");
        form.StringGrid().SetCell(1, 1, "own cell");
        const auto load = [&] {
            form.RequestLoad(big);
            return p.app.Windows().RunCommand([&form] { form.LoadTableFile(); });
        };
        {
            const SlowEvents slow(100);
            QVERIFY(load());
            QVERIFY(slow.seen && slow.hadButton);
        }
        QCOMPARE(form.CurFileName(), copy);
        QCOMPARE(form.EditTitle(), std::string("mine"));
        QCOMPARE(form.StringGrid().RowCount(), 6);
        QCOMPARE(form.StringGrid().CellText(1, 1), std::string("own cell"));

        QVERIFY(load());
        QCOMPARE(form.StringGrid().RowCount(), kRows);
        form.SetCurFileName(copy);
        const SlowEvents slow(20);
        QVERIFY(p.app.Windows().RunCommand([&form] { form.SaveFile(); }));
        QVERIFY(slow.seen && !slow.hadButton);
        QCOMPARE(test::ReadFile(copy), test::ReadFile(big));
    }
};

}  // namespace qv

QTEST_MAIN(qv::ProgressDialogTest)
#include "progress_dialog_test.moc"
