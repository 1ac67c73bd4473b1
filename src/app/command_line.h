// The viewer's own command line: `meshshade [options] [MODEL]`. Read by main()
// before the window toolkit starts; the toolkit's own options (-display,
// -geometry, ...) are passed over here and left to it.
#pragma once

#include <string>
#include <vector>

#include "io/picture_file.h"
#include "shading/parameter_annotations.h"

// The drawing window's size without --size, and the sizes --size takes (pixels a side).
const int DRAWING_WINDOW_WIDTH = 600;
const int DRAWING_WINDOW_HEIGHT = 600;
const int MIN_WINDOW_SIDE = 16;
const int MAX_WINDOW_SIDE = 4096;

// What the command line asks for; empty strings for what it does not give.
struct CommandLine {
    std::string modelPath;                        // MODEL: a mesh file shown in a slot of its own
    std::string screenshotPath;                   // --screenshot FILE: .png, .jpg, .jpeg, .bmp or .tga
    PictureFormat screenshotFormat = PICTURE_PNG; // from the extension of screenshotPath
    std::string skyPath;                          // --sky PATH: a folder of six faces or one panorama
    std::string initFolder;                       // --init DIR: make a shader workspace and end
    std::string shadersFolder;                    // --shaders DIR: the two program files from DIR
    std::string size;                             // --size WxH, as given
    int windowWidth = DRAWING_WINDOW_WIDTH;       // the drawing window, from --size
    int windowHeight = DRAWING_WINDOW_HEIGHT;
    std::string setText;                    // the last --set NAME=V[,V...], as given
    std::vector<ParameterSetting> settings; // every --set, in order
    std::string time;                       // --time SECONDS, as given
    bool timeFixed = false;                 // --time was given: u_time stands at fixedTime
    double fixedTime = 0;
    // A model or an option of the viewer's own was given: files missing from the
    // working directory may then come from the shipped files.
    bool ownArguments = false;
};

enum CommandLineResult {
    COMMAND_LINE_RUN,     // start the viewer with these options
    COMMAND_LINE_HELP,    // --help: print the usage on stdout, end with status 0
    COMMAND_LINE_VERSION, // --version: print the version on stdout, end with status 0
    COMMAND_LINE_BAD,     // print `problem` and the usage on stderr, end with status 2
};

// Reads argv (argv[0] is the program). `problem` says what is wrong for COMMAND_LINE_BAD.
CommandLineResult parseCommandLine(int argc, char** argv, CommandLine& options, std::string& problem);
// The usage text, one line per option, ending in a line break.
const char* usageText();
// "meshshade 1.1.0\n"
const char* versionText();
