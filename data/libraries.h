// Where a library that the program loads late comes from: the system folder, never the program's
// own folder or the current one, where anyone who can write a file could leave one of the same
// name (a portable copy is unpacked wherever its zip was, a Downloads folder as like as not).
#pragma once

#include <cstdint>

// How to load it.
enum : uint32_t
{
    LoadNothing = 0,          // no path to trust: load nothing
    LoadFromSystemFolder = 1, // the bare name, searching the system folder alone
    LoadByFullPath = 2,       // the system folder's path and the name, nothing searched
};

// The way to load library `name` (a plain file name) and, with LoadByFullPath, its path into
// `path`. Where Windows can search the system folder alone for one library (`canSearchSystem`:
// SetDefaultDllDirectories exists), that; otherwise the full path in `systemFolder` (with or
// without its closing backslash). An empty folder, or a path longer than `pathSize` holds, loads
// nothing: a path cut short could name another file.
uint32_t ChooseLibraryLoad(bool canSearchSystem, const char* systemFolder, const char* name,
                           char* path, uint32_t pathSize);
template <uint32_t N>
inline uint32_t ChooseLibraryLoad(bool canSearchSystem, const char* systemFolder, const char* name,
                                  char (&path)[N])
{
    return ChooseLibraryLoad(canSearchSystem, systemFolder, name, path, N);
}
