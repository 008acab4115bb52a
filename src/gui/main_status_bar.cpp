#include "gui/main_status_bar.h"

#include <QLabel>
#include <QPainter>

namespace qv {

namespace {

// The selection's figures give way first in a narrow window (the design's is 276 wide): they
// end in "…" rather than push the position and the modified mark out of sight.
class ElidingLabel final : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return QSize(0, QLabel::minimumSizeHint().height()); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.drawText(area, static_cast<int>(alignment()),
                         fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
    }
};

}  // namespace

MainStatusBar::MainStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(false);
}

QLabel* MainStatusBar::Label(Field field) {
    auto found = labels_.find(field);
    if (found != labels_.end()) {
        return found->second;
    }
    auto* label = field == Field::Selection ? new ElidingLabel(this) : new QLabel(this);
    int index = 0;
    for (const auto& [other, shown] : labels_) {
        index += other < field ? 1 : 0;
    }
    insertPermanentWidget(index, label);
    labels_.emplace(field, label);
    return label;
}

void MainStatusBar::SetField(Field field, const QString& text) {
    QLabel* label = Label(field);
    label->setText(text);
    label->setVisible(!text.isEmpty());
}

QString MainStatusBar::FieldText(Field field) const {
    auto found = labels_.find(field);
    return found != labels_.end() ? found->second->text() : QString();
}

void MainStatusBar::ShowModified(bool modified) {
    SetField(Field::Modified, modified ? QStringLiteral("変更あり") : QString());
}

}  // namespace qv
