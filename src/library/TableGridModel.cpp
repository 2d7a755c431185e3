#include "library/TableGridModel.h"

#include <algorithm>

TTableGridModel::TTableGridModel(sw::xbase::Table& table, QVector<TGridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(std::move(columns))
{
    Refresh();
}

void TTableGridModel::Refresh()
{
    beginResetModel();
    const std::uint32_t here = table_.eof() ? 0 : table_.recNo();
    listed_ = false;
    recnos_.clear();
    rows_ = 0;
    for (table_.goTop(); !table_.eof(); table_.skip(1))
        ++rows_;
    anchorRow_ = -1;
    cachedRow_ = -1;
    if (here != 0)
        table_.go(here);
    endResetModel();
}

void TTableGridModel::ShowOnly(std::vector<std::uint32_t> recnos)
{
    beginResetModel();
    listed_ = true;
    recnos_ = std::move(recnos);
    rows_ = int(recnos_.size());
    anchorRow_ = -1;
    cachedRow_ = -1;
    endResetModel();
}

int TTableGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int TTableGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

bool TTableGridModel::MoveTo(int row) const
{
    if (row < 0 || row >= rows_)
        return false;
    try {
        if (listed_) {
            table_.go(recnos_[size_t(row)]);
            return !table_.eof();
        }
        // From the anchor when it is nearer than the top (it nearly always is: paints and
        // selections move a few rows at a time).
        if (anchorRow_ >= 0 && std::abs(row - anchorRow_) < row) {
            table_.go(anchorRecNo_);
            table_.skip(row - anchorRow_);
        } else {
            table_.goTop();
            table_.skip(row);
        }
    } catch (const std::exception&) {
        anchorRow_ = -1;
        return false;
    }
    if (table_.eof() || table_.bof()) {
        anchorRow_ = -1;
        return false;
    }
    anchorRow_ = row;
    anchorRecNo_ = table_.recNo();
    return true;
}

std::uint32_t TTableGridModel::RecNoAt(int row) const
{
    return MoveTo(row) ? table_.recNo() : 0;
}

int TTableGridModel::RowOf(std::uint32_t recno) const
{
    if (listed_) {
        const auto at = std::find(recnos_.begin(), recnos_.end(), recno);
        return at == recnos_.end() ? -1 : int(at - recnos_.begin());
    }
    int row = 0;
    for (table_.goTop(); !table_.eof(); table_.skip(1), ++row) {
        if (table_.recNo() == recno) {
            anchorRow_ = row;
            anchorRecNo_ = recno;
            return row;
        }
    }
    anchorRow_ = -1;
    return -1;
}

QVariant TTableGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::TextAlignmentRole))
        return {};
    const TGridColumn& col = columns_.at(index.column());
    const int fieldNo = table_.fieldIndex(col.Field);
    if (role == Qt::TextAlignmentRole) {
        const bool numeric = fieldNo >= 0 &&
                             table_.fields()[fieldNo].type == sw::xbase::FieldType::Numeric;
        return QVariant::fromValue(Qt::AlignVCenter | (numeric ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (cachedRow_ != index.row()) {
        if (!MoveTo(index.row()))
            return {};
        cached_.clear();
        // Painting must never fail: a row that cannot be read shows blank.
        try {
            for (const TGridColumn& c : columns_)
                cached_ << QString::fromStdString(table_.getString(c.Field)).trimmed();
        } catch (const std::exception&) {
            cached_.clear();
        }
        cachedRow_ = index.row();
    }
    return cached_.value(index.column());
}

QVariant TTableGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < columns_.size() ? columns_.at(section).Title : QVariant();
    return {};
}
