// The progress of long loads and saves: the dialog appears only after half a second, keeps the
// windows painting, cancels a load with its button and leaves the table as it was, and offers no
// cancel for a save. The loads and saves here are slowed down by a timer that sleeps whenever
// the program lets events through, so that a file of a few megabytes takes a second or two.

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/main_form.h"
#include "gui/application.h"
#include "gui/main_window.h"
#include "gui/progress_dialog.h"
#include "gui/qt_window_system.h"
#include "gui_test_support.h"
#include "table/table_file_writer.h"

namespace qv {

namespace {

constexpr int32_t kRows = 100'000;
constexpr int32_t kCols = 9;

// A table file of about 11 MB.
std::string BigTableFile() {
    TableGrid grid(GridShape{kCols, kRows, 1, 1, 32, 18});
    for (int32_t row = 0; row < kRows; ++row) {
        for (int32_t col = 1; col < kCols; ++col) {
            std::string text = "cell ";
            text += std::to_string(row);
            grid.SetCell(col, row, text);
        }
    }
    return BuildTableFile(grid, "big", WindowGeometry{40, 30, 500, 400});
}

// The progress dialog shown at the moment, if any.
QProgressDialog* VisibleProgressDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QProgressDialog*>(widget); dialog && dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

// Slows every turn of the event loop down by `sleepMs`, and looks at the progress dialog on each
// turn. A load reports a step every megabyte read or parsed, a save every hundredth of its rows.
class SlowEvents {
public:
    explicit SlowEvents(unsigned long sleepMs, std::function<void(QProgressDialog&)> onDialog = {})
        : onDialog_(std::move(onDialog)) {
        QObject::connect(&timer_, &QTimer::timeout, [this, sleepMs] {
            QThread::msleep(sleepMs);
            if (QProgressDialog* dialog = VisibleProgressDialog()) {
                seen_ = true;
                hadCancelButton_ = !dialog->findChildren<QPushButton*>().isEmpty();
                if (onDialog_) {
                    onDialog_(*dialog);
                }
            }
        });
        timer_.start(0);
    }
    bool SawDialog() const { return seen_; }
    bool HadCancelButton() const { return hadCancelButton_; }

private:
    std::function<void(QProgressDialog&)> onDialog_;
    QTimer timer_;
    bool seen_ = false;
    bool hadCancelButton_ = false;
};

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int Count() const { return count_; }
    bool eventFilter(QObject* watched, QEvent* event) override {
        count_ += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }

private:
    int count_ = 0;
};

void ClickCancel(QProgressDialog& dialog) {
    const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    if (!buttons.isEmpty() && !dialog.wasCanceled()) {
        QTest::mouseClick(buttons.first(), Qt::LeftButton);
    }
}

}  // namespace

class ProgressDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        test::PrepareForTests();
        std::ofstream(bigFile_.Path("big.qvd"), std::ios::binary) << BigTableFile();
    }

    void init() { stores_ = std::make_unique<test::TempStores>(); }
    void cleanup() {
        app_.reset();
        stores_.reset();
    }

    void aQuickCommandShowsNoDialog() {
        QWidget owner;
        owner.show();
        {
            ProgressDialog progress(&owner, "データの読み込み", ProgressKind::Load);
            // Half done at the first step: only a stall of half a second could show the dialog.
            for (uint64_t done = 500; done <= 1000; done += 100) {
                QVERIFY(progress.Advance(done, 1000));
                QVERIFY(!progress.Dialog().isVisible());
            }
        }
        QCOMPARE(VisibleProgressDialog(), nullptr);
    }

    void aLongCommandShowsItsDialogWithinHalfASecond() {
        QWidget owner;
        owner.show();
        ProgressDialog progress(&owner, "データの読み込み", ProgressKind::Load);
        QElapsedTimer clock;
        clock.start();
        for (uint64_t done = 1; clock.elapsed() < 3000 && !progress.Dialog().isVisible(); ++done) {
            QVERIFY(progress.Advance(done, 1000));
            QThread::msleep(20);
        }
        QVERIFY(progress.Dialog().isVisible());
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(progress.Dialog().windowTitle(), QStringLiteral("データの読み込み"));
        QCOMPARE(progress.Dialog().windowModality(), Qt::ApplicationModal);
        // Its cancel button stops the command at the next step.
        const QList<QPushButton*> buttons = progress.Dialog().findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons.first()->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QTest::mouseClick(buttons.first(), Qt::LeftButton);
        QVERIFY(!progress.Advance(999, 1000));
    }

    void escapeCancelsALoadButNotASave() {
        QWidget owner;
        owner.show();
        for (const ProgressKind kind : {ProgressKind::Load, ProgressKind::Save}) {
            ProgressDialog progress(&owner, "x", kind);
            progress.Dialog().show();
            QVERIFY(QTest::qWaitForWindowExposed(&progress.Dialog()));
            QTest::keyClick(&progress.Dialog(), Qt::Key_Escape);
            progress.Dialog().close();
            QCOMPARE(progress.Advance(1, 2), kind == ProgressKind::Save);
            QCOMPARE(progress.Dialog().isVisible(), kind == ProgressKind::Save);
        }
    }

    void aSaveOffersNoCancel() {
        QWidget owner;
        ProgressDialog progress(&owner, "データの保存", ProgressKind::Save);
        progress.Dialog().show();
        QVERIFY(progress.Dialog().findChildren<QPushButton*>().isEmpty());
        QVERIFY(progress.Advance(5, 10));
    }

    void cancellingASlowedLoadLeavesEverythingAsItWas() {
        Create();
        TFormMain& form = app_->Form();
        form.SetCurFileName(stores_->Path("own.qvd"));
        form.SetEditTitle("mine");
        form.StringGrid().SetCell(1, 1, "own cell");
        SlowEvents slow(100, ClickCancel);
        form.RequestLoad(bigFile_.Path("big.qvd"));
        QVERIFY(app_->Windows().RunCommand([&form] { form.LoadTableFile(); }));
        QVERIFY(slow.SawDialog());
        QVERIFY(slow.HadCancelButton());
        QCOMPARE(VisibleProgressDialog(), nullptr);
        QCOMPARE(form.CurFileName(), stores_->Path("own.qvd"));
        QCOMPARE(form.EditTitle(), std::string("mine"));
        QCOMPARE(form.StringGrid().RowCount(), 6);
        QCOMPARE(form.StringGrid().CellText(1, 1), std::string("own cell"));
        QCOMPARE(form.StringGrid().CellText(0, 1), std::string("  1"));
    }

    void aSlowedLoadShowsItsProgressAndLoads() {
        Create();
        TFormMain& form = app_->Form();
        SlowEvents slow(100);
        // The main window is asked to repaint all along, and does.
        PaintCounter paints(app_->Main());
        QTimer repaint;
        QObject::connect(&repaint, &QTimer::timeout, [this] { app_->Main().update(); });
        repaint.start(0);
        form.RequestLoad(bigFile_.Path("big.qvd"));
        QVERIFY(app_->Windows().RunCommand([&form] { form.LoadTableFile(); }));
        QVERIFY(slow.SawDialog());
        QVERIFY(paints.Count() >= 3);
        QCOMPARE(VisibleProgressDialog(), nullptr);
        QCOMPARE(form.CurFileName(), bigFile_.Path("big.qvd"));
        QCOMPARE(form.StringGrid().RowCount(), kRows);
        QCOMPARE(form.StringGrid().CellText(8, kRows - 1), std::string("cell 99999"));
    }

    void aSlowedSaveShowsItsProgressWithoutCancel() {
        Create();
        TFormMain& form = app_->Form();
        form.RequestLoad(bigFile_.Path("big.qvd"));
        QVERIFY(app_->Windows().RunCommand([&form] { form.LoadTableFile(); }));
        const std::string copy = stores_->Path("copy.qvd");
        form.SetCurFileName(copy);
        // A save has no cancel button; pressing Escape on its dialog changes nothing.
        SlowEvents slow(20,
                        [](QProgressDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
        QVERIFY(app_->Windows().RunCommand([&form] { form.SaveFile(); }));
        QVERIFY(slow.SawDialog());
        QVERIFY(!slow.HadCancelButton());
        QCOMPARE(VisibleProgressDialog(), nullptr);
        std::ifstream saved(copy, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(saved)), {});
        QCOMPARE(bytes.size(), BigTableFile().size());
    }

private:
    void Create() {
        app_ = std::make_unique<Application>(stores_->Stores(), ".");
        app_->Start();
        QVERIFY(QTest::qWaitForWindowExposed(&app_->Main()));
    }

    test::TempStores bigFile_;
    std::unique_ptr<test::TempStores> stores_;
    std::unique_ptr<Application> app_;
};

}  // namespace qv

QTEST_MAIN(qv::ProgressDialogTest)
#include "progress_dialog_test.moc"
