#pragma once

// The start-up procedure: works out the program directory, loads and corrects the settings and
// shows the main window. Returns the program's exit code.
class Module1
{
public:
    static int Main(int argc, char** argv);
};
