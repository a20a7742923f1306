#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <array>

// Record 1 of Skyvn.ini: 470 bytes, little-endian, packed.
struct SettingsRecord
{
    static constexpr qsizetype Size = 470;
    static constexpr qsizetype StartPageWidth = 300;
    static constexpr qsizetype FontNameWidth = 128;

    float MainLeft = 0;
    float MainTop = 0;
    float MainWidth = 0;
    float MainHeight = 0;
    float EditorWidth = 0;
    float EditorHeight = 0;
    qint16 INetDisabled = 0;
    QString StartPage;                    // trimmed when read
    std::array<char, 4> Reserved330 = {}; // carried unchanged
    std::array<char, 2> Reserved334 = {}; // carried unchanged
    QString FontName;                     // trimmed when read
    qint16 FontBold = 0;                  // 0 = regular, any other value bold; written as 0 or -1
    float FontSize = 0;

    // Reads a record from the first 470 bytes; missing bytes count as zero.
    static SettingsRecord decode(QByteArrayView bytes);
    // Exactly 470 bytes; Reserved26 is written as zeros.
    QByteArray encode() const;
};
