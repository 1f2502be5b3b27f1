// A library planted beside a program under the name of a system library, as someone who can
// write into its folder could: loading it writes "loaded <its path>" into "planted.log" beside
// it, then refuses to stay, so whatever asked for it gets nothing.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return FALSE;
    char log[MAX_PATH + 16];
    lstrcpyA(log, path);
    char* slash = log;
    for (char* c = log; *c != 0; ++c)
        if (*c == '\\') slash = c + 1;
    lstrcpyA(slash, "planted.log");
    const HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    char line[MAX_PATH + 16];
    lstrcpyA(line, "loaded ");
    lstrcatA(line, path);
    lstrcatA(line, "\r\n");
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    CloseHandle(file);
    return FALSE;
}
