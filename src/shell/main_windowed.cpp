// demo-windowed: the demo in an ordinary 640 x 480 window; the display is left alone.
#include "shell/startup.h"

int main() { return runDemo(0); }
