#pragma once

#include "core/ConnectionProbe.h"

#include <QtGlobal>

// The connection state on Windows, from the Windows Internet functions.
class WinInetConnectionProbe : public ConnectionProbe
{
public:
    explicit WinInetConnectionProbe(quintptr parentWindow = 0) : m_parentWindow(parentWindow) {}
    void setParentWindow(quintptr parentWindow) { m_parentWindow = parentWindow; }

    State query() override;
    QString autodial() override;

private:
    quintptr m_parentWindow;
};
