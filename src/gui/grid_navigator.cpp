#include "gui/grid_navigator.h"

#include <QKeyEvent>

namespace qv {

namespace {

std::optional<NavigationKey> KeyOf(int key, bool ctrl) {
    switch (key) {
        case Qt::Key_Tab:
            return NavigationKey::Tab;
        case Qt::Key_Backtab:
            return NavigationKey::Backtab;
        case Qt::Key_Up:
            return ctrl ? NavigationKey::EdgeUp : NavigationKey::Up;
        case Qt::Key_Down:
            return ctrl ? NavigationKey::EdgeDown : NavigationKey::Down;
        case Qt::Key_Left:
            return ctrl ? NavigationKey::EdgeLeft : NavigationKey::Left;
        case Qt::Key_Right:
            return ctrl ? NavigationKey::EdgeRight : NavigationKey::Right;
        case Qt::Key_Home:
            return ctrl ? NavigationKey::CtrlHome : NavigationKey::Home;
        case Qt::Key_End:
            return ctrl ? NavigationKey::CtrlEnd : NavigationKey::End;
        case Qt::Key_PageUp:
            return NavigationKey::PageUp;
        case Qt::Key_PageDown:
            return NavigationKey::PageDown;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<NavigationPress> NavigationPressOf(const QKeyEvent& event) {
    const std::optional<NavigationKey> key =
        KeyOf(event.key(), event.modifiers() & Qt::ControlModifier);
    if (!key) {
        return std::nullopt;
    }
    const bool tab = *key == NavigationKey::Tab || *key == NavigationKey::Backtab;
    const bool shift = event.modifiers() & Qt::ShiftModifier;
    return NavigationPress{
        *key, shift && !tab ? TableGrid::Selection::Extend : TableGrid::Selection::Collapse};
}

}  // namespace qv
