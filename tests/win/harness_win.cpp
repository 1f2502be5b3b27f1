#include "tests/win/harness_win.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/app_win.h"
#include "app/count.h"
#include "app/counting.h"
#include "app/switches.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "data/uistrings.h"
#include "text/text_win.h"

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT) continue;
        ProcessLoopMessage(msg);
    }
}

void PumpMessagesFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do
    {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

void Command(uint32_t id)
{
    SendMessageA(MainWindow, WM_COMMAND, id, 0);
    PumpMessages();
}

std::string WindowText(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

namespace
{

WNDPROC WatchedProcedure;
UINT WatchedMessage;
std::atomic<int>* WatchedCount;

LRESULT CALLBACK CountWatchedMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WatchedMessage) ++*WatchedCount;
    return CallWindowProcA(WatchedProcedure, window, message, wParam, lParam);
}

} // namespace

void CountMainWindowMessages(UINT message, std::atomic<int>& seen)
{
    WatchedMessage = message;
    WatchedCount = &seen;
    WatchedProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountWatchedMessage)));
}

std::string OpenedFile;

namespace
{

HINSTANCE WINAPI RecordOpen(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT)
{
    OpenedFile = file;
    return reinterpret_cast<HINSTANCE>(33); // above 32: success
}

} // namespace

void RecordShellOpens()
{
    OpenedFile.clear();
    ShellOpenProc = RecordOpen;
}

void SetControlHeld(bool held)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = held ? 0x80 : 0;
    keys[VK_LCONTROL] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}

namespace
{

std::vector<std::string>& MadeFolders()
{
    static std::vector<std::string> folders;
    return folders;
}

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE)
    {
        do
        {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + "\\");
            else
            {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

std::string NewTempFolder()
{
    static int made = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[MAX_PATH + 64];
    std::snprintf(name, sizeof name, "%smivo-%lu-%d\\", temp, GetCurrentProcessId(), ++made);
    CreateDirectoryA(name, nullptr);
    MadeFolders().push_back(name);
    return name;
}

void RemoveTempFolders()
{
    for (const std::string& folder : MadeFolders())
        RemoveTree(folder);
    MadeFolders().clear();
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadBytes(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

SettingsRecord DefaultRecord()
{
    SettingsRecord record = {};
    ApplyDefaultFields(record, "Mivo Finished", "Mivo 2.0 Released");
    return record;
}

std::string SettingsImage(const SettingsRecord& record)
{
    uint8_t image[SettingsFileSize];
    BuildSettingsImage(record, image);
    return std::string(reinterpret_cast<char*>(image), sizeof image);
}

std::string DefaultSettingsImage()
{
    return SettingsImage(DefaultRecord());
}

int LiveGdiObjects()
{
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) return static_cast<int>(counted);
    int live = 0;
    for (UINT_PTR index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
    return live;
}

namespace
{

void WriteBmp(const std::string& path, const Capture& capture)
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = capture.width;
    info.biHeight = -capture.height; // top-down
    info.biPlanes = 1;
    info.biBitCount = 32;
    const DWORD bytes = static_cast<DWORD>(capture.pixels.size() * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bytes;
    std::string out(reinterpret_cast<const char*>(&file), sizeof file);
    out.append(reinterpret_cast<const char*>(&info), sizeof info);
    out.append(reinterpret_cast<const char*>(capture.pixels.data()), bytes);
    WriteBytes(path, out);
}

} // namespace

namespace
{

// Fixed when the program starts: a file chooser moves the current folder.
const std::string ArtifactsFolder = [] {
    const char* folder = std::getenv("MIVO_ARTIFACTS");
    char full[MAX_PATH] = {};
    GetFullPathNameA(folder != nullptr ? folder : "artifacts", sizeof full, full, nullptr);
    return std::string(full);
}();

} // namespace

Capture CaptureClient(HWND window, const char* name)
{
    Capture capture;
    RECT client;
    GetClientRect(window, &client);
    capture.width = client.right;
    capture.height = client.bottom;
    if (capture.width <= 0 || capture.height <= 0) return capture;
    capture.pixels.resize(static_cast<size_t>(capture.width) * capture.height);

    const HDC windowDc = GetDC(window);
    const HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HBITMAP section = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, section);
    BitBlt(memory, 0, 0, capture.width, capture.height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < capture.pixels.size(); ++i)
        capture.pixels[i] = source[i] & 0x00FFFFFF;
    SelectObject(memory, previous);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);

    CreateDirectoryA(ArtifactsFolder.c_str(), nullptr);
    WriteBmp(ArtifactsFolder + "\\" + name + ".bmp", capture);
    return capture;
}

std::string StartInTempFolder(const char* commandLine, const std::string& settingsImage)
{
    // Every test process keeps its own count: tests running side by side never share the
    // keeper's mutex of the real program.
    static char keeper[64];
    std::snprintf(keeper, sizeof keeper, "Local\\Mivo.KeptCount.%lu", GetCurrentProcessId());
    KeeperMutexName = keeper;
    const std::string folder = NewTempFolder();
    if (!settingsImage.empty()) WriteBytes(folder + "dMivo.dat", settingsImage);
    PinFolders(folder.c_str(), folder.c_str());
    if (!StartMivo(commandLine)) return {};
    PumpMessages();
    return folder;
}

namespace
{

struct WindowSearch
{
    const char* title;
    DWORD processId;
    HWND found;
    const std::function<bool(HWND)>* fits;
    bool hidden; // hidden windows count too
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<WindowSearch*>(data);
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if ((search->title == nullptr || std::strcmp(title, search->title) == 0) &&
        (search->hidden || IsWindowVisible(window)) && process == search->processId &&
        (search->fits == nullptr || (*search->fits)(window)))
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindWindowLike(WindowSearch& search, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do
    {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        Sleep(10);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
}

} // namespace

HWND WaitForWindow(const char* title, DWORD milliseconds, DWORD processId)
{
    WindowSearch search = {title, processId != 0 ? processId : GetCurrentProcessId(), nullptr,
                           nullptr, false};
    return FindWindowLike(search, milliseconds);
}

HWND WaitForWindow(const char* title, const std::function<bool(HWND)>& fits, DWORD milliseconds)
{
    WindowSearch search = {title, GetCurrentProcessId(), nullptr, &fits, false};
    return FindWindowLike(search, milliseconds);
}

HWND WaitForWindowOf(DWORD processId, const std::function<bool(HWND)>& fits, bool hidden,
                     DWORD milliseconds)
{
    WindowSearch search = {nullptr, processId, nullptr, &fits, hidden};
    return FindWindowLike(search, milliseconds);
}

LitBox Lit(const Capture& c, int fromY, int toY, uint32_t colour)
{
    LitBox box;
    for (int y = fromY < 0 ? 0 : fromY; y < toY && y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            if (c.at(x, y) == colour)
            {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x + 1);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y + 1);
                ++box.count;
            }
    return box;
}

void AsUser(const std::function<void()>& user, const std::function<void()>& start)
{
    std::atomic<bool> done{false};
    std::thread helper([&] {
        user();
        done = true;
    });
    if (start) start();
    while (!done)
        PumpMessagesFor(10);
    helper.join();
    PumpMessagesFor(100);
}

int DigitHeight(int fontHeight, const char* face)
{
    const HDC dc = CreateCompatibleDC(nullptr);
    const HFONT font =
        CreateFontA(fontHeight, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
    const HGDIOBJ previous = SelectObject(dc, font);
    GLYPHMETRICS metrics = {};
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GetGlyphOutlineA(dc, '0', GGO_METRICS, &metrics, 0, nullptr, &identity);
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    return static_cast<int>(metrics.gmBlackBoxY);
}

HWND MainWindowOf(DWORD process, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do
    {
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, "MivoTime", nullptr)) != nullptr)
        {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == process) return window;
        }
        Sleep(20);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
}

HANDLE StartProgram(const std::string& exe, const std::string& arguments, const std::string& folder,
                    const std::string& environment, DWORD& id)
{
    // The program's environment: ours, but for the names the caller's lines give anew, plus
    // those lines.
    const auto givenAnew = [&environment](const char* line) {
        const char* equals = std::strchr(line + 1, '=');
        if (equals == nullptr) return false;
        const std::string name(line, equals + 1);
        for (size_t at = 0; at < environment.size();
             at = environment.find('\n', at) == std::string::npos ? environment.size()
                                                                  : environment.find('\n', at) + 1)
            if (environment.compare(at, name.size(), name) == 0) return true;
        return false;
    };
    std::string block;
    for (const char* p = GetEnvironmentStringsA(); *p != 0; p += std::strlen(p) + 1)
        if (!givenAnew(p)) block.append(p).push_back('\0');
    size_t at = 0;
    while (at < environment.size())
    {
        size_t end = environment.find('\n', at);
        if (end == std::string::npos) end = environment.size();
        block.append(environment, at, end - at).push_back('\0');
        at = end + 1;
    }
    block.push_back('\0');

    std::string commandLine = "\"" + exe + "\"" + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, &block[0],
                        folder.c_str(), &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    id = process.dwProcessId;
    return process.hProcess;
}

HANDLE StartChild(const std::string& folder, const std::string& exeName, const std::string& mode,
                  const std::string& currentFolder, const std::string& environment,
                  const std::string& arguments)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string exe = folder + exeName;
    if (!CopyFileA(self, exe.c_str(), FALSE)) return nullptr;
    DWORD id;
    return StartProgram(exe, arguments, currentFolder,
                        "MIVO_CHILD=" + mode + (environment.empty() ? "" : "\n" + environment), id);
}

namespace
{

UINT WINAPI RemovableDrive(LPCSTR)
{
    return DRIVE_REMOVABLE;
}

void Report(const std::string& text)
{
    const char* path = std::getenv("MIVO_REPORT");
    if (path != nullptr) WriteBytes(path, text);
}

} // namespace

std::string ProductExePath()
{
    const char* exe = std::getenv("MIVO_EXE");
    std::string path = exe != nullptr ? exe : "";
    // Wine shows the Linux root as drive Z:.
    if (!path.empty() && path[0] == '/')
    {
        for (char& c : path)
            if (c == '/') c = '\\';
        path = "Z:" + path;
    }
    return path;
}

int RunChildMode(const char* mode)
{
    if (std::getenv("MIVO_REMOVABLE") != nullptr) DriveTypeProc = RemovableDrive;
    if (std::strcmp(mode, "scale") == 0) return RunScaleChild();
    if (std::strcmp(mode, "hotkey") == 0)
    {
        // Another program that holds Ctrl+Shift+K until it is ended.
        const HWND window = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 10, 10, nullptr,
                                            nullptr, nullptr, nullptr);
        const bool held = RegisterHotKey(window, 1, MOD_CONTROL | MOD_SHIFT, 'K') != FALSE;
        Report(held ? "held" : "refused");
        PumpMessagesFor(120000);
        return 7;
    }
    if (std::strcmp(mode, "marker") == 0)
    {
        // A program that a time-up runs: it adds "ran" to "marker.txt" beside itself, once a
        // run, so that a test can count the runs.
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        std::string marker = self;
        marker.erase(marker.find_last_of('\\') + 1);
        const HANDLE file = CreateFileA((marker + "marker.txt").c_str(), FILE_APPEND_DATA, 0,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, "ran", 3, &written, nullptr);
        CloseHandle(file);
        return 7;
    }
    if (std::strcmp(mode, "folders") == 0)
    {
        PrepareFolders(1);
        Report(std::string("program=") + ProgramFolder + "\ndata=" + DataFolder + "\n");
        return 7;
    }
    if (std::strcmp(mode, "strings") == 0)
    {
        UiStrings = static_cast<char*>(GlobalAlloc(GPTR, UiStringsSize));
        PrepareFolders(1);
        if (const char* data = std::getenv("MIVO_DATA_FOLDER")) PinFolders(ProgramFolder, data);
        LoadUiStrings();
        Report(std::string("loaded ") + UiString(0));
        return 7;
    }
    if (std::strcmp(mode, "arguments") == 0)
    {
        std::string out;
        for (uint32_t index = 0; index < 6; ++index)
        {
            char argument[192];
            const uint32_t code = GetCommandArgument(index, argument, sizeof argument);
            out += std::to_string(code) + ":" + (code == 3 ? "" : argument) + "\n";
        }
        SettingsRecord settings = {};
        settings.CountUntil = 1;
        CountState count = {};
        StartSwitches switches = {};
        ApplyCommandLine(GetCommandLineA(), settings, count, switches);
        out += "time=" + std::to_string(count.TargetTime) +
               " down=" + std::to_string(settings.CountDirection) +
               " go=" + std::to_string(switches.StartAtLaunch) +
               " lock=" + std::to_string(switches.LockTimeUpText);
        Report(out);
        return 7;
    }
    if (std::strcmp(mode, "reset-strings") == 0)
    {
        // A running count, then Reset while another program holds Strings.txt: rewriting and
        // reading it fail and the fatal error box shows, which ends the process once answered.
        // Reports the counting passes made while the box is up.
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        std::string folder = self;
        folder.erase(folder.find_last_of('\\') + 1);
        WriteBytes(folder + "dMivo.dat", DefaultSettingsImage());
        PinFolders(folder.c_str(), folder.c_str());
        if (!StartMivo("Mivo.exe /m=5 b g")) return 98;
        PumpMessagesFor(300);
        const HANDLE held = CreateFileA((folder + "Strings.txt").c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
        if (held == INVALID_HANDLE_VALUE) return 97;
        std::thread watcher([] {
            const HWND box = WaitForWindow("Mivo.exe", 10000);
            const volatile uint32_t& passes = CountingPasses;
            const uint32_t before = passes;
            Sleep(600);
            Report("passes " + std::to_string(passes - before));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        watcher.detach();
        ResetSettings();
        return 96; // the error ends the process before this
    }
    return 99;
}

std::string MarkerProgram(const std::string& folder)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string exe = folder + "marker.exe";
    if (!CopyFileA(self, exe.c_str(), FALSE)) return {};
    return exe;
}

bool RunUnixCommand(const std::string& command)
{
    static int runs = 0;
    const std::string marker =
        "/tmp/mivo-unix-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs);
    std::string line = "/bin/sh -c \"" + command + "; touch " + marker + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string seen = "Z:" + marker;
    for (char& c : seen)
        if (c == '/') c = '\\';
    const bool ended = PumpUntil([&] { return FileExists(seen); }, 20000);
    DeleteFileA(seen.c_str());
    return ended;
}

bool TypeKeys(const char* keys)
{
    return RunUnixCommand(std::string("/usr/bin/xdotool key --delay 50 ") + keys);
}

bool ClickAt(HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    return RunUnixCommand("/usr/bin/xdotool mousemove " + std::to_string((r.left + r.right) / 2) +
                          " " + std::to_string((r.top + r.bottom) / 2) + " click 1");
}

Notepad::Notepad()
{
    DWORD id = 0;
    process = StartProgram("C:\\windows\\notepad.exe", "", NewTempFolder(), "", id);
    if (process != nullptr)
        window = WaitForWindowOf(id, [](HWND w) { return GetWindow(w, GW_OWNER) == nullptr; });
}

Notepad::~Notepad()
{
    if (process == nullptr) return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
}

bool Notepad::Focus() const
{
    SetForegroundWindow(window);
    return RunUnixCommand("/usr/bin/xdotool search --sync --onlyvisible --name Notepad "
                          "windowfocus --sync") &&
           PumpUntil([this] { return GetForegroundWindow() == window; }, 10000);
}
