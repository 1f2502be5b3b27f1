// A settings file of any bytes: the version rules and the body copy must stay inside the
// record, and a current file must read back byte for byte.
#include "fuzz/asan_options.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "data/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint32_t available = static_cast<uint32_t>(size);
    const uint32_t version = CheckSettingsMagic(data, available);
    const SettingsLoadStep step = SettingsStepFor(version);
    SettingsRecord record = {};
    if (step != SettingsLoadStep::Defaults && size > SettingsMagicSize)
        ApplySettingsBody(record, data + SettingsMagicSize, available - SettingsMagicSize);
    if (step == SettingsLoadStep::DefaultsOverBody) ApplyDefaultFields(record, "a", "b");

    static uint8_t image[SettingsFileSize];
    BuildSettingsImage(record, image);
    if (CheckSettingsMagic(image, sizeof image) != SettingsCurrentVersion) std::abort();
    SettingsRecord back = {};
    ApplySettingsBody(back, image + SettingsMagicSize, sizeof record);
    if (std::memcmp(&back, &record, sizeof record) != 0) std::abort();
    return 0;
}
