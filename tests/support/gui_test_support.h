#pragma once

// Helpers of the window tests: a temporary place for the settings and history files, the
// program started on them, and a scripted user who answers the modal windows the program opens.

#include <QtTest>
#include <QtWidgets>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "gui/application.h"
#include "gui/main_window.h"
#include "gui/message_dialog.h"
#include "gui/program_application.h"
#include "gui/qt_window_system.h"
#include "gui/title_list_window.h"
#include "platform/cp932.h"
#include "platform/program_paths.h"
#include "temp_folder.h"

// A window test's main() on the program's own QApplication, so that a failure escaping an event
// handler shows in the failure box as it does in the program.
#define QV_PROGRAM_TEST_MAIN(TestObject)                 \
    int main(int argc, char* argv[]) {                   \
        qv::ProgramApplication application(argc, argv);  \
        application.setAttribute(Qt::AA_Use96Dpi, true); \
        TestObject test;                                 \
        return QTest::qExec(&test, argc, argv);          \
    }

namespace qv::test {

// Made once before a test's first window: the program's fonts and Qt texts, and a home,
// configuration and data folder of the test's own, where Qt's file dialog keeps its state and
// deleted tables go to the trash instead of the user's.
inline QString TestHome() {
    static QTemporaryDir home;
    return home.path();
}
inline void PrepareForTests() {
    static QTemporaryDir configuration;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configuration.path()));
    qputenv("HOME", QFile::encodeName(TestHome()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(TestHome() + "/data"));
    QDir().mkpath(TestHome() + "/data");
    PrepareApplication(*qApp);
}

inline std::string Sjis(const char* utf8) {
    return *Utf8ToCp932(utf8);
}

// Types each character as a key press carrying its text, as a keyboard or an input method would.
inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
    }
}

// The settings file and the history file in a fresh folder that goes at the end of the test.
struct TempStores : TempFolder {
    StoreLocations Stores() const { return {*this / "Quorvane.ini", *this / "Quorvane.hst"}; }
    std::string Path(const char* name) const { return *this / name; }
};

// Shows a modal dialog as a window of its own and waits until it is the active window, so that
// key events reach it as they would reach the real dialog.
inline void ShowActive(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

// A real key press on the dialog's focused control; returns the dialog's result.
inline int PressKey(QDialog& dialog, Qt::Key key) {
    ShowActive(dialog);
    QTest::keyClick(dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog, key);
    return dialog.result();
}

// Stands in for the user at every modal window the program opens: records what was shown and
// answers with the next scripted action. A window with no action left is cancelled and counted
// as unexpected.
class ScriptedUser {
public:
    using Action = std::function<int(QDialog&)>;
    struct Seen {
        QString title;
        QString text;  // a message dialog's text, else empty
    };

    explicit ScriptedUser(QtWindowSystem& windows) {
        windows.SetModalRunner([this](QDialog& dialog) { return Answer(dialog); });
    }
    ScriptedUser& Then(Action action) {
        script.push_back(std::move(action));
        return *this;
    }

    std::vector<Seen> seen;
    std::deque<Action> script;
    int unexpected = 0;

private:
    int Answer(QDialog& dialog) {
        const auto* message = qobject_cast<MessageDialog*>(&dialog);
        seen.push_back({dialog.windowTitle(), message != nullptr ? message->Text() : QString()});
        if (script.empty()) {
            ++unexpected;
            qWarning() << "unexpected modal window" << seen.back().title << seen.back().text;
            return QDialog::Rejected;
        }
        const Action action = std::move(script.front());
        script.pop_front();
        const int result = action(dialog);
        dialog.hide();
        return result;
    }
};

inline ScriptedUser::Action Press(Qt::Key key) {
    return [key](QDialog& dialog) { return PressKey(dialog, key); };
}
// Types a path into the file dialog and accepts it.
inline ScriptedUser::Action ChooseFile(const std::string& path) {
    return [path](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        files.selectFile(QFile::decodeName(QByteArray::fromStdString(path)));
        static_cast<QDialog&>(files).accept();  // QFileDialog::accept, which checks the name
        return files.result();
    };
}

// The program's windows on stores of their own, with the scripted user at their modal windows.
// Going, it fails the running test if a modal window came unexpected or an answer was left.
struct Program {
    explicit Program(const StoreLocations& stores) : app(stores, "."), user(app.Windows()) {}
    ~Program() {
        QCOMPARE(user.unexpected, 0);
        QVERIFY(user.script.empty());
    }
    // Shows the main window and waits for the title list window its first activation opens.
    void Start() {
        app.Start();
        QTRY_VERIFY(app.TitleList().isActiveWindow());
    }
    MainForm& Form() { return app.MainLogic(); }
    TableGrid& Grid() { return app.MainLogic().Document().UnrecordedTable(); }

    Application app;
    ScriptedUser user;
};

}  // namespace qv::test
