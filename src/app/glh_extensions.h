// Checks that the OpenGL implementation behind the current context offers the
// extensions the viewer relies on, and looks up their entry points. Start-up
// calls initExtensions once, right after the drawing window exists.
#pragma once

// Checking
// Checks and resolves every name of a list separated by spaces, tabs or line
// feeds. True when all passed (also for a null or empty list); otherwise the
// failed names are in unsupportedExtensions(). Needs a current OpenGL context
// on the first call, which takes the extension strings once and for all.
bool initExtensions(const char* list);
// The names that failed in the last initExtensions call with a list, in request
// order, each followed by one space; "" when none failed. Owned by the loader.
const char* unsupportedExtensions();
// Whether the implementation advertises the name (whole names only).
// "GL_VERSION_1_2" and "GL_VERSION_1_3" are answered from the version string.
bool isExtensionAvailable(const char* name);
// Looks up the entry points of one known extension. False for a name the loader
// does not know, or at the first entry point that is missing (earlier ones stay).
bool resolveExtension(const char* name);
// Whole-word test against the OpenGL extension string alone (cached on first use).
bool hasGLExtension(const char* name);
// Whether `name` stands whole in a space-separated list of names: at its start
// or after a space, and before a space or its end. False for an empty name.
bool containsExtensionName(const char* list, const char* name);
// Frees the extension strings; the next initExtensions takes them again.
void releaseExtensions();

// Resolved entry points
// The address stored for an entry point of the loader's table: null until its
// extension was resolved, or when the name is not in the table.
void* extensionEntryPoint(const char* name);

// Platform
// The window-system calls the loader makes. Tests replace them to feed fake
// strings and a lookup that misses an entry point.
struct ExtensionPlatform {
    const char* (*glExtensions)();           // the OpenGL extension string
    const char* (*glVersion)();              // the OpenGL version string
    const char* (*windowSystemExtensions)(); // may return null: no window-system string
    void* (*procAddress)(const char* name);  // null for a missing entry point
};
// Installs other platform calls and forgets the cached OpenGL extension string.
void setExtensionPlatform(const ExtensionPlatform& platform);
// The real calls: glGetString, glXQueryExtensionsString, glXGetProcAddressARB.
ExtensionPlatform glxExtensionPlatform();
