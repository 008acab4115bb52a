#pragma once

#include <QAbstractTableModel>
#include <QColor>

namespace qv {

class CompareSession;
struct CompareEntry;

// The compare window's lines: the mark of the line, then the current table's row number and
// cells, then the other table's, one line per entry of the session, so that one view shows both
// tables side by side, aligned and scrolled together. Lines and cells that differ take a tint of
// the palette's base (so that they read in a light and a dark palette alike) and, not by colour
// alone, a mark ("＋", "－", "≠") and a bold face.
class CompareModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CompareModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // The session shown (nullptr: none); the model reads it afresh.
    void SetSession(CompareSession* session);
    // The session changed (compared again, filtered): every line anew.
    void Reset();
    void SetBase(const QColor& base) { base_ = base; }

    // The compared column a view column shows (an index into the pairs), or -1.
    int PairOfColumn(int column) const;
    // The view column of the current table's cell of a pair.
    int ColumnOfPair(int pair) const { return 2 + pair; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int Pairs() const;
    QVariant Text(const CompareEntry& entry, int column) const;
    QVariant Background(const CompareEntry& entry, int column) const;
    bool CellDiffers(const CompareEntry& entry, int column) const;

    CompareSession* session_ = nullptr;
    QColor base_ = Qt::white;
};

}  // namespace qv
