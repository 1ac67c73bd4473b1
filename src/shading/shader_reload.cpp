// Live reload of the shader programs.
#include "shading/shader_reload.h"

#include <cstdio>
#include <GL/freeglut.h>

#include "io/data_files.h"
#include "io/file_stamp.h"
#include "shading/shader_contract.h"
#include "shading/shader_programs.h"

namespace {

// How often the files are looked at, milliseconds. A change is taken up at the
// second look that sees it, 75 to 150 ms after the save.
const int CHECK_INTERVAL_MS = 75;

struct ProgramStamps {
    FileStamp vertex, fragment;
    bool operator==(const ProgramStamps& o) const { return vertex == o.vertex && fragment == o.fragment; }
    bool operator!=(const ProgramStamps& o) const { return !(*this == o); }
};

ProgramStamps currentStamps()
{
    // the files in use: a copy made in the working directory takes over
    return {stampOf(dataFilePath(VERTEX_PROGRAM_FILE).c_str()),
            stampOf(dataFilePath(FRAGMENT_PROGRAM_FILE).c_str())};
}

bool watching = false;
int lastCheck = 0;
HoldStill<ProgramStamps> files; // settled: what the last reload (or start-up) compiled, good or not

// What the failing calls of the reload in progress reported.
std::string reloadReport;
bool reloadFailed = false;

// Errors during a reload are collected for the report, never fatal.
void collectReloadError()
{
    CGerror code = cgGetError();
    if (code != CG_NO_ERROR) {
        reloadReport += cgErrorReport(code);
        reloadFailed = true;
    }
}

// Binds the new programs with both profiles off, then turns the profiles on,
// which links the new pair together (never a new program with an old one:
// programs that compile alone may still not fit, and a consistent edit of both
// files must). Leaves both profiles disabled, as between frames.
void linkTogether(const ShaderBindingsRecord& b)
{
    cgGLDisableProfile(b.vertexProfile);
    cgGLDisableProfile(b.fragmentProfile);
    cgGLBindProgram(b.vertexProgram);
    cgGLBindProgram(b.fragmentProgram);
    cgGLEnableProfile(b.vertexProfile);
    cgGLEnableProfile(b.fragmentProfile);
    cgGLDisableProfile(b.vertexProfile);
    cgGLDisableProfile(b.fragmentProfile);
}

// Compiles both files, checks their parameters and links them together; on
// success the new programs replace the old ones from the next frame on. What
// failed goes into `report`. True on success.
bool attemptReload(std::string& report)
{
    ShaderBindingsRecord fresh = ShaderBindings;
    fresh.vertexProgram = fresh.fragmentProgram = nullptr;
    reloadReport.clear();
    reloadFailed = false;
    cgSetErrorCallback(collectReloadError);
    compileShaderPrograms(fresh);
    bool ok = fresh.vertexProgram && fresh.fragmentProgram && !reloadFailed;
    if (ok) {
        const ParameterCheck check = lookUpShaderParameters(fresh);
        if (check.result == PARAMETERS_FOUND) {
            bindSkySamplers(fresh);
            cgGLLoadProgram(fresh.vertexProgram);
            cgGLLoadProgram(fresh.fragmentProgram);
            linkTogether(fresh);
            ok = !reloadFailed;
        } else {
            reloadReport += describeParameterFailure(check, false);
            ok = false;
        }
    }
    cgSetErrorCallback(reportCgError);
    report = reloadReport;

    if (!ok) {
        // whatever did compile is not needed; the last good programs stay
        if (fresh.vertexProgram) cgDestroyProgram(fresh.vertexProgram);
        if (fresh.fragmentProgram) cgDestroyProgram(fresh.fragmentProgram);
        return false;
    }
    cgDestroyProgram(ShaderBindings.vertexProgram);
    cgDestroyProgram(ShaderBindings.fragmentProgram);
    ShaderBindings = fresh;
    return true;
}

} // namespace

void reloadShadersIfChanged()
{
    const int now = glutGet(GLUT_ELAPSED_TIME);
    if (watching && now - lastCheck < CHECK_INTERVAL_MS) return;
    lastCheck = now;
    const ProgramStamps stamps = currentStamps();
    if (!watching) {
        // the first look only notes what start-up compiled
        watching = true;
        files.settled = stamps;
        return;
    }
    // An editor may be halfway through writing: wait until the files hold still.
    if (!files.readNow(stamps)) return;

    std::string report;
    const bool ok = attemptReload(report);
    if (!files.readDone(ok, stamps, currentStamps())) return;
    fputs(report.c_str(), stdout);
    if (ok)
        printf("Reloaded %s and %s.\n", VERTEX_PROGRAM_FILE, FRAGMENT_PROGRAM_FILE);
    else
        printf("Shader reload failed; drawing with the previous programs.\n");
}
