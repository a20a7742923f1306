#include "RefreshSound.h"

#include "ProgramDirectory.h"
#include "SoundPlayer.h"

void RefreshSound::PlayRefreshSound(SoundPlayer& player, const QString& appDir)
{
    const QString path = ProgramDirectory::file(appDir, QString::fromLatin1(FileName));
    player.Close();
    player.Open(path);
    player.Play();
}
