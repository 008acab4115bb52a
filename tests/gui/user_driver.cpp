// A stand-in user, loaded into the real program with LD_PRELOAD by crash_recovery_test. It acts
// through real key and mouse events on the program's windows, found by their names, following
// QV_DRIVER_SCRIPT:
//  - "edit": reopens the first table of the title list, types "X" at the end of the title and
//    "RECOVERED" into the current cell, then prints "EDITED";
//  - "restore": prints the caption of the question it is asked, answers "はい(&Y)", saves with
//    "上書き(&S)" and ends the program with "終了(&X)".
#include <QtTest>
#include <QtWidgets>
#include <cstdio>

namespace {

// The named widget or action inside one of the program's windows.
template <class T>
T* Find(const char* name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (T* child = top->findChild<T*>(QString::fromUtf8(name))) {
            return child;
        }
    }
    return nullptr;
}

void Say(const QString& text) {
    std::printf("%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

// One step each tick; a step that finds its window not ready yet waits for the next tick.
class Driver : public QObject {
public:
    explicit Driver(QObject* parent) : QObject(parent), script_(qgetenv("QV_DRIVER_SCRIPT")) {
        timer_.callOnTimeout(this, [this] { script_ == "edit" ? Edit() : Restore(); });
        timer_.start(100);
    }

private:
    void Edit() {
        auto* list = Find<QListWidget>("TitleListBox");
        auto* title = Find<QLineEdit>("EditTitle");
        QWidget* grid = Find<QWidget>("Table");
        if (step_ == 0 && list != nullptr && list->isVisible() && list->count() > 0) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(0)).center());
            QTest::mouseClick(Find<QPushButton>("Button1"), Qt::LeftButton);
            ++step_;
        } else if (step_ == 1 && title != nullptr && !title->text().isEmpty()) {
            QTest::keyClick(title, Qt::Key_End);
            QTest::keyClicks(title, QStringLiteral("X"));
            QTest::keyClick(grid, Qt::Key_F2);
            if (auto* editor = grid->findChild<QLineEdit*>(); editor != nullptr) {
                QTest::keyClicks(editor, QStringLiteral("RECOVERED"));
                QTest::keyClick(editor, Qt::Key_Return);
            }
            Say(QStringLiteral("EDITED"));
            ++step_;
        }
    }

    // A click lost on a busy machine is repeated while the question stays open.
    void Restore() {
        QWidget* modal = QApplication::activeModalWidget();
        if (step_ == 0 && modal != nullptr) {
            if (!asked_) {
                Say(modal->windowTitle());
                asked_ = true;
            }
            for (QPushButton* button : modal->findChildren<QPushButton*>()) {
                if (button->text() == QStringLiteral("はい(&Y)")) {
                    QTest::mouseClick(button, Qt::LeftButton);
                }
            }
        } else if (step_ == 0 && asked_ && modal == nullptr && Restored()) {
            Find<QAction>("KO1")->trigger();
            Find<QAction>("Exit1")->trigger();
            ++step_;
        }
    }

    // Whether the restored table is in place: its title ("買い物X") shows. Until then a tick may
    // fall inside the copy's reading, which lets timers run, and saving there would find no file
    // name yet.
    static bool Restored() {
        auto* title = Find<QLineEdit>("EditTitle");
        return title != nullptr && title->text().endsWith(QLatin1Char('X'));
    }

    QByteArray script_;
    QTimer timer_;
    int step_ = 0;
    bool asked_ = false;
};

void StartDriver() {
    new Driver(QCoreApplication::instance());
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartDriver)
