#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

namespace qv {

// The message the failure box shows for an exception: a Failure's own message, "メモリが足りません"
// when memory ran out, the text of any other standard exception.
QString FailureMessage(const std::exception_ptr& failure);

// The program's QApplication. No exception ever leaves an event handler into Qt: whatever a
// mouse, key, input-method, paint or timer event's handler raises is shown in the failure box
// and the program carries on. The box opens from the event loop once the event has been handled,
// never from inside a paint or any other half-done event. While one such box waits or is open,
// further failures are not shown again, and a failure in painting is shown once per message: a
// painter that fails every time would otherwise bring the box back after each OK.
class ProgramApplication : public QApplication {
    Q_OBJECT
public:
    ProgramApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Where failures are shown: the program's failure box once its windows exist. Without one
    // they are written to the standard error.
    void SetFailureBox(std::function<void(const QString&)> show) { show_ = std::move(show); }

private:
    void Report(const QString& message, bool fromPainting);
    void ShowPending();

    std::function<void(const QString&)> show_;
    QString pending_;
    bool waiting_ = false;  // a box is queued or open
    QString lastPaintingFailure_;
};

}  // namespace qv
