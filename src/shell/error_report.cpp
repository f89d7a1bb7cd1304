// Failures reach the user one box at a time. The cursor is shown first because the fullscreen
// window hides it.
#include "shell/error_report.h"

#include "platform/platform.h"

void reportError(const char* message) {
    platformShowCursor(1);
    showErrorBox("Error", message);
}
