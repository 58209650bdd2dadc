#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QAbstractListModel>
#include <QString>

#include "settings/string_list.h"

/// The items of the user colour drop-down: one row per stored entry, showing its name (bytes 7 to
/// the end). The names are made from the entries when the drop-down asks for them, so thousands of
/// stored colours are held once, as the entries, instead of once more as items. Items added to the
/// drop-down as texts (its AddItem) follow the entries as rows of their own.
class UserColorModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    /// Shows entries (null: none) in place of the current rows.
    void SetEntries(std::shared_ptr<const TStringList> entries);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Rows can be added at the end only, and given a text (what the drop-down's AddItem does).
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    /// Only removing every row is possible (what the drop-down's clear asks for).
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

private:
    int EntryCount() const;

    std::shared_ptr<const TStringList> m_entries;
    std::vector<QString> m_added;
};
