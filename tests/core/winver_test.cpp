#include <gtest/gtest.h>

#include <cstring>

#include "data/winver.h"

namespace
{

struct VersionCase
{
    uint32_t platform, major, minor, build, extended, productType, suiteMask, tablet, media;
    const char* servicePack;
    uint32_t code;
    const char* name;
    uint32_t layered;
};

const VersionCase VersionCases[] = {
    {2, 5, 0, 2195, 1, 1, 0, 0, 0, "Service Pack 4", 16,
     "Windows 2000 Professional, Service Pack 4", 1},
    {2, 5, 1, 2600, 1, 1, 0x0200, 0, 0, "", 19, "Windows XP Home Edition", 1},
    {2, 5, 1, 2600, 1, 1, 0, 1, 1, "", 22, "Windows XP Tablet PC Edition Professional", 1},
    {2, 5, 1, 2600, 1, 1, 0, 0, 1, "", 21, "Windows XP Media Center Edition Professional", 1},
    {2, 5, 2, 3790, 1, 3, 0, 0, 0, "", 23, "Windows Server 2003 Family Server", 1},
    {2, 5, 3, 0, 1, 1, 0, 0, 0, "", 0, "Unknown OS Professional", 0},
    {2, 6, 0, 6000, 1, 1, 0, 0, 0, "", 24, "Windows Vista Professional", 1},
    {2, 6, 1, 7601, 1, 1, 0, 0, 0, "Service Pack 1", 25, "Windows 7 Professional, Service Pack 1",
     1},
    {2, 6, 2, 9200, 1, 1, 0, 0, 0, "", 26, "Windows 8 Professional", 1},
    {2, 6, 3, 9600, 1, 3, 0, 0, 0, "", 27, "Windows 8.1 Server", 1},
    {2, 6, 4, 9600, 1, 1, 0, 0, 0, "", 0, "Unknown Window 2000 Professional", 0},
    {2, 10, 0, 19045, 1, 1, 0, 0, 0, "", 30, "Windows 10 Professional", 1},
    {2, 10, 0, 21999, 1, 1, 0x0200, 0, 0, "", 30, "Windows 10 Home Edition", 1},
    {2, 10, 0, 22000, 1, 1, 0, 0, 0, "", 31, "Windows 11 Professional", 1},
    {2, 10, 0, 26100, 1, 2, 0, 0, 0, "", 31, "Windows 11 ", 1},
    {2, 11, 0, 30000, 1, 1, 0, 0, 0, "", 0, "Unknown OS Professional", 0},
    // Without the extended query no edition is appended.
    {2, 10, 0, 19045, 0, 1, 0, 0, 0, "", 30, "Windows 10", 1},
    {2, 5, 1, 2600, 0, 0, 0, 0, 0, "Service Pack 3", 19, "Windows XP, Service Pack 3", 1},
    // Not NT: nothing appended.
    {1, 4, 10, 0, 1, 1, 0, 0, 0, "A", 0, "Unknown OS", 0},
};

TEST(WindowsVersionTable, EveryRow)
{
    for (const VersionCase& c : VersionCases)
    {
        WindowsVersion v = {c.platform,    c.major,     c.minor,  c.build, c.extended,
                            c.productType, c.suiteMask, c.tablet, c.media, {}};
        std::strcpy(v.ServicePack, c.servicePack);
        char name[600];
        const uint32_t code = ClassifyWindows(v, name, sizeof name);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(code, c.code);
        EXPECT_STREQ(name, c.name);
        EXPECT_EQ(LayeredAvailableFor(code), c.layered);
    }
    // The codes that are never produced would not allow layering either way.
    for (uint32_t code : {17u, 18u})
        EXPECT_EQ(LayeredAvailableFor(code), 0u);
}

} // namespace
