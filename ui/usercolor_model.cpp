#include "ui/usercolor_model.h"

#include "settings/usercolor_store.h"
#include "ui/text.h"

void UserColorModel::SetEntries(std::shared_ptr<const TStringList> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    m_added.clear();
    endResetModel();
}

int UserColorModel::EntryCount() const
{
    return m_entries ? static_cast<int>(m_entries->size()) : 0;
}

int UserColorModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : EntryCount() + static_cast<int>(m_added.size());
}

QVariant UserColorModel::data(const QModelIndex& index, int role) const
{
    if ((role != Qt::DisplayRole && role != Qt::EditRole) || !index.isValid()
        || index.row() >= rowCount()) {
        return {};
    }
    const int row = index.row();
    if (row >= EntryCount()) {
        return m_added[static_cast<std::size_t>(row - EntryCount())];
    }
    return ToQString(UserColorName((*m_entries)[static_cast<std::size_t>(row)]));
}

bool UserColorModel::insertRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row != rowCount() || count < 1) {
        return false;
    }
    beginInsertRows(parent, row, row + count - 1);
    m_added.resize(m_added.size() + static_cast<std::size_t>(count));
    endInsertRows();
    return true;
}

bool UserColorModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if ((role != Qt::DisplayRole && role != Qt::EditRole) || !index.isValid()
        || index.row() < EntryCount() || index.row() >= rowCount()) {
        return false;
    }
    m_added[static_cast<std::size_t>(index.row() - EntryCount())] = value.toString();
    emit dataChanged(index, index, { Qt::DisplayRole, Qt::EditRole });
    return true;
}

bool UserColorModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row != 0 || count != rowCount()) {
        return false;
    }
    SetEntries(nullptr);
    return true;
}
