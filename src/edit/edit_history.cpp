#include "edit/edit_history.h"

#include <algorithm>

namespace qv {

void EditHistory::Push(std::unique_ptr<TableChange> change, GridCursor where) {
    while (changes_.size() > done_) {
        bytes_ -= sizes_.back();
        changes_.pop_back();
        sizes_.pop_back();
        places_.pop_back();
    }
    if (saved_ && *saved_ > done_) {
        saved_.reset();
    }
    sizes_.push_back(change->Bytes());
    bytes_ += sizes_.back();
    changes_.push_back(std::move(change));
    places_.push_back(where);
    ++done_;
    while (changes_.size() > 1 &&
           (changes_.size() > limits_.maxSteps || bytes_ > limits_.maxBytes)) {
        DropOldest();
    }
}

void EditHistory::DropLast() {
    if (changes_.empty() || CanRedo()) {
        return;
    }
    bytes_ -= sizes_.back();
    changes_.pop_back();
    sizes_.pop_back();
    places_.pop_back();
    --done_;
}

void EditHistory::DropOldest() {
    bytes_ -= sizes_.front();
    changes_.pop_front();
    sizes_.pop_front();
    places_.pop_front();
    --done_;
    if (saved_) {
        saved_ = *saved_ == 0 ? std::nullopt : std::optional<std::size_t>(*saved_ - 1);
    }
}

void EditHistory::Undo(EditTarget& target) {
    if (CanUndo()) {
        changes_[done_ - 1]->Undo(target);
        places_[done_ - 1].ApplyTo(target.grid);
        --done_;
    }
}

void EditHistory::Redo(EditTarget& target) {
    if (CanRedo()) {
        places_[done_].ApplyTo(target.grid);
        changes_[done_]->Redo(target);
        ++done_;
    }
}

bool EditHistory::AtSavedState() const {
    if (!saved_) {
        return false;
    }
    for (std::size_t i = std::min(*saved_, done_); i < std::max(*saved_, done_); ++i) {
        if (changes_[i]->Saved()) {
            return false;
        }
    }
    return true;
}

TableChange* EditHistory::Extendable() {
    if (!CanUndo() || CanRedo() || saved_ == done_) {
        return nullptr;
    }
    return changes_.back().get();
}

void EditHistory::Extended() {
    if (!changes_.empty()) {
        bytes_ -= sizes_.back();
        sizes_.back() = changes_.back()->Bytes();
        bytes_ += sizes_.back();
    }
}

void EditHistory::Clear() {
    changes_.clear();
    sizes_.clear();
    places_.clear();
    done_ = 0;
    bytes_ = 0;
    saved_ = 0;
}

}  // namespace qv
