// The PDF goes to the disk as QPdfWriter makes it, through the program's atomic writer, so that
// memory stays flat however many pages there are and a failed or cancelled file never replaces
// the old one.
#include <QIODevice>
#include <QPdfWriter>
#include <exception>

#include "platform/files.h"
#include "print/table_pages.h"

namespace qv {

namespace {

class AtomicWriterDevice final : public QIODevice {
public:
    explicit AtomicWriterDevice(AtomicFileWriter& writer) : writer_(writer) {}

    bool isSequential() const override { return true; }
    // Qt's code does not expect exceptions: a failed write is kept and raised once it returns.
    void RaiseFailure() const {
        if (failure_) {
            std::rethrow_exception(failure_);
        }
    }

protected:
    qint64 readData(char* /*data*/, qint64 /*maxSize*/) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (failure_) {
            return -1;
        }
        try {
            writer_.Write(std::string_view(data, static_cast<std::size_t>(size)));
            return size;
        } catch (...) {
            failure_ = std::current_exception();
            return -1;
        }
    }

private:
    AtomicFileWriter& writer_;
    std::exception_ptr failure_;
};

}  // namespace

bool WritePdfFile(const TablePages& pages, const std::string& path, const PageProgress& progress) {
    AtomicFileWriter file(path);
    AtomicWriterDevice device(file);
    device.open(QIODevice::WriteOnly);
    bool finished = false;
    {
        QPdfWriter writer(&device);
        writer.setCreator(QStringLiteral("Quorvane"));
        writer.setPageLayout(pages.PageLayout());
        finished = PaintPages(pages, writer, progress);
    }
    device.RaiseFailure();
    if (finished) {
        file.Commit();
    }
    return finished;
}

}  // namespace qv
