#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/win/harness_win.h"

namespace
{

std::string VersionValue(const std::vector<char>& block, const char* name)
{
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        return {};
    return value;
}

TEST(Executable, VersionRecord)
{
    const std::string exe = ProductExePath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &handle);
    ASSERT_GT(size, 0u) << exe;
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, block.data()));
    EXPECT_EQ(VersionValue(block, "FileDescription"), "Desktop Timer");
    EXPECT_EQ(VersionValue(block, "FileVersion"), "1.9.0.0");
    EXPECT_EQ(VersionValue(block, "OriginalFilename"), "Mivo.exe");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010009u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
}

TEST(Executable, ManifestIconsAndDialogs)
{
    const HMODULE module =
        LoadLibraryExA(ProductExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    for (const char* os :
         {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
          "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
          "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_NE(manifest.find(os), std::string::npos) << os;
    // Per-monitor aware, v2 first, with the older forms for the Windows before it.
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);

    // Icons 500 and 501 at the small and large sizes of 100 to 200 % and at 256 pixels, each
    // drawn at its size: the image Windows picks for a size is the one of that size.
    const int sizes[] = {16, 20, 24, 32, 40, 48, 256};
    for (int icon : {500, 501})
    {
        const HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(icon), RT_GROUP_ICON);
        ASSERT_NE(group, nullptr) << icon;
        auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
        const WORD images = *reinterpret_cast<const WORD*>(directory + 4);
        ASSERT_EQ(images, 7) << icon;
        for (int size : sizes)
        {
            SCOPED_TRACE(testing::Message() << icon << " at " << size);
            const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, 0);
            int width = -1; // of the directory's entry for that image (14 bytes, id last)
            for (WORD i = 0; i < images; ++i)
                if (*reinterpret_cast<const WORD*>(directory + 6 + 14 * i + 12) == id)
                    width = directory[6 + 14 * i] == 0 ? 256 : directory[6 + 14 * i];
            EXPECT_EQ(width, size);
            const HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(id), RT_ICON);
            ASSERT_NE(image, nullptr);
            const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, image)));
            if (size == 256)
            {
                // Kept as PNG. This Wine cannot make an icon of one, so its header is read: the
                // signature, then the IHDR chunk's big-endian width and height.
                ASSERT_EQ(std::memcmp(bytes, "\x89PNG\r\n\x1a\n", 8), 0);
                EXPECT_EQ(bytes[16] << 24 | bytes[17] << 16 | bytes[18] << 8 | bytes[19], 256);
                EXPECT_EQ(bytes[20] << 24 | bytes[21] << 16 | bytes[22] << 8 | bytes[23], 256);
                continue;
            }
            const HICON h = static_cast<HICON>(
                LoadImageA(module, MAKEINTRESOURCEA(icon), IMAGE_ICON, size, size, 0));
            ASSERT_NE(h, nullptr);
            ICONINFO info = {};
            GetIconInfo(h, &info);
            BITMAP bitmap = {};
            GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
            EXPECT_EQ(bitmap.bmWidth, size);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(h);
        }
    }
    for (int dialog : {1601, 1025})
        EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(dialog), MAKEINTRESOURCEA(5)), nullptr);
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(8888), MAKEINTRESOURCEA(8888)), nullptr);
    FreeLibrary(module);
}

// The names of the DLLs a program file imports, in capitals.
std::vector<std::string> ImportedDlls(const std::string& bytes)
{
    std::vector<std::string> names;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes.data() + dos->e_lfanew);
    // The import directory, found through the section that holds it.
    const DWORD importRva =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    const auto* sections = IMAGE_FIRST_SECTION(nt);
    const auto toOffset = [&](DWORD rva) -> DWORD {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i)
            if (rva >= sections[i].VirtualAddress &&
                rva < sections[i].VirtualAddress + sections[i].Misc.VirtualSize)
                return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
        return 0;
    };
    for (auto* d =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(bytes.data() + toOffset(importRva));
         d->Name != 0; ++d)
    {
        std::string name = bytes.data() + toOffset(d->Name);
        for (char& c : name)
            c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        names.push_back(name);
    }
    return names;
}

// One static file: a GUI program that imports only Windows system DLLs, under 300 KB.
TEST(Executable, StaticGuiProgramImportingSystemDllsOnly)
{
    const std::string bytes = ReadBytes(ProductExePath());
    ASSERT_GT(bytes.size(), 1024u);
    EXPECT_LT(bytes.size(), 300u * 1024u);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes.data() + dos->e_lfanew);
    ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    // Loaded at a random address, with the relocations that takes, and no data run as code.
    const WORD security = nt->OptionalHeader.DllCharacteristics;
    EXPECT_NE(security & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, 0);
    EXPECT_NE(security & IMAGE_DLLCHARACTERISTICS_NX_COMPAT, 0);
    EXPECT_EQ(nt->FileHeader.Characteristics & IMAGE_FILE_RELOCS_STRIPPED, 0);
    EXPECT_NE(nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size, 0u);

    const char* system[] = {"KERNEL32.DLL", "USER32.DLL",  "GDI32.DLL", "COMCTL32.DLL",
                            "COMDLG32.DLL", "SHELL32.DLL", "OLE32.DLL", "WINMM.DLL",
                            "ADVAPI32.DLL", "MSVFW32.DLL", "MSVCRT.DLL"};
    const std::vector<std::string> imported = ImportedDlls(bytes);
    for (const std::string& name : imported)
    {
        bool known = false;
        for (const char* s : system)
            known = known || name == s;
        EXPECT_TRUE(known) << name;
    }
    EXPECT_GT(imported.size(), 2u);
}

// Libraries that only some commands need: the shell (tray, ReadMe, Run File, an installed
// copy's data folder), the common dialogs and COM (the choosers), the players (a sound file).
const char* const LateLibraries[] = {"SHELL32.DLL", "COMDLG32.DLL", "MSVFW32.DLL", "WINMM.DLL",
                                     "OLE32.DLL",   "OLEACC.DLL",   "OLEAUT32.DLL"};

// They are loaded by the first call that needs them, not with the program.
TEST(Executable, LateLibrariesAreNotImported)
{
    const std::vector<std::string> imported = ImportedDlls(ReadBytes(ProductExePath()));
    ASSERT_FALSE(imported.empty());
    for (const std::string& name : imported)
        for (const char* late : LateLibraries)
            EXPECT_NE(name, late);
}

TEST(Executable, StaysWithinItsSizeBudget)
{
    // 208 KB stripped, of which the icons' fourteen images take about 80 and the program's
    // code about 80 (it was 192 before sleep handling and the keys from anywhere added some
    // 14 KB of code and dialogs). Crossing it has so far always meant a piece of the C++
    // runtime (a function-local static's guard, an exception path) pulled in by accident:
    // that alone is over 100 KB.
    WIN32_FILE_ATTRIBUTE_DATA file = {};
    ASSERT_TRUE(GetFileAttributesExA(ProductExePath().c_str(), GetFileExInfoStandard, &file));
    EXPECT_EQ(file.nFileSizeHigh, 0u);
    EXPECT_LE(file.nFileSizeLow, 208u * 1024u);
    EXPECT_GT(file.nFileSizeLow, 32u * 1024u) << "not the program";
}

} // namespace
