#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;
class QWindow;

namespace qv {

// Tells when the main window and the title list window are activated in the program's sense.
// The main window counts as activated when it is first activated, and when the user comes to it
// from the title list window; coming back from a modal window (a dialog, a message box, a file
// dialog), from the help viewer or from another program does not count. The title list window
// counts each time it becomes the active window. The handlers run from the event loop, after
// the window system has finished the change.
class ActivationTracker : public QObject {
    Q_OBJECT
public:
    ActivationTracker(QWidget& mainWindow, QWidget& titleListWindow,
                      std::function<void()> mainActivated, std::function<void()> titleListActivated,
                      QObject* parent = nullptr);

    // The title list window is about to be hidden while it is the active window: the main
    // window's activation that follows comes from it, even when the system passes through
    // "no active window" on the way.
    void TitleListWindowHiding();

private:
    void FocusWindowChanged(QWindow* now);
    bool Is(QWindow* window, QWidget& widget) const;
    void Later(const std::function<void()>& handler);

    QWidget& main_;
    QWidget& titleList_;
    std::function<void()> mainActivated_;
    std::function<void()> titleListActivated_;
    QPointer<QWindow> previous_;
    bool mainWasActivated_ = false;
    bool leavingTitleList_ = false;
};

}  // namespace qv
