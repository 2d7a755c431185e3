#pragma once
// A read-only grid over an open table in its controlling order. Rows are reached by the
// engine's ordered moves (go to a known record, skip from there); nothing of the table is
// copied except the one row last read.
#include "xbase/Table.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdlib>
#include <cstdint>
#include <vector>

struct TGridColumn {
    QString Title;
    const char* Field;
    int DisplayWidth; // characters
};

class TTableGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TTableGridModel(sw::xbase::Table& table, QVector<TGridColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const QVector<TGridColumn>& Columns() const { return columns_; }

    // Recounts the visible records after the table changed (append, edit, delete); every
    // visible record is a row again.
    void Refresh();
    // Only these records are rows, in this order (visible records of the table). Rows are then
    // reached by record number, whatever their distance.
    void ShowOnly(std::vector<std::uint32_t> recnos);
    // Puts the table's record pointer on the row; false when there is no such row.
    bool MoveTo(int row) const;
    // The row of a record in the current order; -1 when it is not visible.
    int RowOf(std::uint32_t recno) const;
    // The record number of a row, 0 when there is none.
    std::uint32_t RecNoAt(int row) const;

private:
    sw::xbase::Table& table_;
    QVector<TGridColumn> columns_;
    int rows_ = 0;
    bool listed_ = false;
    std::vector<std::uint32_t> recnos_;
    // Where the pointer was last put: moves start from there.
    mutable int anchorRow_ = -1;
    mutable std::uint32_t anchorRecNo_ = 0;
    mutable int cachedRow_ = -1;
    mutable QStringList cached_;
};
