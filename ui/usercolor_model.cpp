#include "ui/usercolor_model.h"

#include "settings/usercolor_store.h"
#include "ui/text.h"

void UserColorModel::SetEntries(std::shared_ptr<const std::vector<std::string>> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

int UserColorModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_entries ? 0 : static_cast<int>(m_entries->size());
}

QVariant UserColorModel::data(const QModelIndex& index, int role) const
{
    if ((role != Qt::DisplayRole && role != Qt::EditRole) || !index.isValid() || !m_entries
        || index.row() >= static_cast<int>(m_entries->size())) {
        return {};
    }
    return ToQString(UserColorName((*m_entries)[static_cast<std::size_t>(index.row())]));
}

bool UserColorModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row != 0 || count != rowCount()) {
        return false;
    }
    SetEntries(nullptr);
    return true;
}
