#pragma once

#include <QFrame>
#include <vector>

#include "app/filter_commands.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;
class QVBoxLayout;

namespace qv {

class MainForm;

// The filter bar above the grid: one row per condition (a column by its item name or
// "すべての列", a test, a value), the loose-matching check box, and the message of a condition
// that cannot be used. The rows that meet every condition show about 150 ms after the user stops
// typing or choosing, found on a thread of their own so that the next key is not held up (it
// cancels the search under way); Enter filters at once. Closing the bar (Esc, its button) keeps
// the filter. Everything it does runs in FilterCommands.
class FilterBar : public QFrame {
    Q_OBJECT
public:
    FilterBar(MainForm& form, QWidget* focusAfterClosing, QWidget* parent);

    void Open();
    void Close();

    // The value box of the first condition, and the message shown beside the conditions.
    QLineEdit* ValueBox(std::size_t index = 0) const { return rows_.at(index).value; }
    QComboBox* ColumnBox(std::size_t index = 0) const { return rows_.at(index).column; }
    QComboBox* TestBox(std::size_t index = 0) const { return rows_.at(index).test; }
    QLabel* MessageLabel() const { return message_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct ConditionRow {
        QComboBox* column = nullptr;
        QComboBox* test = nullptr;
        QLineEdit* value = nullptr;
    };
    void AddCondition();
    void FillColumns(QComboBox& box) const;
    void Schedule();
    // The conditions as the bar holds them.
    std::vector<FilterBarCondition> Conditions() const;
    FilterMatching Matching() const;
    // At once (Enter), or off the window's thread after typing.
    void Apply();
    void ApplyInBackground();
    void StopFiltering();

    MainForm& form_;
    QWidget* focusAfterClosing_;
    QVBoxLayout* rowsLayout_ = nullptr;
    std::vector<ConditionRow> rows_;
    QCheckBox* loose_ = nullptr;
    QLabel* message_ = nullptr;
    QTimer* timer_ = nullptr;
    QTimer* filteringNoteTimer_ = nullptr;
};

}  // namespace qv
