#include "app/document_change.h"

#include <string>

namespace qv {

namespace {

// Runs `change` on the document, then tells the window.
template <class Change>
void ChangeAndTell(TableDocument& document, WindowSystem& windows, Change&& change) {
    const std::string title = document.Title();
    change();
    if (document.Title() != title) {
        windows.TitleChanged();
    }
    windows.EditStateChanged();
}

}  // namespace

void ApplyChange(TableDocument& document, WindowSystem& windows,
                 std::unique_ptr<TableChange> change) {
    ChangeAndTell(document, windows, [&] { document.Apply(std::move(change)); });
}

void MoveInHistory(TableDocument& document, WindowSystem& windows, HistoryMove move) {
    ChangeAndTell(document, windows, [&] {
        if (move == HistoryMove::Undo) {
            document.Undo();
        } else {
            document.Redo();
        }
    });
}

}  // namespace qv
