#include "app/hotkeys.h"

#include <gtest/gtest.h>

#include "app/commands.h"

namespace
{

constexpr uint32_t F4 = 0x73, F5 = 0x75, F11 = 0x7A, F12 = 0x7B, F13 = 0x7C, F24 = 0x87;
constexpr uint32_t Tab = 0x09, Escape = 0x1B, Space = 0x20, K = 'K';
constexpr uint32_t Shift = HotKeyShift, Control = HotKeyControl, Alt = HotKeyAlt,
                   Extended = HotKeyExtended;

// The control's word: the virtual key in the low byte, its flags in the next.
TEST(HotKeys, TheWordAndTheModifiersRegisterHotKeyTakes)
{
    EXPECT_EQ(HotKeyWord(K, Control | Shift), 0x034Bu);
    EXPECT_EQ(HotKeyVirtualKey(0x034B), K);
    EXPECT_EQ(HotKeyFlags(0x034B), Control | Shift);
    const struct
    {
        uint32_t word;
        bool noRepeat;
        uint32_t modifiers;
    } cases[] = {
        {HotKeyWord(K, Control | Shift), true, ModControl | ModShift | ModNoRepeat},
        {HotKeyWord(K, Control | Shift), false, ModControl | ModShift},
        {HotKeyWord(K, Alt), false, ModAlt},
        {HotKeyWord(F5, Shift), false, ModShift}, // HOTKEYF_SHIFT is 1, MOD_SHIFT 4
        {HotKeyWord(F5, 0), true, ModNoRepeat},
        {HotKeyWord(K, Control | Alt | Shift | Extended), false, ModControl | ModAlt | ModShift},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << std::hex << c.word);
        EXPECT_EQ(HotKeyModifiers(c.word, c.noRepeat), c.modifiers);
    }
}

// Refused outright: without Ctrl or Alt every key but F1 to F11 and F13 to F24; F12 alone; the
// combinations Windows keeps. A word the control never gives is no key at all.
TEST(HotKeys, WhichKeysAreRefused)
{
    const struct
    {
        const char* what;
        uint32_t word;
        uint32_t verdict;
    } cases[] = {
        {"none", 0, HotKeyNone},
        {"Ctrl+Shift+K", HotKeyWord(K, Control | Shift), HotKeyAllowed},
        {"Alt+K", HotKeyWord(K, Alt), HotKeyAllowed},
        {"K", HotKeyWord(K, 0), HotKeyNeedsModifier},
        {"Shift+K", HotKeyWord(K, Shift), HotKeyNeedsModifier},
        {"F5", HotKeyWord(F5, 0), HotKeyAllowed},
        {"Shift+F5", HotKeyWord(F5, Shift), HotKeyAllowed},
        {"F11", HotKeyWord(F11, 0), HotKeyAllowed},
        {"F13", HotKeyWord(F13, 0), HotKeyAllowed},
        {"F24", HotKeyWord(F24, 0), HotKeyAllowed},
        {"F12", HotKeyWord(F12, 0), HotKeyForDebuggers},
        {"Shift+F12", HotKeyWord(F12, Shift), HotKeyNeedsModifier},
        {"Ctrl+F12", HotKeyWord(F12, Control), HotKeyAllowed},
        {"Alt+F4", HotKeyWord(F4, Alt), HotKeyKeptBySystem},
        {"Alt+F4, extended", HotKeyWord(F4, Alt | Extended), HotKeyKeptBySystem},
        {"Ctrl+Alt+F4", HotKeyWord(F4, Control | Alt), HotKeyAllowed},
        {"Alt+Tab", HotKeyWord(Tab, Alt), HotKeyKeptBySystem},
        {"Alt+Space", HotKeyWord(Space, Alt), HotKeyKeptBySystem},
        {"Ctrl+Esc", HotKeyWord(Escape, Control), HotKeyKeptBySystem},
        {"Ctrl+Shift+Esc", HotKeyWord(Escape, Control | Shift), HotKeyAllowed},
        {"Ctrl alone", HotKeyWord(0, Control), HotKeyNotAKey},
        {"a flag the control has not", HotKeyWord(K, 0x10 | Control), HotKeyNotAKey},
        {"more than 16 bits", 0x10000u | HotKeyWord(K, Control), HotKeyNotAKey},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(JudgeHotKey(c.word), c.verdict);
        const bool refused = c.verdict != HotKeyAllowed && c.verdict != HotKeyNone;
        EXPECT_EQ(HotKeyRefusal(c.verdict)[0] != 0, refused);
    }
}

// Another action holding the same key; the hotkey ids and the commands they post.
TEST(HotKeys, HoldersIdsAndCommands)
{
    const uint32_t k = HotKeyWord(K, Control | Shift);
    const uint32_t words[HotKeyCount] = {k, HotKeyWord('J', Control | Shift), 0, k};
    EXPECT_EQ(HotKeyHolder(words, HotKeyStartStop), HotKeyShowHide);
    EXPECT_EQ(HotKeyHolder(words, HotKeyShowHide), HotKeyStartStop);
    EXPECT_EQ(HotKeyHolder(words, HotKeyReset), HotKeyCount);
    EXPECT_EQ(HotKeyHolder(words, HotKeyQuickSet), HotKeyCount) << "no key is held by none";
    EXPECT_STREQ(HotKeyActionName(HotKeyReset), "Reset");

    // RegisterHotKey has no extended-key flag: Ctrl+Enter and Ctrl+keypad Enter, Ctrl+Home and
    // Ctrl+Num 7 (Home with Num Lock off), are one key each.
    constexpr uint32_t Enter = 0x0D, Home = 0x24;
    const uint32_t enter[HotKeyCount] = {HotKeyWord(Enter, Control), 0,
                                         HotKeyWord(Enter, Control | Extended), 0};
    EXPECT_EQ(HotKeyHolder(enter, HotKeyQuickSet), HotKeyStartStop);
    const uint32_t home[HotKeyCount] = {0, HotKeyWord(Home, Control | Extended), 0,
                                        HotKeyWord(Home, Control)};
    EXPECT_EQ(HotKeyHolder(home, HotKeyReset), HotKeyShowHide);
    const uint32_t differ[HotKeyCount] = {HotKeyWord(Enter, Control),
                                          HotKeyWord(Enter, Control | Shift), 0, 0};
    EXPECT_EQ(HotKeyHolder(differ, HotKeyStartStop), HotKeyCount) << "Shift makes another key";

    const uint32_t commands[HotKeyCount] = {CmdStartStop, CmdReset, CmdQuickSet, CmdShowHide,
                                            CmdAddTime};
    for (uint32_t action = 0; action < HotKeyCount; ++action)
        EXPECT_EQ(HotKeyCommand(HotKeyIdBase + action), commands[action]) << action;
    EXPECT_EQ(HotKeyCommand(HotKeySpareId), 0u);
    EXPECT_EQ(HotKeyCommand(HotKeyIdBase - 1), 0u);
    EXPECT_EQ(HotKeyCommand(0), 0u);
}

// What a stored key is taken as: itself when it can work, else none with the reason, so that a
// damaged or refused word is neither registered nor shown as a key, and of two stored words that
// are one key only the first action's counts.
TEST(HotKeys, StoredKeysAreTakenOnlyWhenTheyCanWork)
{
    const uint32_t k = HotKeyWord(K, Control | Shift);
    const uint32_t enter = HotKeyWord(0x0D, Control);
    const struct
    {
        const char* what;
        uint32_t stored[HotKeyCount];
        uint32_t action;
        TakenHotKey taken; // Word, Verdict, Holder
    } cases[] = {
        {"a key that works", {k, 0, 0, 0}, HotKeyStartStop, {k, HotKeyAllowed, HotKeyCount}},
        {"none", {k, 0, 0, 0}, HotKeyReset, {0, HotKeyNone, HotKeyCount}},
        {"A alone", {0x0041, 0, 0, 0}, HotKeyStartStop, {0, HotKeyNeedsModifier, HotKeyCount}},
        {"F12 alone",
         {0, HotKeyWord(F12, 0), 0, 0},
         HotKeyReset,
         {0, HotKeyForDebuggers, HotKeyCount}},
        {"Alt+F4",
         {0, 0, HotKeyWord(F4, Alt), 0},
         HotKeyQuickSet,
         {0, HotKeyKeptBySystem, HotKeyCount}},
        {"bits above the word",
         {0x10000u | k, 0, 0, 0},
         HotKeyStartStop,
         {0, HotKeyNotAKey, HotKeyCount}},
        {"a flag the control has not",
         {HotKeyWord(K, 0x40 | Control), 0, 0, 0},
         HotKeyStartStop,
         {0, HotKeyNotAKey, HotKeyCount}},
        {"the same key twice: the first keeps it",
         {k, 0, k, 0},
         HotKeyStartStop,
         {k, HotKeyAllowed, HotKeyCount}},
        {"the same key twice: the second is none",
         {k, 0, k, 0},
         HotKeyQuickSet,
         {0, HotKeyAllowed, HotKeyStartStop}},
        {"one key, the extended flag aside",
         {0, enter, 0, enter | HotKeyWord(0, Extended)},
         HotKeyShowHide,
         {0, HotKeyAllowed, HotKeyReset}},
        {"a refused word holds nothing",
         {HotKeyWord(K, 0), HotKeyWord(K, 0), 0, 0},
         HotKeyReset,
         {0, HotKeyNeedsModifier, HotKeyCount}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const TakenHotKey taken = TakeStoredHotKey(c.stored, c.action);
        EXPECT_EQ(taken.Word, c.taken.Word);
        EXPECT_EQ(taken.Verdict, c.taken.Verdict);
        EXPECT_EQ(taken.Holder, c.taken.Holder);
    }
}

} // namespace
