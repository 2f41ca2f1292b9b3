#pragma once

#include <QString>

// The option with which the desktop's menu entry starts the program.
inline const QString kDesktopStartOption = QStringLiteral("--desktop");

// Makes the working folder of a start from the menu (DesktopFolder) in the
// user's documents folder, as the desktop names it, and works there from now
// on. Tells the operator what it made, and what it could not make; when the
// folder itself cannot be made, the program stays in the folder it was started
// in. Call before the windows are created.
void EnterDesktopFolder();
