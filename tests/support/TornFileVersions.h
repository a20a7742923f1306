#pragma once

#include "core/SettingsRecord.h"
#include "core/SiteRecord.h"

#include <QList>

// Two versions of each record file for the fault-injection test: any file found must be one of them.
class TornFileVersions
{
public:
    static SettingsRecord settings(int version)
    {
        SettingsRecord r;
        r.MainLeft = version == 0 ? 0 : 1500;
        r.MainWidth = version == 0 ? 7095 : 12000;
        r.MainHeight = 5445;
        r.EditorWidth = 6945;
        r.EditorHeight = 3525;
        r.StartPage = version == 0 ? QStringLiteral("http://old.example/") : QString(300, QLatin1Char('n'));
        r.FontName = QStringLiteral("DejaVu Sans");
        r.FontSize = version == 0 ? 9 : 11;
        return r;
    }

    static QList<SiteRecord> sites(int version)
    {
        QList<SiteRecord> out;
        for (int i = 0; i < (version == 0 ? 3 : 40); ++i) { // 1200 bytes, or 16000 bytes
            out.append(
                {QStringLiteral("Site %1 v%2").arg(i).arg(version), QStringLiteral("http://s%1/").arg(i)});
        }
        return out;
    }

    static QByteArray sitesBytes(int version)
    {
        QByteArray bytes;
        for (const SiteRecord& r : sites(version)) {
            bytes += r.encode();
        }
        return bytes;
    }
};
