#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/strings.h"
#include "data/uistrings.h"

namespace
{

struct StringsBuffer
{
    std::vector<char> bytes = std::vector<char>(UiStringsSize, 0);
    const char* operator[](uint32_t index) const { return bytes.data() + UiStringSlot * index; }
};

uint32_t Parse(StringsBuffer& buffer, const std::string& file, size_t piece = 0)
{
    UiStringsParser parser;
    BeginUiStrings(parser, buffer.bytes.data());
    const auto* data = reinterpret_cast<const uint8_t*>(file.data());
    if (piece == 0) piece = file.size();
    for (size_t at = 0; at < file.size(); at += piece)
        FeedUiStrings(parser, data + at, std::min(piece, file.size() - at));
    return FinishUiStrings(parser);
}

std::string DefaultStrings()
{
    std::ifstream in(MIVO_SOURCE_DIR "/resources/DefaultStrings.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct LineCase
{
    const char* name;
    std::string file;
    std::vector<std::string> entries;
};

TEST(UiStrings, LineRules)
{
    const std::string fifty = std::string(49, 'x') + "YZ";
    const LineCase cases[] = {
        {"CR LF ends lines", "one\r\ntwo\r\n", {"one", "two"}},
        {"bare CR ends lines", "one\rtwo\r", {"one", "two"}},
        {"LF alone does not", "one\ntwo\r", {"onetwo"}},
        {"LF ignored anywhere", "o\nn\ne\r\n\ntwo\r", {"one", "two"}},
        {"# anywhere drops the line", "# c\rone\rtw#o\r#\rthree\r", {"one", "three"}},
        {"short lines take no index", "\r\r\na\r\nab\r \r  \r", {"ab", "  "}},
        {"spaces and tabs are kept", " lead\t and trail \r", {" lead\t and trail "}},
        {"a long line is cut to 49", fifty + "\r", {std::string(49, 'x')}},
        {"exactly 49 stays", std::string(49, 'q') + "\r", {std::string(49, 'q')}},
        {"a last line without CR is lost", "one\rtwo", {"one"}},
        {"LF-only file is one unfinished line", "one\ntwo\nthree\n", {}},
        {"empty file", "", {}},
    };
    for (const LineCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        for (size_t piece : {size_t{0}, size_t{1}, size_t{3}})
        {
            StringsBuffer buffer;
            ASSERT_EQ(Parse(buffer, c.file, piece), c.entries.size());
            for (uint32_t i = 0; i < c.entries.size(); ++i)
                EXPECT_EQ(std::string(buffer[i]), c.entries[i]) << "entry " << i;
            EXPECT_STREQ(buffer[c.entries.size()], "");
        }
    }
}

TEST(UiStrings, AtMost151EntriesAreTaken)
{
    std::string file;
    for (int i = 0; i < 300; ++i)
        file += "line" + std::to_string(i) + "\r\n";
    StringsBuffer buffer;
    EXPECT_EQ(Parse(buffer, file), UiStringsMaxEntries);
    EXPECT_STREQ(buffer[150], "line150");
    EXPECT_STREQ(buffer[151], "");
}

TEST(UiStrings, BuiltInDefault)
{
    const std::string file = DefaultStrings();
    ASSERT_FALSE(file.empty());
    StringsBuffer buffer;
    EXPECT_EQ(Parse(buffer, file), 151u);
    EXPECT_STREQ(buffer[0], "Start");
    EXPECT_STREQ(buffer[13], "Mivo Finished");
    EXPECT_STREQ(buffer[30], "Mivo 2.0 Released");
    EXPECT_STREQ(buffer[33], "Shows the \"Options\" window");
    EXPECT_EQ(std::strlen(buffer[65]), 49u);
    EXPECT_STREQ(buffer[139], "Thanks for trying Mivo. We hope you like it. ");
    EXPECT_STREQ(buffer[142], "I'm Ready!");
    EXPECT_STREQ(buffer[147], "END OF NEEDED STUFF");
    EXPECT_STREQ(buffer[150], "aaaa");
    for (uint32_t i : {35u, 53u, 81u})
    {
        EXPECT_GE(std::strlen(buffer[i]), 2u);
        EXPECT_EQ(std::strchr(buffer[i], '#'), nullptr);
    }
    // The file ends in one more "aaaa" without a line end, which is not taken.
    EXPECT_EQ(file.substr(file.size() - 6), "\r\naaaa");
}

TEST(UiStrings, DefaultWithoutItsFillersIsTooShort)
{
    std::string file = DefaultStrings();
    const std::string fillers = "aaaa\r\naaaa\r\naaaa\r\n";
    const size_t at = file.find(fillers);
    ASSERT_NE(at, std::string::npos);
    file.erase(at, fillers.size());
    StringsBuffer buffer;
    const uint32_t entries = Parse(buffer, file);
    EXPECT_EQ(entries, 148u);
    EXPECT_LT(entries, UiStringsNeeded);
}

// A reload overwrites slots from 0 upwards and leaves the longer file's texts above.
TEST(UiStrings, ReloadLeavesUpperSlots)
{
    StringsBuffer buffer;
    ASSERT_EQ(Parse(buffer, "alpha\rbeta\rgamma\r"), 3u);
    ASSERT_EQ(Parse(buffer, "# only one\rdelta\r"), 1u);
    EXPECT_STREQ(buffer[0], "delta");
    EXPECT_STREQ(buffer[1], "beta");
    EXPECT_STREQ(buffer[2], "gamma");
    // A shorter text leaves nothing of the longer one behind in its slot.
    ASSERT_EQ(Parse(buffer, "de\r"), 1u);
    EXPECT_STREQ(buffer[0], "de");
    EXPECT_EQ(buffer[0][3], 0);
}

} // namespace
