#include "core/RefreshSound.h"

#include "core/ProgramDirectory.h"
#include "core/SoundPlayer.h"

void RefreshSound::PlayRefreshSound(SoundPlayer& player, const QString& appDir)
{
    const QString path = ProgramDirectory::file(appDir, QString::fromLatin1(FileName));
    player.Close();
    player.Open(path);
    player.Play();
}
