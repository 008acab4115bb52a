#include "edit/step_sequence.h"

namespace qv {

void StepSequence::Undo(EditTarget& target) {
    for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) {
        (*step)->Undo(target);
    }
}

void StepSequence::Redo(EditTarget& target) {
    for (const auto& step : steps_) {
        step->Redo(target);
    }
}

std::size_t StepSequence::Bytes() const {
    std::size_t bytes = sizeof *this + steps_.capacity() * sizeof(steps_[0]);
    for (const auto& step : steps_) {
        bytes += step->Bytes();
    }
    return bytes;
}

}  // namespace qv
