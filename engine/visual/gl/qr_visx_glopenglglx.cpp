// The parts of the OpenGL binding that only GLX has: its extension names and the swap interval.
// glxew.h brings in Xlib; this file must stay free of Qt headers.
#include "visual/gl/qr_visx_glopengl.h"

#include <GL/glxew.h>

bool QRVISXGLOpenGL::isGLXExtensionSupported(const std::string& name)
{
    return glxewIsSupported(name.c_str()) == GL_TRUE;
}

void QRVISXGLOpenGL::swapIntervalEXT(int interval)
{
    // glxew turns glXGetCurrentDisplay into a pointer of the loader; the others stay functions.
    if (!glXSwapIntervalEXT || !glXGetCurrentDisplay || !glXGetCurrentContext())
        return;
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (display && drawable)
        glXSwapIntervalEXT(display, drawable, interval);
}

void QRVISXGLOpenGL::swapIntervalMESA(int interval)
{
    if (glXSwapIntervalMESA && glXGetCurrentContext())
        glXSwapIntervalMESA(static_cast<unsigned int>(interval));
}
