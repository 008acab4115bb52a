#pragma once

#include <QStatusBar>
#include <map>

class QLabel;

namespace qv {

// The strip along the main window's bottom edge. Each field is a short text of its own, kept at
// the right in the order of Field whatever order they are first set in; an empty text hides it.
class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    // The selection's figures, the current cell's place, the modified mark.
    // The rows a filter shows first ("表示 1,234 / 1,000,000 行").
    enum class Field { Filter, Selection, Position, Modified };

    explicit MainStatusBar(QWidget* parent);

    void SetField(Field field, const QString& text);
    QString FieldText(Field field) const;
    // The modified mark: whether the table differs from the one last loaded or saved.
    void ShowModified(bool modified);

private:
    QLabel* Label(Field field);
    std::map<Field, QLabel*> labels_;
};

}  // namespace qv
