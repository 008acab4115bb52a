#include "gui/design_colors.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace qv {

namespace {

const QColor kAqua(0x00, 0xFF, 0xFF);
const QColor kLineGrey(0x80, 0x80, 0x80);
const QColor kNavy(0x00, 0x00, 0x80);

// `base` with `share` (0 to 1) of `tint` mixed in.
QColor Mixed(const QColor& base, const QColor& tint, double share) {
    const auto mix = [share](int from, int to) {
        return static_cast<int>(from + (to - from) * share + 0.5);
    };
    return QColor(mix(base.red(), tint.red()), mix(base.green(), tint.green()),
                  mix(base.blue(), tint.blue()));
}

// How much of the design's aqua the fixed cells take on a dark base: enough to read as
// headings beside the data cells, little enough for the palette's light text to stand out.
constexpr double kDarkAquaShare = 0.35;

// The palette `widget` would have without a palette of its own.
QPalette SurroundingPalette(const QWidget& widget) {
    const QWidget* parent = widget.parentWidget();
    return parent != nullptr ? parent->palette() : QApplication::palette(&widget);
}

// Follows the palette around the widget it is installed on; the widget's own events tell of a
// change (its parent's palette, the application's, the desktop's theme).
class DesignTextColourKeeper final : public QObject {
public:
    DesignTextColourKeeper(QWidget& widget, QPalette::ColorRole role)
        : QObject(&widget), widget_(widget), role_(role) {
        widget.installEventFilter(this);
        Apply();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::PaletteChange:
            case QEvent::ApplicationPaletteChange:
            case QEvent::ThemeChange:
            case QEvent::ParentChange:
                Apply();
                break;
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Apply() {
        if (applying_) {
            return;
        }
        applying_ = true;
        const QPalette surrounding = SurroundingPalette(widget_);
        QPalette own;  // nothing of its own: every role comes from around it
        if (!IsDarkPalette(surrounding)) {
            own.setColor(role_, Qt::black);
        }
        if (own.resolveMask() != widget_.palette().resolveMask() ||
            own.color(role_) != widget_.palette().color(role_)) {
            widget_.setPalette(own);
        }
        applying_ = false;
    }

    QWidget& widget_;
    QPalette::ColorRole role_;
    bool applying_ = false;
};

}  // namespace

bool IsDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

GridColors GridColorsFor(const QPalette& palette) {
    GridColors colors;
    colors.highlight = palette.color(QPalette::Highlight);
    colors.highlightedText = palette.color(QPalette::HighlightedText);
    colors.lines = kLineGrey;  // as visible on dark grey as on white
    if (IsDarkPalette(palette)) {
        colors.cellText = palette.color(QPalette::Text);
        // The palette's button colour is often the data cells' own in a dark theme.
        colors.fixedBackground = Mixed(palette.color(QPalette::Base), kAqua, kDarkAquaShare);
        colors.fixedText = palette.color(QPalette::Text);
        colors.dragLine = palette.color(QPalette::Text);
        colors.dropMark = palette.color(QPalette::Highlight);
    } else {
        colors.cellText = Qt::black;
        colors.fixedBackground = kAqua;
        colors.fixedText = Qt::black;
        colors.dragLine = Qt::black;
        colors.dropMark = kNavy;
    }
    return colors;
}

void KeepDesignTextColour(QWidget& widget, QPalette::ColorRole role) {
    new DesignTextColourKeeper(widget, role);
}

}  // namespace qv
