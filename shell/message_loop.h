// The program's message loop around the main window.
#pragma once

// Creates the main window, shows it as the program was started to show it,
// and runs the messages until the window is closed. Returns false when the
// window cannot be created.
bool RunMainWindow();
