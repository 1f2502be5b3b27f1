#include <windows.h>

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include "app/app_win.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "options/choosers_win.h"
#include "options/pages.h"
#include "text/text.h"

const char AlarmFileFilter[] = "Audio Files\0*.mid;*.wav;*.mp3;*.rmi;*.aif;*.au;*.snd\0"
                               "Executable Files\0*.exe\0"
                               "All Files\0*.*\0";

namespace
{

// Kept for the run: the chooser remembers the filter the user chose last.
OPENFILENAMEA FileChooser;

} // namespace

uint32_t ChooseAlarmFolder(HWND owner, char (&path)[600])
{
    // The shell's folder objects want COM on this thread; balanced whether or not it was
    // already initialised.
    const HRESULT com = ComInitializeLate(COINIT_APARTMENTTHREADED);
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.lpszTitle = "Choose Directory:";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX;
    const LPITEMIDLIST item = BrowseForFolderLate(&browse);
    uint32_t chosen = 0;
    if (item != nullptr)
    {
        // The path goes through a buffer of the size the call writes, then into `path`.
        char found[MAX_PATH] = {};
        PathFromItemListLate(item, found);
        ComFreeLate(item);
        CopyText(found, path);
        chosen = 1;
    }
    if (SUCCEEDED(com)) ComUninitializeLate();
    return chosen;
}

uint32_t ChooseAlarmFile(HWND owner, char (&path)[600], const char* filter, HINSTANCE instance)
{
    const HANDLE file =
        CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        char documents[MAX_PATH] = {};
        SpecialFolderPathLate(owner, documents, CSIDL_PERSONAL, FALSE);
        CopyText(documents, path);
        // Named as a folder: without the separator the chooser would open in its parent with
        // "Documents" as the file name.
        if (documents[0] != '\0') AppendText(path, "\\");
    }
    else
        CloseHandle(file);

    FileChooser.lStructSize = sizeof FileChooser;
    FileChooser.hwndOwner = owner;
    FileChooser.hInstance = instance;
    FileChooser.lpstrFilter = filter;
    FileChooser.lpstrFile = path;
    FileChooser.nMaxFile = sizeof path;
    FileChooser.lpstrTitle = ProgramCaption;
    FileChooser.Flags =
        OFN_EXPLORER | OFN_LONGNAMES | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    return OpenFileNameLate(&FileChooser) != FALSE ? 1 : 0;
}

uint32_t ChooseTimeFont(HWND owner, char (&face)[600], uint32_t& size, uint32_t textColour,
                        uint32_t& weight, uint32_t& italic, HINSTANCE instance)
{
    LOGFONTA font = {};
    CopyText(face, font.lfFaceName);
    font.lfHeight = static_cast<LONG>(size);
    font.lfWeight = static_cast<LONG>(weight);
    font.lfItalic = static_cast<BYTE>(italic & 0xFF);
    CHOOSEFONTA chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.hInstance = instance;
    chooser.lpLogFont = &font;
    chooser.rgbColors = textColour;
    chooser.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontLate(&chooser)) return 0;
    CopyText(font.lfFaceName, face);
    size = FontSizeFromHeight(font.lfHeight);
    weight = static_cast<uint32_t>(font.lfWeight);
    italic = font.lfItalic;
    return 1;
}

bool ChooseColour(HWND owner, uint32_t& colour, HINSTANCE instance)
{
    static_assert(sizeof(COLORREF) == sizeof(uint32_t), "colours are 32-bit words");
    CHOOSECOLORA chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.hInstance = reinterpret_cast<HWND>(instance);
    chooser.rgbResult = colour;
    chooser.lpCustColors = reinterpret_cast<COLORREF*>(Settings.CustomColours);
    chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorLate(&chooser)) return false;
    colour = chooser.rgbResult;
    return true;
}
