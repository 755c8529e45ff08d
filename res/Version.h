// The program's version: the version resource and the preset file shipped
// beside the program both take it from here.
#pragma once

#define LUMIVELL_VERSION_MAJOR 1
#define LUMIVELL_VERSION_MINOR 0
#define LUMIVELL_VERSION_BUILD 0
#define LUMIVELL_VERSION_REVISION 0
// The same four numbers as text, the way the update check compares them.
#define LUMIVELL_VERSION_TEXT "1.0.0.0"
