#include <windows.h>

#include <cstring>

#include "app/app_win.h"
#include "app/appstate.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "data/uistrings.h"
#include "text/text.h"

namespace
{

void SettingsPath(char (&path)[600])
{
    CopyText(DataFolder, path);
    AppendText(path, "dMivo.dat");
}

// Reads until `size` bytes are in or the file ends; returns the count.
uint32_t ReadUpTo(HANDLE file, uint8_t* into, uint32_t size)
{
    uint32_t total = 0;
    DWORD got = 0;
    while (total < size && ReadFile(file, into + total, size - total, &got, nullptr) && got > 0)
        total += got;
    return total;
}

// The two texts come from the strings loaded now, before the default strings replace them.
void ApplyDefaultValues()
{
    ApplyDefaultFields(Settings, UiString(13), UiString(30));
    Settings.FontItalic = 0;
    Settings.FontWeight = 400;
}

} // namespace

void ApplyDefaultSettings()
{
    ApplyDefaultValues();
    WriteDefaultUiStrings();
}

uint32_t SettingsResets;

void ResetSettings()
{
    ++SettingsResets;
    {
        // The counting thread reads these settings: it sees either all old or all new ones.
        CountLockGuard lock;
        ApplyDefaultValues();
    }
    // The strings file is rewritten and read without the lock: that, and the error box when
    // it fails, must not hold up the count.
    WriteDefaultUiStrings();
}

void ResetTextResources()
{
    Settings.FontItalic = 0;
    Settings.FontWeight = 400;
    WriteDefaultUiStrings();
}

void LoadSettings()
{
    char path[600];
    SettingsPath(path);
    const HANDLE file =
        CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        ShowWelcome();
        ApplyDefaultSettings();
        return;
    }

    uint8_t magic[SettingsMagicSize];
    const uint32_t version = CheckSettingsMagic(magic, ReadUpTo(file, magic, sizeof magic));
    const SettingsLoadStep step = SettingsStepFor(version);
    if (step != SettingsLoadStep::Defaults)
    {
        uint8_t body[sizeof(SettingsRecord)];
        ApplySettingsBody(Settings, body, ReadUpTo(file, body, sizeof body));
    }
    CloseHandle(file);

    switch (step)
    {
    case SettingsLoadStep::Defaults:
    case SettingsLoadStep::DefaultsOverBody: ApplyDefaultSettings(); break;
    case SettingsLoadStep::ResetTexts: ResetTextResources(); break;
    case SettingsLoadStep::Keep: break;
    }
}

uint32_t SettingsSaves;

bool ReadSavedKeptBytes(uint8_t (&bytes)[sizeof Settings.KeptBytes])
{
    char path[600];
    SettingsPath(path);
    const HANDLE file =
        CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    uint8_t image[SettingsFileSize];
    const uint32_t got = ReadUpTo(file, image, sizeof image);
    CloseHandle(file);
    if (got != sizeof image || CheckSettingsMagic(image, got) != SettingsCurrentVersion)
        return false;
    std::memcpy(bytes, image + SettingsMagicSize + offsetof(SettingsRecord, KeptBytes),
                sizeof bytes);
    return true;
}

bool SaveSettings()
{
    ++SettingsSaves;
    if (WindowState == WindowNormal && MainWindow != nullptr)
    {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        if (GetWindowPlacement(MainWindow, &placement))
            std::memcpy(&Settings.WindowPlacement, &placement, sizeof placement);
    }
    uint8_t image[SettingsFileSize];
    BuildSettingsImage(Settings, image);
    char path[600];
    SettingsPath(path);
    return ReplaceFileWhole(path, image, sizeof image);
}
