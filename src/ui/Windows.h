#pragma once

class QApplication;

// Application-wide look: style, fonts, icon. Call once after QApplication.
void SetUpApplication(QApplication &app);

// Creates every window once, hidden, in the program's fixed order (main window,
// rubrics, file locations, delete and change confirmations, document build,
// About, then the find window), each reachable through its global reference. The application's
// workspace is reset first and handed to the windows that work on it.
void CreateWindows();

// Destroys them in reverse order and clears the references.
void DestroyWindows();
