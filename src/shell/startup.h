#pragma once
// The program from its first line to its last: configuration check, hand-off to a
// running instance, the frame, the event loop.
#include <QString>

class Dialogs;

// False (after telling the user) when config.ini is missing.
bool CheckConfig(Dialogs &dialogs);

int RunBrowser(int argc, char **argv);
