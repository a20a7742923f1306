#pragma once

// The start-up procedure: works out the program directory, loads and corrects the settings and
// shows the main window. Returns the program's exit code.
#include "core/CommandLine.h"
#include "core/StartupCorrections.h"

class Startup
{
public:
    static int run(int argc, char** argv);
    // Answers a command line that asks for no window (help, version, a mistake): the exit code.
    static int answer(const CommandLine& options);

    // The screen, fonts and files as this desktop has them, for the start-up corrections.
    static StartupCorrections::Environment platformEnvironment(const QString& appDir);
};
