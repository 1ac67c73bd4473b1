// Live reload of the shader programs.
#include "shading/shader_reload.h"

#include <cstdio>
#include <GL/freeglut.h>
#include <sys/stat.h>

#include "shading/shader_programs.h"

namespace {

// How often the files are looked at, milliseconds.
const int CHECK_INTERVAL_MS = 250;

struct FileStamp {
    bool exists = false;
    long long seconds = 0;
    long long nanoseconds = 0;
    long long size = 0;
    bool operator!=(const FileStamp& o) const
    {
        return exists != o.exists || seconds != o.seconds || nanoseconds != o.nanoseconds || size != o.size;
    }
};

FileStamp stampOf(const char* path)
{
    struct stat s;
    FileStamp stamp;
    if (stat(path, &s) == 0) {
        stamp.exists = true;
        stamp.seconds = s.st_mtim.tv_sec;
        stamp.nanoseconds = s.st_mtim.tv_nsec;
        stamp.size = s.st_size;
    }
    return stamp;
}

bool watching = false;
FileStamp vertexStamp, fragmentStamp;
int lastCheck = 0;

bool reloadFailed = false;

// Errors during a reload are reported, never fatal.
void reportReloadError()
{
    CGerror code = cgGetError();
    if (code != CG_NO_ERROR) {
        printCgErrorReport(code);
        reloadFailed = true;
    }
}

// Binds the two programs together once, which links them: programs that
// compile alone may still not fit together (a varying one writes and the other
// does not read). Leaves both profiles disabled, as between frames.
void tryTogether(const ShaderBindingsRecord& b)
{
    cgGLEnableProfile(b.vertexProfile);
    cgGLEnableProfile(b.fragmentProfile);
    cgGLBindProgram(b.vertexProgram);
    cgGLBindProgram(b.fragmentProgram);
    cgGLDisableProfile(b.vertexProfile);
    cgGLDisableProfile(b.fragmentProfile);
}

} // namespace

bool reloadShaders()
{
    ShaderBindingsRecord fresh = ShaderBindings;
    reloadFailed = false;
    cgSetErrorCallback(reportReloadError);
    compileShaderPrograms(fresh);
    bool ok = fresh.vertexProgram && fresh.fragmentProgram && !reloadFailed;
    if (ok) {
        switch (lookUpShaderParameters(fresh)) {
        case PARAMETERS_FOUND:
            cgGLLoadProgram(fresh.vertexProgram);
            cgGLLoadProgram(fresh.fragmentProgram);
            tryTogether(fresh);
            ok = !reloadFailed;
            break;
        case VERTEX_PARAMETER_MISSING:
            printf("Unable to get program parameters from vertex shader\n");
            ok = false;
            break;
        case FRAGMENT_PARAMETER_MISSING:
            printf("Unable to get program parameters from fragment shader\n");
            ok = false;
            break;
        }
    }
    cgSetErrorCallback(reportCgError);

    if (!ok) {
        // whatever did compile is not needed; the last good programs stay
        if (fresh.vertexProgram) cgDestroyProgram(fresh.vertexProgram);
        if (fresh.fragmentProgram) cgDestroyProgram(fresh.fragmentProgram);
        printf("Shader reload failed; drawing with the previous programs.\n");
        return false;
    }
    cgDestroyProgram(ShaderBindings.vertexProgram);
    cgDestroyProgram(ShaderBindings.fragmentProgram);
    ShaderBindings = fresh;
    printf("Reloaded %s and %s.\n", VERTEX_PROGRAM_FILE, FRAGMENT_PROGRAM_FILE);
    return true;
}

void reloadShadersIfChanged()
{
    const int now = glutGet(GLUT_ELAPSED_TIME);
    if (watching && now - lastCheck < CHECK_INTERVAL_MS) return;
    lastCheck = now;
    FileStamp vertex = stampOf(VERTEX_PROGRAM_FILE), fragment = stampOf(FRAGMENT_PROGRAM_FILE);
    if (!watching) {
        // the first look only notes what start-up compiled
        watching = true;
        vertexStamp = vertex;
        fragmentStamp = fragment;
        return;
    }
    if (!(vertex != vertexStamp) && !(fragment != fragmentStamp)) return;
    vertexStamp = vertex;
    fragmentStamp = fragment;
    reloadShaders();
}
