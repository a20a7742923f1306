#include "core/LiveSettings.h"

LiveSettings LiveSettings::fromRecord(const SettingsRecord& record)
{
    LiveSettings s;
    s.MainLeft = record.MainLeft;
    s.MainTop = record.MainTop;
    s.MainWidth = record.MainWidth;
    s.MainHeight = record.MainHeight;
    s.EditorWidth = record.EditorWidth;
    s.EditorHeight = record.EditorHeight;
    s.INetDisabled = record.INetDisabled;
    s.INetDisabledNext = record.INetDisabled;
    s.StartPage = record.StartPage;
    s.Reserved330 = record.Reserved330;
    s.Reserved334 = record.Reserved334;
    s.FontName = record.FontName;
    s.FontBold = record.FontBold != 0;
    s.FontSize = record.FontSize;
    return s;
}

SettingsRecord LiveSettings::toRecord(float left, float top, float width, float height) const
{
    SettingsRecord r;
    r.MainLeft = left;
    r.MainTop = top;
    r.MainWidth = width;
    r.MainHeight = height;
    r.EditorWidth = EditorWidth;
    r.EditorHeight = EditorHeight;
    r.INetDisabled = INetDisabledNext;
    r.StartPage = StartPage;
    r.Reserved330 = Reserved330;
    r.Reserved334 = Reserved334;
    r.FontName = FontName;
    r.FontBold = FontBold ? qint16(-1) : qint16(0);
    r.FontSize = FontSize;
    return r;
}
