#include "core/SiteListModel.h"

int SiteListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_sites.size());
}

int SiteListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SiteListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_sites.size() ||
        (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    const SiteRecord& site = m_sites.at(index.row());
    return index.column() == NameColumn ? site.Name : site.URL;
}

QVariant SiteListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return section == NameColumn ? QStringLiteral(" Name") : QStringLiteral("URL");
}

Qt::ItemFlags SiteListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    // Only the name is edited in place; the address stays as it was added.
    const Qt::ItemFlags shown = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return index.column() == NameColumn ? shown | Qt::ItemIsEditable : shown;
}

bool SiteListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != NameColumn || role != Qt::EditRole) {
        return false;
    }
    m_sites[index.row()].Name = value.toString();
    m_changed = true;
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

void SiteListModel::setSites(const QList<SiteRecord>& sites)
{
    beginResetModel();
    m_sites = sites;
    endResetModel();
    m_changed = false;
}

QStringList SiteListModel::names() const
{
    QStringList out;
    out.reserve(m_sites.size());
    for (const SiteRecord& site : m_sites) {
        out.append(site.Name);
    }
    return out;
}

void SiteListModel::add(const SiteRecord& site)
{
    const int row = int(m_sites.size());
    beginInsertRows({}, row, row);
    m_sites.append(site);
    endInsertRows();
    m_changed = true;
}

bool SiteListModel::remove(int row)
{
    if (row < 0 || row >= m_sites.size()) {
        return false;
    }
    beginRemoveRows({}, row, row);
    m_sites.removeAt(row);
    endRemoveRows();
    m_changed = true;
    return true;
}

std::optional<int> SiteListModel::move(SiteListReorder::Move how, int position)
{
    const std::optional<int> target = SiteListReorder::target(how, position, int(m_sites.size()));
    if (!target) {
        return std::nullopt;
    }
    // Taken out and put in again, as the reorder counts the target.
    const SiteRecord site = m_sites.at(position - 1);
    beginRemoveRows({}, position - 1, position - 1);
    m_sites.removeAt(position - 1);
    endRemoveRows();
    beginInsertRows({}, *target - 1, *target - 1);
    m_sites.insert(*target - 1, site);
    endInsertRows();
    m_changed = true;
    return *target - 1;
}
