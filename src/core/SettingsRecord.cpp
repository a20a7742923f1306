#include "core/SettingsRecord.h"

#include "core/FixedText.h"

#include <QtEndian>

#include <bit>
#include <cstring>

namespace {

constexpr qsizetype OffMainLeft = 0;
constexpr qsizetype OffEditorWidth = 16;
constexpr qsizetype OffINetDisabled = 24;
constexpr qsizetype OffReserved26 = 26;
constexpr qsizetype OffStartPage = 30;
constexpr qsizetype OffReserved330 = 330;
constexpr qsizetype OffReserved334 = 334;
constexpr qsizetype OffFontName = 336;
constexpr qsizetype OffFontBold = 464;
constexpr qsizetype OffFontSize = 466;

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
    r.MainLeft = readFloat(p + OffMainLeft);
    r.MainTop = readFloat(p + OffMainLeft + 4);
    r.MainWidth = readFloat(p + OffMainLeft + 8);
    r.MainHeight = readFloat(p + OffMainLeft + 12);
    r.EditorWidth = readFloat(p + OffEditorWidth);
    r.EditorHeight = readFloat(p + OffEditorWidth + 4);
    r.INetDisabled = qFromLittleEndian<qint16>(p + OffINetDisabled);
    r.StartPage = FixedText::read(QByteArrayView(p + OffStartPage, StartPageWidth));
    std::memcpy(r.Reserved330.data(), p + OffReserved330, r.Reserved330.size());
    std::memcpy(r.Reserved334.data(), p + OffReserved334, r.Reserved334.size());
    r.FontName = FixedText::read(QByteArrayView(p + OffFontName, FontNameWidth));
    r.FontBold = qFromLittleEndian<qint16>(p + OffFontBold);
    r.FontSize = readFloat(p + OffFontSize);
    return r;
}

QByteArray SettingsRecord::encode() const
{
    QByteArray out(Size, '\0');
    char* p = out.data();
    writeFloat(p + OffMainLeft, MainLeft);
    writeFloat(p + OffMainLeft + 4, MainTop);
    writeFloat(p + OffMainLeft + 8, MainWidth);
    writeFloat(p + OffMainLeft + 12, MainHeight);
    writeFloat(p + OffEditorWidth, EditorWidth);
    writeFloat(p + OffEditorWidth + 4, EditorHeight);
    qToLittleEndian<qint16>(INetDisabled, p + OffINetDisabled);
    std::memset(p + OffReserved26, 0, 4);
    const QByteArray start = FixedText::store(StartPage, StartPageWidth);
    std::memcpy(p + OffStartPage, start.constData(), StartPageWidth);
    std::memcpy(p + OffReserved330, Reserved330.data(), Reserved330.size());
    std::memcpy(p + OffReserved334, Reserved334.data(), Reserved334.size());
    const QByteArray font = FixedText::store(FontName, FontNameWidth);
    std::memcpy(p + OffFontName, font.constData(), FontNameWidth);
    qToLittleEndian<qint16>(FontBold != 0 ? qint16(-1) : qint16(0), p + OffFontBold);
    writeFloat(p + OffFontSize, FontSize);
    return out;
}
