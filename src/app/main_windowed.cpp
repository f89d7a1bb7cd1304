// demo-windowed: the demo in an ordinary window that opens at 640 x 480 and may take any size;
// the display is left alone.
#include "app/startup.h"

int main() { return runDemo(0); }
