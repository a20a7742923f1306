#include "core/SettingsRecord.h"

#include "core/FixedText.h"

#include <QtEndian>

#include <bit>
#include <cstring>

namespace {

constexpr qsizetype kOffMainLeft = 0;
constexpr qsizetype kOffEditorWidth = 16;
constexpr qsizetype kOffINetDisabled = 24;
constexpr qsizetype kOffReserved26 = 26;
constexpr qsizetype kOffStartPage = 30;
constexpr qsizetype kOffReserved330 = 330;
constexpr qsizetype kOffReserved334 = 334;
constexpr qsizetype kOffFontName = 336;
constexpr qsizetype kOffFontBold = 464;
constexpr qsizetype kOffFontSize = 466;

float readFloat(const char* p)
{
    return std::bit_cast<float>(qFromLittleEndian<quint32>(p));
}

void writeFloat(char* p, float v)
{
    qToLittleEndian(std::bit_cast<quint32>(v), p);
}

} // namespace

SettingsRecord SettingsRecord::decode(QByteArrayView bytes)
{
    QByteArray full(Size, '\0');
    if (!bytes.isEmpty()) {
        std::memcpy(full.data(), bytes.data(), static_cast<std::size_t>(qMin(bytes.size(), Size)));
    }
    const char* p = full.constData();

    SettingsRecord r;
    r.MainLeft = readFloat(p + kOffMainLeft);
    r.MainTop = readFloat(p + kOffMainLeft + 4);
    r.MainWidth = readFloat(p + kOffMainLeft + 8);
    r.MainHeight = readFloat(p + kOffMainLeft + 12);
    r.EditorWidth = readFloat(p + kOffEditorWidth);
    r.EditorHeight = readFloat(p + kOffEditorWidth + 4);
    r.INetDisabled = qFromLittleEndian<qint16>(p + kOffINetDisabled);
    r.StartPage = FixedText::read(QByteArrayView(p + kOffStartPage, StartPageWidth));
    std::memcpy(r.Reserved330.data(), p + kOffReserved330, r.Reserved330.size());
    std::memcpy(r.Reserved334.data(), p + kOffReserved334, r.Reserved334.size());
    r.FontName = FixedText::read(QByteArrayView(p + kOffFontName, FontNameWidth));
    r.FontBold = qFromLittleEndian<qint16>(p + kOffFontBold);
    r.FontSize = readFloat(p + kOffFontSize);
    return r;
}

QByteArray SettingsRecord::encode() const
{
    QByteArray out(Size, '\0');
    char* p = out.data();
    writeFloat(p + kOffMainLeft, MainLeft);
    writeFloat(p + kOffMainLeft + 4, MainTop);
    writeFloat(p + kOffMainLeft + 8, MainWidth);
    writeFloat(p + kOffMainLeft + 12, MainHeight);
    writeFloat(p + kOffEditorWidth, EditorWidth);
    writeFloat(p + kOffEditorWidth + 4, EditorHeight);
    qToLittleEndian<qint16>(INetDisabled, p + kOffINetDisabled);
    std::memset(p + kOffReserved26, 0, 4);
    const QByteArray start = FixedText::store(StartPage, StartPageWidth);
    std::memcpy(p + kOffStartPage, start.constData(), StartPageWidth);
    std::memcpy(p + kOffReserved330, Reserved330.data(), Reserved330.size());
    std::memcpy(p + kOffReserved334, Reserved334.data(), Reserved334.size());
    const QByteArray font = FixedText::store(FontName, FontNameWidth);
    std::memcpy(p + kOffFontName, font.constData(), FontNameWidth);
    qToLittleEndian<qint16>(FontBold != 0 ? qint16(-1) : qint16(0), p + kOffFontBold);
    writeFloat(p + kOffFontSize, FontSize);
    return out;
}
