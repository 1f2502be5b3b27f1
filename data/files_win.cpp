#include <windows.h>

#include "data/data_win.h"
#include "text/text.h"

BOOL(WINAPI* WriteFileProc)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) = WriteFile;

bool ReplaceFileWhole(const char* path, const void* bytes, uint32_t size)
{
    char fresh[600 + 8];
    CopyText(path, fresh);
    AppendText(fresh, ".new");
    if (TextLength(fresh) != TextLength(path) + 4) return false; // no room for the name

    const HANDLE file = CreateFileA(fresh, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool whole = WriteFileProc(file, bytes, size, &written, nullptr) && written == size;
    whole = whole && FlushFileBuffers(file);
    CloseHandle(file);
    if (whole && MoveFileExA(fresh, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(fresh);
    return false;
}
