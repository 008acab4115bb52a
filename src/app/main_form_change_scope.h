#pragma once

#include "app/main_form.h"

namespace qv {

// Brackets a change made by the program: the text typed so far in an open cell editor becomes a
// step of its own first, grid notifications meanwhile are not taken for the user's, and at the
// end the window hears that the undo state may have changed.
class MainForm::ChangeScope {
public:
    explicit ChangeScope(MainForm& form) : form_(form), outer_(form.changing_) {
        if (!outer_) {
            form_.FlushCellEdit();
            form_.changing_ = true;
        }
    }
    ~ChangeScope() {
        if (!outer_) {
            form_.changing_ = false;
            try {
                form_.ReopenCellEdit();
            } catch (...) {
                form_.cellEdit_.reset();  // out of memory: typing on is not recorded
            }
            form_.EditStateChanged();
        }
    }
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

private:
    MainForm& form_;
    bool outer_;
};

}  // namespace qv
