#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "alarm/alarm.h"

namespace
{

TEST(AlarmKinds, EveryValueAndItsShutdownFlags)
{
    const struct
    {
        uint32_t action;
        AlarmKind kind;
        uint32_t flags;
    } cases[] = {
        {0, AlarmNothing, 0},
        {1, AlarmBeep, 0},
        {2, AlarmPlay, 0},
        {3, AlarmPlay, 0},
        {4, AlarmRunFile, 0},
        {5, AlarmShutdown, 0x8},
        {6, AlarmRestart, 0x2},
        // A damaged file or a list without a selection never shuts the machine down.
        {7, AlarmNothing, 0},
        {9, AlarmNothing, 0},
        {0xFFFFFFFFu, AlarmNothing, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.action);
        EXPECT_EQ(AlarmKindOf(c.action), c.kind);
        EXPECT_EQ(ShutdownFlags(AlarmKindOf(c.action)), c.flags);
    }
}

TEST(AlarmSounds, WaveByLastDotOfTheWholePathInAnyCase)
{
    const struct
    {
        const char* path;
        bool wave;
    } cases[] = {
        {"C:\\Sounds\\bell.wav", true},
        {"C:\\Sounds\\bell.WAV", true},
        {"C:\\Sounds\\bell.Wav", true},
        {"bell.wav", true},
        {".wav", true},
        {"C:\\a.wav.mp3", false},
        {"C:\\Sounds\\bell.mp3", false},
        {"C:\\Sounds\\bell.mid", false},
        {"D:\\Sounds.old\\bell", false},
        {"D:\\Sounds.wav\\bell", false},
        {"C:\\Sounds\\bell.wave", false},
        {"C:\\Sounds\\wav", false},
        {"", false},
        {"C:\\Sounds\\bell.", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWaveSound(c.path), c.wave) << c.path;
}

TEST(AlarmSounds, PatternForEachDrawAndWhatWasTried)
{
    // Draws in order, with the pattern each gives: a draw names its pattern only while that
    // is untried; 4 and every repeat give "\*.wav".
    const struct
    {
        std::vector<uint32_t> draws;
        std::vector<const char*> patterns;
    } cases[] = {
        {{1, 2, 3, 4}, {"\\*.mid", "\\*.mp3", "\\*.wma", "\\*.wav"}},
        {{4, 4, 1, 1, 2, 3}, {"\\*.wav", "\\*.wav", "\\*.mid", "\\*.wav", "\\*.mp3", "\\*.wma"}},
        {{2, 2, 3, 3, 1}, {"\\*.mp3", "\\*.wav", "\\*.wma", "\\*.wav", "\\*.mid"}},
    };
    for (const auto& c : cases)
    {
        uint32_t tried = 0;
        for (size_t i = 0; i < c.draws.size(); ++i)
        {
            const uint32_t pattern = ChooseSoundPattern(c.draws[i], tried);
            EXPECT_STREQ(SoundPatterns[pattern], c.patterns[i]) << "draw " << i;
        }
        EXPECT_EQ(tried, AllPatternsTried);
    }
}

// A random source that plays back its script, then repeats the last value.
struct Script
{
    explicit Script(std::vector<uint32_t> v) : values(std::move(v)) {}
    std::vector<uint32_t> values;
    size_t next = 0;
    std::vector<uint32_t> asked;
    uint32_t operator()(uint32_t n)
    {
        asked.push_back(n);
        const uint32_t v = values[next < values.size() ? next : values.size() - 1];
        if (next < values.size()) ++next;
        return v;
    }
};

TEST(RandomSound, TriesEachPatternUntilOneFindsAFile)
{
    const struct
    {
        const char* name;
        std::vector<uint32_t> draws;
        const char* found; // the one pattern with a file, or null
        std::vector<std::string> tried;
        const char* path;
    } cases[] = {
        {"no sound file at all",
         {4, 4, 1, 2, 3},
         nullptr,
         {"\\*.wav", "\\*.wav", "\\*.mid", "\\*.mp3", "\\*.wma"},
         "C:\\Folder"},
        {"one mp3, met last",
         {1, 3, 4, 2},
         "\\*.mp3",
         {"\\*.mid", "\\*.wma", "\\*.wav", "\\*.mp3"},
         "C:\\Folder\\only.mp3"},
        {"one mp3, met first", {2}, "\\*.mp3", {"\\*.mp3"}, "C:\\Folder\\only.mp3"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        char path[AlarmPathSize] = "C:\\Folder";
        Script random{c.draws};
        std::vector<std::string> tried;
        PickRandomSoundWith(
            path,
            [&](char(&work)[AlarmPathSize], const char* pattern) -> uint32_t {
                EXPECT_STREQ(work, "C:\\Folder"); // every attempt starts from the folder
                tried.push_back(pattern);
                if (c.found == nullptr || std::strcmp(pattern, c.found) != 0)
                {
                    std::strcpy(work, "C:\\Folder\\garbage"); // a failed pick's leftovers
                    return 0;
                }
                std::strcpy(work, "C:\\Folder\\only.mp3");
                return 1;
            },
            random);
        EXPECT_EQ(tried, c.tried);
        EXPECT_STREQ(path, c.path);
        for (uint32_t n : random.asked)
            EXPECT_EQ(n, 4u);
    }
}

TEST(RandomSound, ASourceStuckOnTriedPatternsStillEnds)
{
    char path[AlarmPathSize] = "C:\\Folder";
    Script random{{4u}};
    std::vector<std::string> tried;
    PickRandomSoundWith(
        path,
        [&](char(&)[AlarmPathSize], const char* pattern) -> uint32_t {
            tried.push_back(pattern);
            return 0;
        },
        random);
    ASSERT_EQ(tried.size(), SoundDrawLimit + 3);
    EXPECT_EQ(tried[SoundDrawLimit], "\\*.mid");
    EXPECT_EQ(tried[SoundDrawLimit + 1], "\\*.mp3");
    EXPECT_EQ(tried[SoundDrawLimit + 2], "\\*.wma");
    EXPECT_STREQ(path, "C:\\Folder");
}

// No folder is nothing to choose from: an empty path is not "\*.mid" at the root of the
// current drive. It stays empty, as a folder without sounds stays itself.
TEST(RandomSound, AnEmptyPathListsNothing)
{
    char path[AlarmPathSize] = "";
    Script random{{1u}};
    int picks = 0;
    PickRandomSoundWith(
        path,
        [&](char(&)[AlarmPathSize], const char*) -> uint32_t {
            ++picks;
            return 1;
        },
        random);
    EXPECT_EQ(picks, 0);
    EXPECT_STREQ(path, "");
}

// A fake folder: its names, and the ones another program holds without sharing.
struct FakeFolder
{
    FakeFolder() = default;
    explicit FakeFolder(std::vector<std::string> n) : names(std::move(n)) {}
    std::vector<std::string> names;
    int listings = 0;
    std::string searched;
    void operator()(const char* search, NameList& list)
    {
        ++listings;
        searched = search;
        for (const std::string& name : names)
            if (!KeepName(list, name.c_str())) break;
    }
};

TEST(RandomFile, ChoosesAmongTheListedNamesWithinThreeAttempts)
{
    const struct
    {
        const char* name;
        std::vector<std::string> names;
        std::vector<std::string> locked;
        std::vector<uint32_t> draws;
        uint32_t count;
        const char* path;
        int listings;
    } cases[] = {
        {"the only name", {"only.mp3"}, {}, {1}, 1, "C:\\Folder\\only.mp3", 1},
        {"draw n is the last name",
         {"a.wav", "b.wav", "c.wav"},
         {},
         {3},
         3,
         "C:\\Folder\\c.wav",
         1},
        {"draw 1 is the first name",
         {"a.wav", "b.wav", "c.wav"},
         {},
         {1},
         3,
         "C:\\Folder\\a.wav",
         1},
        {"a locked file is passed over",
         {"a.wav", "b.wav"},
         {"C:\\Folder\\a.wav"},
         {1, 2},
         2,
         "C:\\Folder\\b.wav",
         2},
        {"locked twice, then free",
         {"a.wav", "b.wav"},
         {"C:\\Folder\\a.wav"},
         {1, 1, 2},
         2,
         "C:\\Folder\\b.wav",
         3},
        {"locked three times",
         {"a.wav", "b.wav"},
         {"C:\\Folder\\a.wav"},
         {1, 1, 1, 2},
         0,
         "C:\\Folder",
         3},
        {"nothing listed", {}, {}, {1}, 0, "C:\\Folder", 3},
        // A source outside 1..n must not reach past the listed names.
        {"a draw of 0", {"a.wav", "b.wav"}, {}, {0}, 2, "C:\\Folder\\b.wav", 1},
        {"a draw above n", {"a.wav", "b.wav"}, {}, {7}, 2, "C:\\Folder\\b.wav", 1},
    };
    auto names = std::make_unique<NameList>();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        char path[AlarmPathSize] = "C:\\Folder";
        FakeFolder folder{c.names};
        Script random{c.draws};
        const uint32_t count = PickRandomFileWith(path, "\\*.wav", *names, std::ref(folder),
                                                  std::ref(random), [&](const char* full) {
                                                      for (const std::string& l : c.locked)
                                                          if (l == full) return false;
                                                      return true;
                                                  });
        EXPECT_EQ(count, c.count);
        EXPECT_STREQ(path, c.path);
        EXPECT_EQ(folder.listings, c.listings);
        EXPECT_EQ(folder.searched, "C:\\Folder\\*.wav");
        for (uint32_t n : random.asked)
            EXPECT_EQ(n, c.names.size());
    }
}

TEST(RandomFile, MoreNamesThanSlotsKeepsTheFirstOnesAndChoosesAmongThem)
{
    // On the heap, so AddressSanitizer sees any write past the block.
    auto names = std::make_unique<NameList>();
    FakeFolder folder;
    for (int i = 0; i < 12000; ++i)
        folder.names.push_back("sound" + std::to_string(i) + ".wav");
    // One very long name: it is cut to its slot, never written past it.
    folder.names[5] = std::string(900, 'x');
    char path[AlarmPathSize] = "C:\\Big";
    Script random{{NameListSlots}};
    const uint32_t count = PickRandomFileWith(path, "\\*.wav", *names, std::ref(folder),
                                              std::ref(random), [](const char*) { return true; });
    EXPECT_EQ(count, NameListSlots);
    EXPECT_EQ(random.asked, std::vector<uint32_t>{NameListSlots});
    EXPECT_STREQ(path, "C:\\Big\\sound9999.wav");
    EXPECT_EQ(std::strlen(names->Names[5]), AlarmPathSize - 1);
    EXPECT_FALSE(KeepName(*names, "one more"));
    EXPECT_EQ(names->Count, NameListSlots);
}

TEST(RandomNumbers, ProviderBytesMapOntoOneToN)
{
    const struct
    {
        uint32_t bytes, n, result;
    } cases[] = {
        {0, 4, 1},           {3, 4, 4}, {4, 4, 1}, {0xFFFFFFFFu, 10, 6}, {12345, 10000, 2346},
        {7, 0xFFFFFFFFu, 8},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(MapProviderRandom(c.bytes, c.n), c.result) << c.bytes << " " << c.n;
        EXPECT_EQ(RandomState, c.result);
    }
    // 0 and 1 give 1 without drawing: the state stays.
    RandomState = 77;
    EXPECT_EQ(MapProviderRandom(5, 0), 1u);
    EXPECT_EQ(MapProviderRandom(5, 1), 1u);
    EXPECT_EQ(RandomState, 77u);
}

TEST(RandomNumbers, FallbackStepsItsStateAndNeverGivesZero)
{
    // The state's steps: from 0 the tick squared (16 bits); then the state squared (16 bits)
    // halved, plus the tick's low byte.
    RandomState = 0;
    FallbackRandom(300, 10);
    EXPECT_EQ(RandomState, (300u * 300u) & 0xFFFF);
    const uint32_t before = RandomState;
    FallbackRandom(0x1234, 10);
    EXPECT_EQ(RandomState, (((before * before) & 0xFFFF) >> 1) + 0x34);

    for (uint32_t n : {2u, 3u, 4u, 7u, 100u, 10000u})
    {
        std::vector<int> seen(n + 1, 0);
        RandomState = 0;
        for (uint32_t tick = 1; tick < 200000; tick += 7)
        {
            const uint32_t r = FallbackRandom(tick, n);
            ASSERT_GE(r, 1u) << "n " << n << " tick " << tick;
            ASSERT_LE(r, n) << "n " << n << " tick " << tick;
            ++seen[r];
        }
        if (n <= 7)
        {
            for (uint32_t v = 1; v <= n; ++v)
                EXPECT_GT(seen[v], 0) << "n " << n << " value " << v;
        }
    }
    RandomState = 5;
    EXPECT_EQ(FallbackRandom(99, 1), 1u);
    EXPECT_EQ(FallbackRandom(99, 0), 1u);
    EXPECT_EQ(RandomState, 5u);
}

} // namespace
