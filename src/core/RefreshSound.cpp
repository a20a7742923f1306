#include "core/RefreshSound.h"

#include "core/ProgramDirectory.h"
#include "core/SoundPlayer.h"

void RefreshSound::playRefreshSound(SoundPlayer& player, const QString& appDir)
{
    const QString path = ProgramDirectory::file(appDir, QString::fromLatin1(FileName));
    player.playFile(path);
}
