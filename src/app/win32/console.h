#pragma once

#include <string>
#include <vector>

#include "platform/dialogs.h"

class StopSwitch;

// The program's arguments in UTF-8, whatever the code page (from the wide command line).
std::vector<std::string> command_arguments();

// A program of the GUI subsystem has no console of its own: its standard output and error
// go to the console it was started from, unless they are redirected already. Both write
// their bytes as they are (no CR added), so reports read the same as on Linux. True when
// there is somewhere to write to.
bool attach_console();

// A message box for a start with no console (from the Explorer or a shortcut).
void show_message_window(const std::string& title, const std::string& text, bool error);

// A question or message of the core as a modal message box over `owner` (HWND, may be
// nullptr), with the request's buttons and icon.
MsgResult message_box_over(void* owner, const MessageBoxRequest& request);

// The console's Ctrl+C, Ctrl+Break and close ask `stop` to end the run; nullptr lets go.
void stop_on_console_close(StopSwitch* stop);
