// Any command line: the argument reader must stay inside its work copy, and every argument
// it returns is whole (no longer than the work copy) and terminated.
#include "fuzz/asan_options.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/count.h"
#include "app/switches.h"
#include "data/settings.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static char line[4096];
    if (size >= sizeof line) size = sizeof line - 1;
    std::memcpy(line, data, size);
    line[size] = 0;

    for (uint32_t index = 0; index < 8; ++index)
    {
        char argument[CommandLineWorkChars + 1];
        std::memset(argument, 'x', sizeof argument);
        const uint32_t code = SplitCommandArgument(line, index, argument);
        if (code < ArgumentFound || code > ArgumentEmpty) std::abort();
        if (code != ArgumentUnbalanced && std::memchr(argument, 0, sizeof argument) == nullptr)
            std::abort();
        if (code == ArgumentFound && argument[0] == 0) std::abort();
    }

    SettingsRecord settings = {};
    settings.CountUntil = 1;
    CountState count = {};
    StartSwitches switches = {};
    ApplyCommandLine(line, settings, count, switches);
    if (count.TargetTime != 0 && (count.TargetTime < 3000 || count.TargetTime > 4294967000u))
        std::abort();
    return 0;
}
