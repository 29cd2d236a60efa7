#pragma once

namespace zark {

// The program: builds the main frame, shows the main window and runs the main loop with the
// program's shortcut translation until Exit or closing the window ends it; then takes the frame
// down, which stores the settings and the window placement. Returns the exit code: 1 when the
// main window cannot be created, else the code the loop ended with.
//
// With the environment variable "ZARK_QUIT_AFTER_FIRST_PAINT" set, the program ends as soon as
// the main window has been painted for the first time and writes the time that took to standard
// error (for measuring the start-up).
//
// For trying the program out unattended (and its end-to-end test): "ZARK_COMMANDS" holds command
// numbers separated by commas, carried out one after the other once the main window is up, as if
// chosen from the menus; with "ZARK_QUIT_AFTER_SERIES" set the program ends when a series is
// complete and writes its shots to standard output, one line "shot k x y score" each.
int RunProgram(int argc, char** argv);

}  // namespace zark
