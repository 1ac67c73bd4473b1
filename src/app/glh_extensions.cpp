// The extension loader: extension strings taken once, whole-name availability
// checks, and entry-point lookup for a fixed table of known extensions.
#include "app/glh_extensions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <GL/gl.h>
#include <GL/glx.h>

namespace {

struct EntryPoint {
    const char* name;
    void* address; // null until looked up and found
};

struct KnownExtension {
    const char* name;
    int firstEntry; // index into entryPoints
    int entryCount;
};

EntryPoint entryPoints[] = {
#define ENTRY_POINT(fn) {#fn, nullptr},
#define END_EXTENSION(ext)
#include "app/glh_extension_table.inc"
#undef ENTRY_POINT
#undef END_EXTENSION
};

// Each extension's entries follow the previous extension's in entryPoints, so
// the table is built by counting ENTRY_POINT lines between END_EXTENSION lines.

struct ExtensionTableBuilder {
    KnownExtension extensions[128] = {};
    int count = 0;
    ExtensionTableBuilder()
    {
        int entry = 0, first = 0;
        const char* names[] = {
#define ENTRY_POINT(fn) nullptr,
#define END_EXTENSION(ext) ext,
#include "app/glh_extension_table.inc"
#undef ENTRY_POINT
#undef END_EXTENSION
        };
        for (const char* n : names) {
            if (!n) {
                entry++;
                continue;
            }
            extensions[count++] = {n, first, entry - first};
            first = entry;
        }
    }
};

const ExtensionTableBuilder knownExtensions;

const char* realGlExtensions()
{
    return reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
}
const char* realGlVersion()
{
    return reinterpret_cast<const char*>(glGetString(GL_VERSION));
}

const char* realWindowSystemExtensions()
{
    Display* display = glXGetCurrentDisplay();
    if (!display) return nullptr;
    return glXQueryExtensionsString(display, DefaultScreen(display));
}

void* realProcAddress(const char* name)
{
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

ExtensionPlatform platform = {realGlExtensions, realGlVersion, realWindowSystemExtensions, realProcAddress};

char* extensionString = nullptr; // OpenGL string, space, window-system string, space
char* unsupportedList = nullptr; // failed names of the last call, each followed by a space
size_t unsupportedCapacity = 0;
const char* glExtensionsCache = nullptr;

void allocationFailed(const char* file, int line)
{
    printf("Error allocating memory in file %s, line %d\n", file, line);
    fflush(stdout);
    exit(-1);
}

const char* orEmpty(const char* s)
{
    return s ? s : "";
}

bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

} // namespace

bool containsExtensionName(const char* list, const char* name)
{
    const size_t length = strlen(name);
    if (length == 0) return false;
    for (const char* p = strstr(list, name); p; p = strstr(p + 1, name)) {
        const bool startOk = p == list || p[-1] == ' ';
        const bool endOk = p[length] == ' ' || p[length] == '\0';
        if (startOk && endOk) return true;
    }
    return false;
}

void setExtensionPlatform(const ExtensionPlatform& replacement)
{
    platform = replacement;
    glExtensionsCache = nullptr;
}

ExtensionPlatform glxExtensionPlatform()
{
    return {realGlExtensions, realGlVersion, realWindowSystemExtensions, realProcAddress};
}

bool initExtensions(const char* list)
{
    if (!extensionString) {
        const char* gl = orEmpty(platform.glExtensions());
        const char* ws = orEmpty(platform.windowSystemExtensions());
        size_t glLen = strlen(gl), wsLen = strlen(ws);
        extensionString = static_cast<char*>(malloc(glLen + wsLen + 3));
        if (!extensionString) allocationFailed(__FILE__, __LINE__);
        memcpy(extensionString, gl, glLen);
        extensionString[glLen] = ' ';
        memcpy(extensionString + glLen + 1, ws, wsLen);
        extensionString[glLen + 1 + wsLen] = ' ';
        extensionString[glLen + wsLen + 2] = '\0';
    }
    if (!list) return true;

    size_t listLen = strlen(list);
    char* copy = static_cast<char*>(malloc(listLen + 1));
    if (!copy) allocationFailed(__FILE__, __LINE__);
    memcpy(copy, list, listLen + 1);
    if (!unsupportedList || unsupportedCapacity < listLen + 2) {
        char* grown = static_cast<char*>(realloc(unsupportedList, listLen + 2));
        if (!grown) allocationFailed(__FILE__, __LINE__);
        unsupportedList = grown;
        unsupportedCapacity = listLen + 2;
    }
    unsupportedList[0] = '\0';

    bool allFound = true;
    char* p = copy;
    while (true) {
        while (isSeparator(*p))
            p++;
        if (*p == '\0') break;
        char* token = p;
        while (*p && !isSeparator(*p))
            p++;
        bool more = *p != '\0';
        *p = '\0';
        if (!isExtensionAvailable(token) || !resolveExtension(token)) {
            // token plus its space always fits: the failed names come from the list
            strcat(unsupportedList, token);
            strcat(unsupportedList, " ");
            allFound = false;
        }
        if (more) p++;
    }
    free(copy);
    return allFound;
}

const char* unsupportedExtensions()
{
    return unsupportedList ? unsupportedList : "";
}

bool isExtensionAvailable(const char* name)
{
    if (!name) return false;
    if (strcmp(name, "GL_VERSION_1_2") == 0 || strcmp(name, "GL_VERSION_1_3") == 0) {
        const char* version = orEmpty(platform.glVersion());
        if (strncmp(version, "1.0", 3) == 0 || strncmp(version, "1.1", 3) == 0) return false;
        if (name[13] == '3' && strncmp(version, "1.2", 3) == 0) return false;
        return true;
    }
    if (!extensionString) return false;
    // the string ends in a space, so every name in it is followed by one
    return containsExtensionName(extensionString, name);
}

bool resolveExtension(const char* name)
{
    if (!name) return false;
    for (int i = 0; i < knownExtensions.count; i++) {
        const KnownExtension& ext = knownExtensions.extensions[i];
        if (strcmp(ext.name, name) != 0) continue;
        for (int e = ext.firstEntry; e < ext.firstEntry + ext.entryCount; e++) {
            entryPoints[e].address = platform.procAddress(entryPoints[e].name);
            if (!entryPoints[e].address) return false;
        }
        return true;
    }
    return false;
}

bool hasGLExtension(const char* name)
{
    if (!name || name[0] == '\0' || strchr(name, ' ')) return false;
    if (!glExtensionsCache) glExtensionsCache = platform.glExtensions();
    if (!glExtensionsCache) return false;
    return containsExtensionName(glExtensionsCache, name);
}

void releaseExtensions()
{
    free(extensionString);
    free(unsupportedList);
    extensionString = nullptr;
    unsupportedList = nullptr;
    unsupportedCapacity = 0;
}

void* extensionEntryPoint(const char* name)
{
    for (const EntryPoint& e : entryPoints)
        if (strcmp(e.name, name) == 0) return e.address;
    return nullptr;
}
