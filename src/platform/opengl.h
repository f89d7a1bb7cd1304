// The OpenGL names the drawing code uses. The native programs draw with the system's OpenGL
// 1.1 and GLU; a build with QD_FIXED_FUNCTION_LAYER (the web page, and its native twin that
// the tests compare with the system's frames) draws with the same names through the
// fixed-function layer over OpenGL ES 2 (platform/fixed_function_gl.h).
#pragma once

#if QD_FIXED_FUNCTION_LAYER
#include "platform/fixed_function/fixed_function_gl.h"
using namespace fixedgl;
#else
#include <GL/gl.h>
#include <GL/glu.h>
#endif
