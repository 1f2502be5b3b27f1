#include <windows.h>

#include "data/data_win.h"
#include "data/strings.h"
#include "data/uistrings.h"
#include "resources/resource.h"
#include "text/text.h"

namespace
{

HANDLE OpenStringsFile(const char* folder)
{
    char path[600];
    CopyText(folder, path);
    AppendText(path, "Strings.txt");
    return CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

[[noreturn]] void StringsFileError()
{
    MessageBoxA(nullptr, "String File Error!", "Mivo.exe", MB_OK);
    ExitProcess(0);
}

// `mayWriteDefault` is cleared for the load that follows writing the default, so that a
// folder where the default cannot be written or read back ends in the error, not a loop.
void LoadUiStringsFrom(bool mayWriteDefault)
{
    HANDLE file = OpenStringsFile(DataFolder);
    if (file == INVALID_HANDLE_VALUE) file = OpenStringsFile(ProgramFolder);
    if (file == INVALID_HANDLE_VALUE)
    {
        if (!mayWriteDefault) StringsFileError();
        WriteDefaultUiStrings();
        return;
    }

    UiStringsParser parser;
    BeginUiStrings(parser, UiStrings);
    uint8_t chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        FeedUiStrings(parser, chunk, got);
    CloseHandle(file);
    if (FinishUiStrings(parser) < UiStringsNeeded) StringsFileError();
}

} // namespace

void LoadUiStrings()
{
    LoadUiStringsFrom(true);
}

void WriteDefaultUiStrings()
{
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_DEFAULT_STRINGS),
                                      MAKEINTRESOURCEA(RT_DEFAULT_STRINGS));
    const HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes != nullptr)
    {
        char path[600];
        CopyText(DataFolder, path);
        AppendText(path, "Strings.txt");
        // Written beside and swapped in: a failed write leaves the file that was there.
        ReplaceFileWhole(path, bytes, SizeofResource(nullptr, found));
    }
    LoadUiStringsFrom(false);
}
