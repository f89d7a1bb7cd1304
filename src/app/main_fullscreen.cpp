// demo-fullscreen: the demo with the display switched to a 640 x 480 mode.
#include "app/startup.h"

int main() { return runDemo(1); }
