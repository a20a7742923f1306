#pragma once

#include <QGuiApplication>

// After Qt's headers: Xlib defines Bool, Status, None and others as macros.
#include <X11/Xlib.h>

// The application's own X connection, when it shows its windows on X; none elsewhere.
class ApplicationXDisplay
{
public:
    static Display* get()
    {
        if (qGuiApp == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) {
            return nullptr;
        }
        const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        return x11 != nullptr ? x11->display() : nullptr;
    }
};
