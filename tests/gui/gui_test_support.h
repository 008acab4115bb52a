#pragma once

// Helpers of the window tests: a temporary place for the settings and history files, and a
// scripted user who answers the modal windows the program opens.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "gui/application.h"
#include "gui/message_dialog.h"
#include "gui/qt_window_system.h"
#include "platform/program_paths.h"

namespace qv::test {

// Made once before a test's first window: the program's fonts and Qt texts, and a
// configuration folder of the test's own, where Qt's file dialog keeps its state instead of the
// user's.
inline void PrepareForTests() {
    static QTemporaryDir configuration;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configuration.path()));
    PrepareApplication(*qApp);
}

// The settings file and the history file in a fresh folder that goes at the end of the test.
class TempStores {
public:
    TempStores() { QVERIFY(folder_.isValid()); }

    StoreLocations Stores() const { return {SettingsPath(), HistoryPath()}; }
    std::string SettingsPath() const { return Path("Quorvane.ini"); }
    std::string HistoryPath() const { return Path("Quorvane.hst"); }
    std::string Path(const char* name) const {
        return QFile::encodeName(folder_.filePath(QString::fromUtf8(name))).toStdString();
    }

private:
    QTemporaryDir folder_;
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
    QWidget* target = dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog;
    QTest::keyClick(target, key);
    return dialog.result();
}

// A real mouse click on the dialog's button with that text (the caption as written, "&"
// included); returns the dialog's result.
inline int ClickButton(QDialog& dialog, const QString& caption) {
    ShowActive(dialog);
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        if (button->text() == caption && button->isVisible()) {
            QTest::mouseClick(button, Qt::LeftButton);
            return dialog.result();
        }
    }
    qWarning() << "no button" << caption << "in" << dialog.windowTitle();
    dialog.reject();
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
        bool fileDialog = false;
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
        Seen record;
        record.title = dialog.windowTitle();
        if (auto* message = qobject_cast<MessageDialog*>(&dialog)) {
            record.text = message->Text();
        }
        record.fileDialog = qobject_cast<QFileDialog*>(&dialog) != nullptr;
        seen.push_back(record);
        if (script.empty()) {
            ++unexpected;
            qWarning() << "unexpected modal window" << record.title << record.text;
            return QDialog::Rejected;
        }
        Action action = std::move(script.front());
        script.pop_front();
        const int result = action(dialog);
        if (dialog.isVisible()) {
            dialog.hide();
        }
        return result;
    }
};

// Actions of the scripted user.
inline ScriptedUser::Action Press(Qt::Key key) {
    return [key](QDialog& dialog) { return PressKey(dialog, key); };
}
inline ScriptedUser::Action Click(const QString& caption) {
    return [caption](QDialog& dialog) { return ClickButton(dialog, caption); };
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
// Looks at the dialog, then leaves it with Esc.
inline ScriptedUser::Action Inspect(std::function<void(QDialog&)> look) {
    return [look](QDialog& dialog) {
        look(dialog);
        return PressKey(dialog, Qt::Key_Escape);
    };
}

}  // namespace qv::test
