#pragma once

#include <memory>
#include <string>

#include "platform/program_paths.h"

class QApplication;
class QTimer;

namespace qv {

class AboutBox;
class ActivationTracker;
class GoToRowDialog;
class TitleListWindow;
class ItemNameDialog;
class MainWindow;
class MatchCountDialog;
class QtWindowSystem;
class MainForm;
class TitleListForm;

// Made once before any window: Qt's own texts (file dialogs, edit menus) in Japanese whatever
// the locale, the design's font names mapped to installed fonts, the program's icon.
void PrepareApplication(QApplication& application);

// The program's windows and their logic, created once in the order of the design (FormMain,
// AboutBox, OKBottomDlg, OKBottomDlgFind, Form_History) and kept until the program ends.
class Application {
public:
    // `stores` names the settings and history files; `decimalSeparator` is the locale's.
    // `stateFolder` keeps the recovery copies of unsaved tables; none are kept when it is empty.
    Application(StoreLocations stores, std::string decimalSeparator,
                const std::string& stateFolder = {});
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Shows the main window in the middle of the screen with its restored size. Its first
    // activation then runs from the event loop, and so do the offer of the recovery copies left
    // by crashed programs and, from then on, the timer that writes this program's. A file given
    // (the command line's) opens after them, as InterchangeCommands::OpenFile opens it.
    void Start(const std::string& file = {});
    // Ends the event loop once the main window has closed for good. Other windows are left as
    // they are: closing them would run their close handlers (the title list window would store
    // its geometry), which ending the program must not do.
    void EndEventLoopWithMainWindow();

    QtWindowSystem& Windows() { return *windows_; }
    MainForm& MainLogic() { return *mainForm_; }
    TitleListForm& TitleListLogic() { return *titleListForm_; }
    MainWindow& Main() { return *main_; }
    AboutBox& About() { return *about_; }
    ItemNameDialog& ItemName() { return *itemName_; }
    MatchCountDialog& MatchCount() { return *matchCount_; }
    GoToRowDialog& GoToRow() { return *goToRow_; }
    TitleListWindow& TitleList() { return *titleListWindow_; }

private:
    // A slice of the recovery copy, and the next one soon while it is being built.
    void KeepRecoveryCopy();

    std::unique_ptr<QtWindowSystem> windows_;
    std::unique_ptr<MainForm> mainForm_;
    std::unique_ptr<TitleListForm> titleListForm_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<AboutBox> about_;
    std::unique_ptr<ItemNameDialog> itemName_;
    std::unique_ptr<MatchCountDialog> matchCount_;
    std::unique_ptr<GoToRowDialog> goToRow_;
    std::unique_ptr<TitleListWindow> titleListWindow_;
    std::unique_ptr<ActivationTracker> tracker_;
    std::unique_ptr<QTimer> recoveryTimer_;
};

}  // namespace qv
