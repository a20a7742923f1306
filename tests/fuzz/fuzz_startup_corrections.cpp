// libFuzzer target: the start-up corrections over any stored record and any font list. Whatever was
// stored, the corrected window lies on the screen at least at its minimum size and the font size is
// usable.
#include "core/SettingsRecord.h"
#include "core/StartupCorrections.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    LiveSettings s = LiveSettings::fromRecord(SettingsRecord::decode(bytes));

    StartupCorrections::Environment env;
    env.appDir = QStringLiteral("/prog");
    env.screenWidthTwips = 19200;
    env.screenHeightTwips = 14400;
    // The bytes after the record name the installed fonts, one per line.
    if (bytes.size() > SettingsRecord::Size) {
        const QString tail = QString::fromLatin1(bytes.sliced(SettingsRecord::Size));
        env.fonts = tail.split(QLatin1Char('\n'));
    }
    env.uiFontFamily = env.fonts.isEmpty() ? QString() : env.fonts.last();
    env.fileMissing = [](const QString& p) { return p.endsWith(QLatin1String("DefPage.htm")) ? 0 : 53; };
    StartupCorrections::apply(s, env);

    const bool onScreen = s.MainLeft >= 0 && s.MainLeft <= 16200 && s.MainTop >= 0 && s.MainTop <= 12900;
    const bool bigEnough =
        s.MainWidth >= 7095 && s.MainHeight >= 5445 && s.EditorWidth >= 6945 && s.EditorHeight >= 3525;
    const bool fontUsable = s.FontSize >= 2;
    const bool fontKnown = env.fonts.isEmpty() || env.fonts.contains(s.FontName);
    if (!onScreen || !bigEnough || !fontUsable || !fontKnown) {
        std::abort();
    }
    return 0;
}
