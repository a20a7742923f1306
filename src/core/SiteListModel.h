#pragma once

#include "core/SiteListReorder.h"
#include "core/SiteRecord.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <optional>

// The saved sites as the editor shows them: two columns, the name (edited in place) and the address.
// Every change (a row added, removed, renamed or moved) sets the changed flag; a new list clears it.
class SiteListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        NameColumn,
        AddressColumn,
        ColumnCount
    };

    explicit SiteListModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A name entered counts as a rename, even when it is the name that was there.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Replaces the rows with a list as read; it is unchanged.
    void setSites(const QList<SiteRecord>& sites);
    const QList<SiteRecord>& sites() const { return m_sites; }
    QStringList names() const;

    void add(const SiteRecord& site);
    // The row (from 0) goes; false when there is none there.
    bool remove(int row);
    // Moves the row at position (from 1) as SiteListReorder has it: its new row (from 0), or nothing
    // when the move does not act.
    std::optional<int> move(SiteListReorder::Move how, int position);

    bool changed() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }

private:
    QList<SiteRecord> m_sites;
    bool m_changed = false;
};
