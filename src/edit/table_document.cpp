#include "edit/table_document.h"

#include <algorithm>

#include "edit/background_reading.h"

namespace qv {

TableDocument::TableDocument(const GridShape& tableShape, const GridShape& bufferShape)
    : table_(tableShape), buffer_(bufferShape) {}

void TableDocument::Apply(std::unique_ptr<TableChange> change, Joining joining) {
    StopReadings();
    EditTarget target = Target();
    const GridCursor where = GridCursor::Of(table_);
    change->Redo(target);
    ++changeCount_;
    TableChange* last = typing_ && joining == Joining::Typing ? history_.Extendable() : nullptr;
    bool kept = false;
    if (last != nullptr && last->JoinTyping(*change)) {
        if (last->ChangesNothing()) {
            history_.DropLast();  // typed back to what the cell held
        } else {
            history_.Extended();
            kept = true;
        }
    } else if (!change->ChangesNothing()) {
        history_.Push(std::move(change), where);
        kept = true;
    }
    // Only a step this typing made may grow: never one that stood before it.
    typing_ = kept && joining == Joining::Typing;
}

void TableDocument::Undo() {
    StopReadings();
    EditTarget target = Target();
    history_.Undo(target);
    typing_ = false;
    ++changeCount_;
}

void TableDocument::Redo() {
    StopReadings();
    EditTarget target = Target();
    history_.Redo(target);
    typing_ = false;
    ++changeCount_;
}

void TableDocument::MarkSaved() {
    history_.MarkSaved();
    typing_ = false;
}

void TableDocument::KeepDeletedRow(int32_t row) {
    for (int32_t c = 1; c < table_.ColCount(); ++c) {
        buffer_.SetCell(c, 0, table_.Cell(c, row));
    }
}

void TableDocument::RemoveReading(BackgroundReading* reading) {
    readings_.erase(std::remove(readings_.begin(), readings_.end(), reading), readings_.end());
}

void TableDocument::StopReadings() {
    for (BackgroundReading* reading : readings_) {
        reading->Stop();
    }
}

}  // namespace qv
