#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/win/harness_win.h"

namespace
{

struct LineCase
{
    std::string arguments; // after the quoted program path
    std::string expected;  // one line per argument index 1..5, then the switches' effect
};

// The process command line as Windows hands it over, read by a copy of the program.
TEST(CommandLine, ReadFromTheRealProcess)
{
    const LineCase cases[] = {
        {" /m=5 b g", "1:/m=5\n1:b\n1:g\n2:\n2:\ntime=300000 down=1 go=1 lock=0"},
        {" /a=\"C:\\My Sounds\\x.mp3\"\t/s=90",
         "1:/a=C:\\My Sounds\\x.mp3\n1:/s=90\n2:\n2:\n2:\ntime=90000 down=0 go=0 lock=1"},
        {" x\xFEg /d=60", "1:x g\n1:/d=60\n2:\n2:\n2:\ntime=4233600000 down=0 go=1 lock=0"},
        {" /m=5 \"\" g", "1:/m=5\n4:\n1:g\n2:\n2:\ntime=300000 down=0 go=0 lock=0"},
        {" /m=5 g \"", "3:\n3:\n3:\n3:\n3:\ntime=0 down=0 go=0 lock=0"},
        {" /S=5 /m=5g", "1:/S=5\n1:/m=5g\n2:\n2:\n2:\ntime=0 down=0 go=1 lock=0"},
    };
    const std::string folder = NewTempFolder() + "My Timer\\";
    for (const LineCase& c : cases)
    {
        SCOPED_TRACE(c.arguments);
        const std::string report = NewTempFolder() + "report.txt";
        const HANDLE child = StartChild(folder, "Mivo.exe", "arguments", folder,
                                        "MIVO_REPORT=" + report, c.arguments);
        ASSERT_NE(child, nullptr);
        ASSERT_EQ(WaitForSingleObject(child, 20000), WAIT_OBJECT_0);
        CloseHandle(child);
        const std::string seen = ReadBytes(report);
        // Argument 0 is the program path with its quotes removed, spaces kept.
        const bool unbalanced = c.expected[0] == '3';
        const std::string path = unbalanced ? "3:\n" : "1:" + folder + "Mivo.exe\n";
        EXPECT_EQ(seen, path + c.expected);
    }
}

} // namespace
