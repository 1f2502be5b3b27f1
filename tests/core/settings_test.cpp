#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "data/settings.h"

namespace
{

uint32_t Magic(const std::string& head)
{
    return CheckSettingsMagic(reinterpret_cast<const uint8_t*>(head.data()),
                              static_cast<uint32_t>(head.size()));
}

TEST(SettingsFile, VersionCodesAndLoadSteps)
{
    const struct
    {
        std::string head;
        uint32_t version;
        SettingsLoadStep step;
    } cases[] = {
        {"MIVO1210", SettingsCurrentVersion, SettingsLoadStep::Keep},
        {"mivo1210", SettingsForeign, SettingsLoadStep::Defaults},
        {"MIVo1210", SettingsForeign, SettingsLoadStep::Defaults},
        {"MIVO2210", SettingsForeign, SettingsLoadStep::Defaults},
        {"", SettingsForeign, SettingsLoadStep::Defaults},
        {"MIV", SettingsForeign, SettingsLoadStep::Defaults},
        {"MIVO1110", 110, SettingsLoadStep::ResetTexts},
        {"MIVO1099", 99, SettingsLoadStep::DefaultsOverBody},
        {"MIVO1000", 0, SettingsLoadStep::DefaultsOverBody},
        {"MIVO1100", 100, SettingsLoadStep::Keep},
        {"MIVO1109", 109, SettingsLoadStep::Keep},
        {"MIVO1111", 111, SettingsLoadStep::Keep},
        {"MIVO1200", 200, SettingsLoadStep::Keep},
        {"MIVO1999", 999, SettingsLoadStep::Keep},
        // Non-digits parse by their codes: 'a' is 49, a space 240.
        {"MIVO12a0", 690, SettingsLoadStep::Keep},
        {"MIVO1 99", 24099, SettingsLoadStep::Keep},
        // A header cut short reads as version 0 or 2: defaults over an empty body.
        {"MIVO1", 0, SettingsLoadStep::DefaultsOverBody},
        {"MIVO12", 2, SettingsLoadStep::DefaultsOverBody},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.head);
        EXPECT_EQ(Magic(c.head), c.version);
        EXPECT_EQ(SettingsStepFor(Magic(c.head)), c.step);
    }
}

// Fields the defaults leave alone keep their bytes; every defaulted field gets its value.
TEST(SettingsRecordDefaults, SetEveryDefaultAndKeepTheRest)
{
    SettingsRecord r;
    std::memset(&r, 0xAB, sizeof r);
    ApplyDefaultFields(r, "Time is up", "Header");

    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&r);
    const struct
    {
        size_t offset, size;
    } kept[] = {{offsetof(SettingsRecord, AlarmPath), 600},
                {offsetof(SettingsRecord, WindowPlacement), 44},
                {offsetof(SettingsRecord, CustomColours), 64},
                {offsetof(SettingsRecord, ThreadWord), 2708 - 2096},
                {offsetof(SettingsRecord, KeptBytes), 32},
                {offsetof(SettingsRecord, Reserved2760), 3000 - 2760}};
    for (const auto& k : kept)
        for (size_t i = 0; i < k.size; ++i)
            ASSERT_EQ(bytes[k.offset + i], 0xAB) << "offset " << k.offset + i;

    const struct
    {
        size_t offset;
        uint32_t value;
    } words[] = {
        {0, 1},           {4, 1},         {8, 0},           {12, 1},
        {16, 0},          {20, 1},        {24, 0},          {28, 0},
        {632, 0},         {636, 0},       {640, 1},         {644, 1},
        {1248, 1},        {1252, 1},      {1256, 0},        {1260, 0},
        {1264, 1},        {1268, 1},      {1272, 0},        {1276, 2},
        {1324, 50},       {1328, 300000}, {1332, 16200000}, {1336, 1089785800},
        {1340, 0},        {1344, 0},      {1348, 0},        {1352, 0},
        {1356, 0},        {1360, 65},     {1364, 1500},     {1968, 100},
        {1972, 0xFFFFFF}, {1976, 0},      {2044, 300000},   {2048, 0},
        {2056, 1},        {2060, 0},      {2064, 0},        {2068, 400},
        {2072, 0},        {2052, 0},                                   // AllowSleep: kept awake
        {2076, 0},        {2080, 0},      {2084, 0},        {2088, 0}, // no hotkeys
        {2092, 0},                                                     // none for Add Time
        {2708, 0},        {2712, 0},      {2716, 0},        {2720, 0}, // no warning, a minute
        {2756, 0},                                                     // counts resume
    };
    for (const auto& w : words)
    {
        uint32_t value;
        std::memcpy(&value, bytes + w.offset, 4);
        EXPECT_EQ(value, w.value) << "offset " << w.offset;
    }
    EXPECT_STREQ(r.TimeUpText, "Time is up");
    EXPECT_STREQ(r.HeaderText, "Header");
    EXPECT_STREQ(r.FontFace, "Arial");
}

TEST(SettingsFile, ImageRoundTrip)
{
    SettingsRecord r = {};
    ApplyDefaultFields(r, "Mivo Finished", "Mivo 2.0 Released");
    std::strcpy(r.AlarmPath, "C:\\Sounds\\bell.wav");
    r.WindowPlacement.length = 44;
    r.CustomColours[15] = 0x123456;
    r.Reserved2760[239] = 7;
    r.KeptBytes[31] = 9;
    r.WarnBefore = 60000;

    uint8_t image[SettingsFileSize];
    BuildSettingsImage(r, image);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(image), 8), "MIVO1210");
    EXPECT_EQ(CheckSettingsMagic(image, sizeof image), SettingsCurrentVersion);
    EXPECT_EQ(std::memcmp(image + 8, &r, sizeof r), 0);
    // The field at record offset 1336 sits at file offset 1344.
    uint32_t preset;
    std::memcpy(&preset, image + 8 + 1336, 4);
    EXPECT_EQ(preset, 1089785800u);

    SettingsRecord back = {};
    ApplySettingsBody(back, image + 8, sizeof image - 8);
    EXPECT_EQ(std::memcmp(&back, &r, sizeof r), 0);
}

TEST(SettingsFile, ShortBodyFillsOnlyTheFront)
{
    std::vector<uint8_t> body(100, 0x5A);
    SettingsRecord r = {};
    ApplySettingsBody(r, body.data(), static_cast<uint32_t>(body.size()));
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&r);
    for (size_t i = 0; i < sizeof r; ++i)
        ASSERT_EQ(bytes[i], i < 100 ? 0x5A : 0) << i;

    // A body longer than the record is cut at the record.
    std::vector<uint8_t> longBody(5000, 0x11);
    ApplySettingsBody(r, longBody.data(), static_cast<uint32_t>(longBody.size()));
    EXPECT_EQ(bytes[2999], 0x11);
}

} // namespace
