#pragma once
// OpenGL entry points used by the device (compatibility profile; core functions up to 3.3 are
// called directly, the loader libraries export them all).
#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/gl.h>
#include <GL/glext.h>
