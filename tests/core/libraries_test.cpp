#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "data/libraries.h"

namespace
{

struct LibraryCase
{
    const char* what;
    bool canSearchSystem;
    const char* systemFolder;
    uint32_t pathSize;
    uint32_t how;
    const char* path;
};

// A late library comes from the system folder: searched alone where Windows can, else by its
// full path; never a path cut short.
TEST(LibraryLoad, FromTheSystemFolderOnly)
{
    const LibraryCase cases[] = {
        {"searched alone", true, "C:\\Windows\\system32", 260, LoadFromSystemFolder, ""},
        {"searched alone, whatever the folder", true, "", 260, LoadFromSystemFolder, ""},
        {"full path", false, "C:\\Windows\\system32", 260, LoadByFullPath,
         "C:\\Windows\\system32\\winmm.dll"},
        {"full path, folder with its backslash", false, "C:\\", 260, LoadByFullPath,
         "C:\\winmm.dll"},
        {"just fits", false, "C:\\Windows\\system32", 30, LoadByFullPath,
         "C:\\Windows\\system32\\winmm.dll"},
        {"one too long", false, "C:\\Windows\\system32", 29, LoadNothing, ""},
        {"no system folder", false, "", 260, LoadNothing, ""},
    };
    for (const LibraryCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        char buffer[260];
        std::memset(buffer, 'x', sizeof buffer);
        ASSERT_LE(c.pathSize, sizeof buffer);
        EXPECT_EQ(
            ChooseLibraryLoad(c.canSearchSystem, c.systemFolder, "winmm.dll", buffer, c.pathSize),
            c.how);
        EXPECT_EQ(std::string(buffer), c.path);
        // Nothing written past the buffer it was given.
        if (c.pathSize < sizeof buffer)
        {
            EXPECT_EQ(buffer[c.pathSize], 'x');
        }
    }
}

} // namespace
