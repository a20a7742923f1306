#pragma once

#include "core/Preferences.h"

#include <QString>

// Skyvane.conf, the one place the preferences are read from and written to. A missing or damaged file
// gives the defaults; a save replaces the file whole.
class PreferencesStore
{
public:
    explicit PreferencesStore(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }

    // passedOver: how many Areas entries were not read for Preferences::MaxAreas.
    Preferences load(int* passedOver = nullptr) const;
    // False when the file could not be written.
    bool save(const Preferences& p) const;

private:
    QString m_path;
};
