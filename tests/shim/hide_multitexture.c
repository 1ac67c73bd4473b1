/* Preloaded into the program by a test: a driver that does not advertise
   GL_ARB_multitexture. glGetString(GL_EXTENSIONS) passes through the real one
   with that name taken out; everything else is unchanged. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>
#include <GL/gl.h>

static const char HIDDEN[] = "GL_ARB_multitexture";

const GLubyte* glGetString(GLenum name)
{
    static const GLubyte* (*real)(GLenum) = NULL;
    static char* filtered = NULL;
    if (!real) real = (const GLubyte* (*)(GLenum))dlsym(RTLD_NEXT, "glGetString");
    const GLubyte* result = real(name);
    if (name != GL_EXTENSIONS || !result) return result;
    const char* s = (const char*)result;
    free(filtered);
    filtered = malloc(strlen(s) + 1);
    if (!filtered) return result;
    char* out = filtered;
    const size_t len = strlen(HIDDEN);
    while (*s) {
        if (strncmp(s, HIDDEN, len) == 0 && (s[len] == ' ' || s[len] == '\0') &&
            (s == (const char*)result || s[-1] == ' ')) {
            s += len;
            while (*s == ' ')
                s++;
            continue;
        }
        *out++ = *s++;
    }
    *out = '\0';
    return (const GLubyte*)filtered;
}
