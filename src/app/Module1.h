#pragma once

// The start-up procedure: works out the program directory, loads and corrects the settings and
// shows the main window. Returns the program's exit code.
#include "core/StartupCorrections.h"

class Module1
{
public:
    static int Main(int argc, char** argv);

    // The screen, fonts and files as this desktop has them, for the start-up corrections.
    static StartupCorrections::Environment platformEnvironment(const QString& appDir);
};
