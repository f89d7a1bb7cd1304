// The one way failures reach the user: a modal box captioned "Error".
#pragma once

// Shows the cursor, then the message in an error box; returns when the box is closed.
void reportError(const char* message);
