#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "text/text.h"

namespace
{

struct ArgumentCase
{
    const char* line;
    uint32_t index;
    uint32_t code;
    const char* argument;
};

const ArgumentCase ArgumentCases[] = {
    {"prog.exe /s=90 /m=5", 0, ArgumentFound, "prog.exe"},
    {"prog.exe /s=90 /m=5", 1, ArgumentFound, "/s=90"},
    {"prog.exe /s=90 /m=5", 2, ArgumentFound, "/m=5"},
    {"prog.exe /s=90 /m=5", 3, ArgumentMissing, ""},
    {"prog.exe /s=90 /m=5", 40, ArgumentMissing, ""},
    // Runs of spaces and tabs separate like one space; leading spaces are skipped.
    {"   prog.exe \t  /s=90\t\t/m=5", 0, ArgumentFound, "prog.exe"},
    {"   prog.exe \t  /s=90\t\t/m=5", 2, ArgumentFound, "/m=5"},
    // Trailing spaces leave one empty argument after the last.
    {"prog.exe /s=90   ", 2, ArgumentEmpty, ""},
    {"prog.exe /s=90   ", 3, ArgumentMissing, ""},
    // Quotes keep spaces (and tabs) together and are removed, also when they open mid-argument.
    {"prog.exe /a=\"D:\\My Sounds\\x.mp3\" g", 1, ArgumentFound, "/a=D:\\My Sounds\\x.mp3"},
    {"prog.exe /a=\"D:\\My Sounds\\x.mp3\" g", 2, ArgumentFound, "g"},
    {"\"C:\\Program Files\\Mivo.exe\" b", 0, ArgumentFound, "C:\\Program Files\\Mivo.exe"},
    {"prog.exe \"a\tb\"", 1, ArgumentFound, "a b"},
    {"prog.exe \"\" g", 1, ArgumentEmpty, ""},
    {"prog.exe a\"\"b", 1, ArgumentFound, "ab"},
    // A byte 0xFE reads back as a space.
    {"prog.exe x\xFEy", 1, ArgumentFound, "x y"},
    {"", 0, ArgumentEmpty, ""},
    {"", 1, ArgumentMissing, ""},
};

TEST(CommandArgument, SplitsQuotesAndSeparators)
{
    for (const ArgumentCase& c : ArgumentCases)
    {
        char dest[192];
        std::memset(dest, 'x', sizeof dest);
        EXPECT_EQ(SplitCommandArgument(c.line, c.index, dest), c.code) << c.line << " #" << c.index;
        EXPECT_STREQ(dest, c.argument) << c.line << " #" << c.index;
    }
}

TEST(CommandArgument, OddQuotesRefuseEveryIndexAndLeaveDestination)
{
    for (uint32_t index = 0; index < 4; ++index)
    {
        char dest[32] = "before";
        EXPECT_EQ(SplitCommandArgument("prog.exe \"a\" \"b /m=5", index, dest), ArgumentUnbalanced);
        EXPECT_STREQ(dest, "before");
    }
}

// Lines past the 191-character work copy are cut back to their last whole argument, so an
// argument is never read cut short; quotes count over the whole line.
TEST(CommandArgument, LongLinesKeepOnlyWholeArguments)
{
    const std::string head = "prog.exe /m=5 ";
    std::string line = head + std::string(175, 'y') + " /m=15 " + std::string(400, 'z') + " g";
    ASSERT_GT(line.size(), 500u);
    char dest[192];
    EXPECT_EQ(SplitCommandArgument(line.c_str(), 1, dest), ArgumentFound);
    EXPECT_STREQ(dest, "/m=5");
    EXPECT_EQ(SplitCommandArgument(line.c_str(), 2, dest), ArgumentFound);
    EXPECT_EQ(std::string(dest), std::string(175, 'y'));
    // "/m=15" would cross position 191: it is not read as "/m=1".
    EXPECT_EQ(SplitCommandArgument(line.c_str(), 3, dest), ArgumentMissing);
    EXPECT_EQ(SplitCommandArgument(line.c_str(), 5, dest), ArgumentMissing);

    // An argument that ends exactly at character 191 still fits.
    std::string exact = "p " + std::string(189, 'a') + " b";
    ASSERT_EQ(exact.size(), 193u);
    EXPECT_EQ(SplitCommandArgument(exact.c_str(), 1, dest), ArgumentFound);
    EXPECT_EQ(TextLength(dest), 189u);
    EXPECT_EQ(SplitCommandArgument(exact.c_str(), 2, dest), ArgumentMissing);

    // A quoted run that crosses the limit is dropped whole, with everything after it.
    std::string quoted = "p /s=9 \"" + std::string(300, 'q') + " r\" /m=2";
    EXPECT_EQ(SplitCommandArgument(quoted.c_str(), 1, dest), ArgumentFound);
    EXPECT_STREQ(dest, "/s=9");
    EXPECT_EQ(SplitCommandArgument(quoted.c_str(), 2, dest), ArgumentMissing);

    // A first run longer than the work copy leaves nothing.
    std::string giant(1000, 'w');
    EXPECT_EQ(SplitCommandArgument(giant.c_str(), 0, dest), ArgumentEmpty);
    EXPECT_EQ(SplitCommandArgument(giant.c_str(), 1, dest), ArgumentMissing);
}

TEST(CommandArgument, SmallDestinationIsCutAndTerminated)
{
    char dest[4];
    EXPECT_EQ(SplitCommandArgument("p abcdefgh", 1, dest), ArgumentFound);
    EXPECT_STREQ(dest, "abc");
}

TEST(Decimal, ParsesWithoutCheckingDigits)
{
    const struct
    {
        const char* text;
        int32_t value;
    } cases[] = {
        {"123", 123},
        {"-42", -42},
        {"", 0},
        {"-", 0},
        {"1a", 59}, // 1 x 10 + ('a' - 48)
        {" ", 240}, // (32 - 48) mod 256
        {"210", 210},
        {"099", 99},
        {"2147483647", 2147483647},
        {"2147483648", INT32_MIN}, // wraps
        {"4294967295", -1},
        {"-2147483648", INT32_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseDecimal(c.text), c.value) << '"' << c.text << '"';
}

TEST(Decimal, FormatsPlainDigits)
{
    const struct
    {
        int32_t value;
        const char* text;
    } cases[] = {{0, "0"},
                 {-7, "-7"},
                 {7, "7"},
                 {10, "10"},
                 {1193, "1193"},
                 {2147483647, "2147483647"},
                 {INT32_MIN, "-2147483648"}};
    for (const auto& c : cases)
    {
        char dest[12];
        FormatDecimal(c.value, dest);
        EXPECT_STREQ(dest, c.text);
        EXPECT_EQ(ParseDecimal(dest), c.value);
    }
}

TEST(Decimal, SwitchValueFollowsThreeCharacters)
{
    EXPECT_EQ(ParseSwitchValue("/s="), 0);
    EXPECT_EQ(ParseSwitchValue("/s"), 0);
    EXPECT_EQ(ParseSwitchValue(""), 0);
    EXPECT_EQ(ParseSwitchValue("/m=15"), 15);
    EXPECT_EQ(ParseSwitchValue("/s=90"), 90);
    EXPECT_EQ(ParseSwitchValue("/s=-1"), -1);
}

TEST(Text, FindTextPositionsAndCodes)
{
    EXPECT_EQ(FindText(1, "a.b.c", "."), 2);
    EXPECT_EQ(FindText(3, "a.b.c", "."), 4);
    EXPECT_EQ(FindText(5, "a.b.c", "."), 0);
    EXPECT_EQ(FindText(6, "a.b.c", "."), -2);
    EXPECT_EQ(FindText(0, "a.b.c", "."), -2);
    EXPECT_EQ(FindText(-5, "a.b.c", "."), -2);
    EXPECT_EQ(FindText(1, "abc", "abc"), -1);
    EXPECT_EQ(FindText(1, "ab", "abc"), -1);
    EXPECT_EQ(FindText(1, "abcabd", "abd"), 4);
    EXPECT_EQ(FindText(1, "aab", "ab"), 2);
    EXPECT_EQ(FindText(2, "xabab", "ab"), 2);
    EXPECT_EQ(FindText(1, "abcabc", "abd"), 0);
}

TEST(Text, RunsAndReversal)
{
    char dest[16];
    RightText("/s=5", dest, 1);
    EXPECT_STREQ(dest, "5");
    RightText("", dest, 1);
    EXPECT_STREQ(dest, "");
    RightText("abc", dest, 10);
    EXPECT_STREQ(dest, "abc");

    MidText("abcdef", dest, 2, 100);
    EXPECT_STREQ(dest, "cdef");
    MidText("abcdef", dest, 1, 3);
    EXPECT_STREQ(dest, "bcd");
    MidText("abcdef", dest, 6, 3);
    EXPECT_STREQ(dest, "");
    MidText("abcdef", dest, 2, 0);
    EXPECT_STREQ(dest, "");

    // A run moved to the front of its own buffer.
    char path[16] = "name.wav";
    MidText(path, path, 4, 4);
    EXPECT_STREQ(path, ".wav");

    ReverseText("a", dest);
    EXPECT_STREQ(dest, "a");
    ReverseText("ab", dest);
    EXPECT_STREQ(dest, "ba");
    ReverseText("", dest);
    EXPECT_STREQ(dest, "");
    ReverseText("C:\\x\\y.exe", dest);
    EXPECT_STREQ(dest, "exe.y\\x\\:C");
}

TEST(Text, CopyAppendLowerNeverOverrun)
{
    char small[6];
    EXPECT_EQ(CopyText("abc", small), 3u);
    EXPECT_STREQ(small, "abc");
    AppendText(small, "defgh");
    EXPECT_STREQ(small, "abcde");
    EXPECT_EQ(CopyText("0123456789", small), 5u);
    EXPECT_STREQ(small, "01234");
    AppendText(small, "x");
    EXPECT_STREQ(small, "01234");

    char lower[] = "AbZ@[az\xC4";
    EXPECT_STREQ(LowerText(lower), "abz@[az\xC4");
    EXPECT_TRUE(SameText("05:00.0", "05:00.0"));
    EXPECT_TRUE(SameText("", ""));
    EXPECT_FALSE(SameText("05:00.0", "05:00.1"));
    EXPECT_FALSE(SameText("05:00", "05:00.0"));
    EXPECT_FALSE(SameText("05:00.0", "05:00"));
    EXPECT_FALSE(SameText("", "0"));
    EXPECT_EQ(TextLength(""), 0u);
    EXPECT_EQ(TextLength("abc"), 3u);
}

} // namespace
