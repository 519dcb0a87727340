#pragma once

#include <QIcon>

// The program's icon, the one the desktop menu shows: for its windows and the tray.
QIcon VektaIcon();
