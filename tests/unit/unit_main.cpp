// The unit tests' main: this program is also the importer process that the
// model import starts, as the viewer is.
#include <gtest/gtest.h>

#include "mesh/import_process.h"

int main(int argc, char** argv)
{
    runImporterIfAsked(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
