// Saves the settings file and the site list over and over, alternating between two versions, until
// it is killed. The fault-injection test kills it at random moments.
//
//   save_loop DIR

#include "TornFileVersions.h"
#include "core/SettingsFile.h"
#include "core/SiteListFile.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const SettingsFile settings(dir.filePath(QStringLiteral("Skyvn.ini")));
    const SiteListFile sites(dir.filePath(QStringLiteral("SiteList.dab")));
    std::puts("saving");
    std::fflush(stdout);
    for (int i = 0;; ++i) {
        const int version = i % 2;
        settings.save(TornFileVersions::settings(version));
        sites.writeAll(TornFileVersions::sites(version));
    }
}
