#include "gui/compare_model.h"

#include <QFont>
#include <algorithm>

#include "app/compare_session.h"
#include "platform/cp932.h"

namespace qv {

namespace {

// Cells are shown up to this many bytes: the view shows a line of each, never a long text whole.
constexpr std::size_t kShownBytes = 1000;

QString Shown(std::string_view cp932) {
    QString text = QString::fromStdString(Cp932ToUtf8(cp932.substr(0, kShownBytes)));
    text.replace(QLatin1Char('\n'), QChar(0x21B5));  // "↵", as a one-line row shows breaks
    return text;
}

// A tint of `hue` over the palette's base: strong enough to see, weak enough that the text
// colour that stands on the base still reads, on a light base as on a dark one.
QColor Tint(const QColor& base, const QColor& hue, double strength) {
    const auto mix = [strength](int from, int to) {
        return static_cast<int>(from + (to - from) * strength);
    };
    return QColor(mix(base.red(), hue.red()), mix(base.green(), hue.green()),
                  mix(base.blue(), hue.blue()));
}

const QColor kAddedHue(0, 170, 0);
const QColor kRemovedHue(220, 0, 0);
const QColor kChangedHue(230, 160, 0);

}  // namespace

void CompareModel::SetSession(CompareSession* session) {
    beginResetModel();
    session_ = session;
    endResetModel();
}

void CompareModel::Reset() {
    beginResetModel();
    endResetModel();
}

int CompareModel::Pairs() const {
    return session_ == nullptr ? 0 : static_cast<int>(session_->Comparison().columns.pairs.size());
}

int CompareModel::PairOfColumn(int column) const {
    const int pairs = Pairs();
    if (column >= 2 && column < 2 + pairs) {
        return column - 2;
    }
    if (column >= 3 + pairs && column < 3 + 2 * pairs) {
        return column - 3 - pairs;
    }
    return -1;
}

int CompareModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || session_ == nullptr ? 0 : session_->EntryCount();
}

int CompareModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || session_ == nullptr ? 0 : 3 + 2 * Pairs();
}

bool CompareModel::CellDiffers(const CompareEntry& entry, int column) const {
    const int pair = PairOfColumn(column);
    if (entry.kind != RowPairKind::Changed || pair < 0) {
        return false;
    }
    const ColumnPair& cols = session_->Comparison().columns.PairAt(pair);
    return PairedCell(session_->Current(), cols.colA, entry.rowA) !=
           PairedCell(session_->Other(), cols.colB, entry.rowB);
}

QVariant CompareModel::Text(const CompareEntry& entry, int column) const {
    const int pairs = Pairs();
    if (column == 0) {
        switch (entry.kind) {
            case RowPairKind::OnlyA:
                return QStringLiteral("－");
            case RowPairKind::OnlyB:
                return QStringLiteral("＋");
            case RowPairKind::Changed:
                return QStringLiteral("≠");
            case RowPairKind::Same:
                return QString();
        }
    }
    const bool sideA = column < 2 + pairs;
    const int row = sideA ? entry.rowA : entry.rowB;
    if (row < 0) {
        return QString();
    }
    if (column == 1 || column == 2 + pairs) {
        return row;
    }
    const ColumnPair& cols = session_->Comparison().columns.PairAt(PairOfColumn(column));
    return sideA ? Shown(PairedCell(session_->Current(), cols.colA, row))
                 : Shown(PairedCell(session_->Other(), cols.colB, row));
}

QVariant CompareModel::Background(const CompareEntry& entry, int column) const {
    switch (entry.kind) {
        case RowPairKind::Same:
            return {};
        case RowPairKind::OnlyA:
            return Tint(base_, kRemovedHue, 0.25);
        case RowPairKind::OnlyB:
            return Tint(base_, kAddedHue, 0.25);
        case RowPairKind::Changed:
            return Tint(base_, kChangedHue, CellDiffers(entry, column) ? 0.45 : 0.15);
    }
    return {};
}

QVariant CompareModel::data(const QModelIndex& index, int role) const {
    if (session_ == nullptr || !index.isValid() || index.row() >= session_->EntryCount()) {
        return {};
    }
    const CompareEntry entry = session_->EntryAt(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return Text(entry, index.column());
        case Qt::BackgroundRole:
            return Background(entry, index.column());
        case Qt::FontRole:
            if (CellDiffers(entry, index.column()) || (index.column() == 0)) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole:
            if (index.column() == 0 || CellDiffers(entry, index.column())) {
                static const char* const kWords[] = {"", "変更", "削除 (この表だけの行)",
                                                     "追加 (比較する表だけの行)"};
                return QString::fromUtf8(kWords[static_cast<int>(entry.kind)]);
            }
            return {};
        default:
            return {};
    }
}

QVariant CompareModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || session_ == nullptr) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const int pairs = Pairs();
    if (section == 0) {
        return QString();
    }
    if (section == 1) {
        return QStringLiteral("この表");
    }
    if (section == 2 + pairs) {
        return QString::fromStdString(session_->OtherName());
    }
    const ColumnPair& cols = session_->Comparison().columns.PairAt(PairOfColumn(section));
    return section < 2 + pairs ? Shown(PairedCell(session_->Current(), cols.colA, 0))
                               : Shown(PairedCell(session_->Other(), cols.colB, 0));
}

}  // namespace qv
