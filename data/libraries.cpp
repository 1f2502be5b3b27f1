#include "data/libraries.h"

#include "text/text.h"

uint32_t ChooseLibraryLoad(bool canSearchSystem, const char* systemFolder, const char* name,
                           char* path, uint32_t pathSize)
{
    if (pathSize != 0) path[0] = 0;
    if (canSearchSystem) return LoadFromSystemFolder;
    const uint32_t folder = TextLength(systemFolder);
    if (folder == 0) return LoadNothing;
    const bool closed = systemFolder[folder - 1] == '\\';
    const uint64_t length = uint64_t{folder} + (closed ? 0 : 1) + TextLength(name);
    if (length + 1 > pathSize) return LoadNothing;
    CopyText(systemFolder, path, pathSize);
    if (!closed) AppendText(path, "\\", pathSize);
    AppendText(path, name, pathSize);
    return LoadByFullPath;
}
