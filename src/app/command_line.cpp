// The viewer's command-line options.
#include "app/command_line.h"

#include <cstring>
#include <string>

namespace {

// freeglut's own options: glutInit takes them (and the value of those that
// have one) out of argv later.
struct ToolkitOption {
    const char* name;
    bool takesValue;
};
const ToolkitOption TOOLKIT_OPTIONS[] = {{"-display", true},   {"-geometry", true}, {"-direct", false},
                                         {"-indirect", false}, {"-iconic", false},  {"-gldebug", false},
                                         {"-sync", false}};

const ToolkitOption* toolkitOption(const char* argument)
{
    for (const ToolkitOption& option : TOOLKIT_OPTIONS)
        if (strcmp(argument, option.name) == 0) return &option;
    return nullptr;
}

// `--name VALUE` or `--name=VALUE`: true when argv[i] is option `name`; the value
// goes to `value` (empty when missing) and i moves past it.
bool optionWithValue(int argc, char** argv, int& i, const char* name, std::string& value, bool& missing)
{
    const size_t length = strlen(name);
    if (strncmp(argv[i], name, length) != 0) return false;
    if (argv[i][length] == '=') {
        value = argv[i] + length + 1;
    } else if (argv[i][length] == '\0') {
        if (i + 1 < argc) value = argv[++i];
    } else {
        return false;
    }
    missing = value.empty();
    return true;
}

// --screenshot FILE: the format comes from the extension.
bool checkScreenshot(CommandLine& options, std::string& problem)
{
    if (pictureFormatForPath(options.screenshotPath, options.screenshotFormat)) return true;
    problem = "--screenshot " + options.screenshotPath +
              ": the file's extension names the picture's format: " + pictureExtensions();
    return false;
}

// A side of --size: decimal digits only, within the limits.
bool windowSide(const std::string& digits, int& side)
{
    if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    side = std::stoi(digits);
    return side >= MIN_WINDOW_SIDE && side <= MAX_WINDOW_SIDE;
}

// --size WxH
bool checkSize(CommandLine& options, std::string& problem)
{
    const std::string& size = options.size;
    const size_t x = size.find_first_of("xX");
    if (x != std::string::npos && windowSide(size.substr(0, x), options.windowWidth) &&
        windowSide(size.substr(x + 1), options.windowHeight))
        return true;
    problem = "--size " + size + ": give WIDTHxHEIGHT in pixels, each " + std::to_string(MIN_WINDOW_SIDE) +
              " to " + std::to_string(MAX_WINDOW_SIDE) + ", such as 800x450";
    return false;
}

// --set NAME=V[,V...], repeatable: the values must be numbers; whether they fit
// the parameter is known once the programs are loaded.
bool checkSetting(CommandLine& options, std::string& problem)
{
    ParameterSetting setting;
    if (!readParameterSetting(options.setText, setting, problem)) return false;
    options.settings.push_back(setting);
    return true;
}

// --time SECONDS
bool checkTime(CommandLine& options, std::string& problem)
{
    float seconds = 0;
    if (!readFiniteNumber(options.time, seconds)) {
        problem = "--time " + options.time + ": give the time in seconds, such as 2.5";
        return false;
    }
    options.timeFixed = true;
    options.fixedTime = double(seconds);
    return true;
}

// The viewer's options that take a value, what a missing value says, and the
// check of a given one (none: any value).
struct ValueOption {
    const char* name;
    std::string CommandLine::*value;
    const char* whenMissing;
    bool (*check)(CommandLine& options, std::string& problem);
};
const ValueOption VALUE_OPTIONS[] = {
    {"--screenshot", &CommandLine::screenshotPath, "--screenshot needs the name of the picture file to write",
     checkScreenshot},
    {"--size", &CommandLine::size, "--size needs the drawing window's size in pixels, WIDTHxHEIGHT",
     checkSize},
    {"--sky", &CommandLine::skyPath, "--sky needs a folder of six face images or one panorama image",
     nullptr},
    {"--init", &CommandLine::initFolder, "--init needs the name of the folder to make", nullptr},
    {"--shaders", &CommandLine::shadersFolder, "--shaders needs the folder that holds the two program files",
     nullptr},
    {"--set", &CommandLine::setText, "--set needs NAME=VALUE, such as bands=4", checkSetting},
    {"--time", &CommandLine::time, "--time needs a time in seconds", checkTime},
};

} // namespace

const char* usageText()
{
    return "Usage: meshshade [options] [MODEL]\n"
           "Shows MODEL, a mesh file (.m, .obj, .ply, .stl, .off, .gltf, .glb, .dae, .3ds, .fbx), first.\n"
           "  --screenshot FILE      draw a few frames, save the drawing window's picture and end; the\n"
           "                         extension gives the format: .png, .jpg or .jpeg, .bmp, .tga\n"
           "  --size WxH             the drawing window's size in pixels (600x600), each side 16 to 4096\n"
           "  --sky PATH             a sky of your own: a folder of six face images or one panorama\n"
           "  --init DIR             make DIR a shader workspace of your own: shader files, meshes, skies\n"
           "  --shaders DIR          compile vp_reflection.cg and fp_reflection.cg from DIR, such as an\n"
           "                         experiment of examples/, and reload them from there when they change\n"
           "  --set NAME=V[,V...]    a start value for a parameter your shader programs declare; repeatable\n"
           "  --time SECONDS         the programs' u_time stands at SECONDS (Pause Time on), for pictures\n"
           "                         that come out the same on every run\n"
           "  --version              print the version and end\n"
           "  --help                 print this text and end\n"
           "Files missing from the working directory are taken from the shipped files when a MODEL\n"
           "or an option is given.\n"
           "The window toolkit's own options (-display NAME, -sync, ...) are passed on to it.\n";
}

const char* versionText()
{
    return "meshshade " MESHSHADE_VERSION "\n";
}

CommandLineResult parseCommandLine(int argc, char** argv, CommandLine& options, std::string& problem)
{
    options = CommandLine();
    bool optionsEnded = false;
    for (int i = 1; i < argc; i++) {
        const char* argument = argv[i];
        if (!optionsEnded && argument[0] == '-' && argument[1] != '\0') {
            if (strcmp(argument, "--") == 0) {
                optionsEnded = true;
                continue;
            }
            if (strcmp(argument, "--help") == 0) return COMMAND_LINE_HELP;
            if (strcmp(argument, "--version") == 0) return COMMAND_LINE_VERSION;
            if (const ToolkitOption* toolkit = toolkitOption(argument)) {
                if (toolkit->takesValue) i++;
                continue;
            }
            const ValueOption* taken = nullptr;
            bool missing = false;
            for (const ValueOption& option : VALUE_OPTIONS)
                if (optionWithValue(argc, argv, i, option.name, options.*option.value, missing)) {
                    taken = &option;
                    break;
                }
            if (taken) {
                if (missing) {
                    problem = taken->whenMissing;
                    return COMMAND_LINE_BAD;
                }
                if (taken->check && !taken->check(options, problem)) return COMMAND_LINE_BAD;
                options.ownArguments = true;
                continue;
            }
            problem = std::string("unknown option ") + argument;
            return COMMAND_LINE_BAD;
        }
        if (argument[0] == '\0') {
            problem = "the MODEL name is empty";
            return COMMAND_LINE_BAD;
        }
        if (!options.modelPath.empty()) {
            problem = std::string("one model at a time: ") + options.modelPath + " and " + argument;
            return COMMAND_LINE_BAD;
        }
        options.modelPath = argument;
        options.ownArguments = true;
    }
    return COMMAND_LINE_RUN;
}
