#include "gui/program_application.h"

#include <QEvent>
#include <cstdio>
#include <new>
#include <stdexcept>

#include "platform/failure.h"

namespace qv {

QString FailureMessage(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const Failure& error) {
        return QString::fromStdString(error.message());
    } catch (const std::bad_alloc&) {
        return QStringLiteral("メモリが足りません");
    } catch (const std::exception& error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
        return QStringLiteral("予期しないエラーが発生しました");
    }
}

ProgramApplication::ProgramApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ProgramApplication::notify(QObject* receiver, QEvent* event) {
    const QEvent::Type type = event->type();
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        Report(FailureMessage(std::current_exception()),
               type == QEvent::Paint || type == QEvent::UpdateRequest);
    }
    return false;
}

void ProgramApplication::Report(const QString& message, bool fromPainting) {
    if (fromPainting) {
        if (message == lastPaintingFailure_) {
            return;
        }
        lastPaintingFailure_ = message;
    }
    if (waiting_) {
        return;
    }
    waiting_ = true;
    pending_ = message;
    QMetaObject::invokeMethod(this, &ProgramApplication::ShowPending, Qt::QueuedConnection);
}

void ProgramApplication::ShowPending() {
    const QString message = pending_;
    try {
        if (show_) {
            show_(message);
        } else {
            std::fprintf(stderr, "%s.\n", message.toLocal8Bit().constData());
        }
    } catch (...) {
        // The box itself could not be shown (memory ran out): the standard error must do.
        std::fprintf(stderr, "%s.\n", message.toLocal8Bit().constData());
    }
    waiting_ = false;
}

}  // namespace qv
