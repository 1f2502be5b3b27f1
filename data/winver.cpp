#include "data/winver.h"

#include "text/text.h"

namespace
{

struct VersionRow
{
    uint32_t major;
    uint32_t minor; // AnyMinor matches every minor
    uint32_t code;
    const char* name;
};

constexpr uint32_t AnyMinor = 0xFFFFFFFF;

// First matching row wins; 5.1 and 10.x are told apart further below.
const VersionRow VersionRows[] = {
    {5, 0, 16, "Windows 2000"},
    {5, 1, 19, "Windows XP"},
    {5, 2, 23, "Windows Server 2003 Family"},
    {5, AnyMinor, 0, "Unknown OS"},
    {6, 0, 24, "Windows Vista"},
    {6, 1, 25, "Windows 7"},
    {6, 2, 26, "Windows 8"},
    {6, 3, 27, "Windows 8.1"},
    {6, AnyMinor, 0, "Unknown Window 2000"},
    {10, AnyMinor, 30, "Windows 10"},
};

uint32_t PickRow(const WindowsVersion& v, const char*& name)
{
    if (v.Major == 5 && v.Minor == 1)
    {
        // A tablet that is also a media centre counts as a tablet.
        if (v.TabletPc != 0)
        {
            name = "Windows XP Tablet PC Edition";
            return 22;
        }
        if (v.MediaCenter != 0)
        {
            name = "Windows XP Media Center Edition";
            return 21;
        }
    }
    if (v.Major == 10 && v.Build >= 22000)
    {
        name = "Windows 11";
        return 31;
    }
    for (const VersionRow& row : VersionRows)
    {
        if (row.major == v.Major && (row.minor == AnyMinor || row.minor == v.Minor))
        {
            name = row.name;
            return row.code;
        }
    }
    name = "Unknown OS";
    return 0;
}

} // namespace

uint32_t ClassifyWindows(const WindowsVersion& v, char* name, uint32_t nameSize)
{
    if (v.Platform != 2)
    {
        CopyText("Unknown OS", name, nameSize);
        return 0;
    }
    const char* base = nullptr;
    const uint32_t code = PickRow(v, base);
    CopyText(base, name, nameSize);
    if (v.Extended != 0)
    {
        AppendText(name, " ", nameSize);
        if (v.ProductType == 1)
            AppendText(name, (v.SuiteMask & 0x0200) != 0 ? "Home Edition" : "Professional",
                       nameSize);
        else if (v.ProductType == 3)
            AppendText(name, "Server", nameSize);
    }
    if (v.ServicePack[0] != 0)
    {
        AppendText(name, ", ", nameSize);
        AppendText(name, v.ServicePack, nameSize);
    }
    return code;
}
