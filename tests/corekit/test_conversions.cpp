// Number and text conversions, strings, colours, files and Unicode of corekit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <unistd.h>

#include <utf8.h>

#include "corekit.h"

using namespace corekit;

struct DoubleCase {
    double value;
    int precision;
    const char* expected;
};

TEST(ToStringDouble, MatchesPrintfRulesToTheCharacter)
{
    const double inf = std::numeric_limits<double>::infinity();
    const DoubleCase cases[] = {
        {0.0, 0, "0"},
        {-0.0, 0, "-0"},
        {12.5, 0, "12.5"},
        {100.0, 0, "100"},
        {0.1 + 0.2, 0, "0.3"},
        {1.0 / 3.0, 0, "0.333333"},
        {0.0001, 0, "0.0001"},
        {0.00001, 0, "1e-05"},
        {1234567.0, 0, "1.23457e+06"},
        {999999.5, 0, "1e+06"},
        {123456.5, 0, "123456"},
        {123457.5, 0, "123458"},
        {450.0000001, 0, "450"},
        {1234.5678, 0, "1234.57"},
        {-1234.5678, 0, "-1234.57"},
        {1e100, 0, "1e+100"},
        {inf, 0, "inf"},
        {-inf, 0, "-inf"},
        {100.0, 2, "100.00"},
        {-3.25, 1, "-3.2"},
        {2.5, -1, "2.500000"},
        {1e20, 1, "100000000000000000000.0"},
    };
    for (const DoubleCase& c : cases)
        EXPECT_EQ(ToString(c.value, c.precision), c.expected) << "value " << c.value << " precision " << c.precision;
    EXPECT_EQ(ToString(std::numeric_limits<double>::quiet_NaN(), 0).find("nan") != std::string::npos, true);
    EXPECT_EQ(ToString(std::numeric_limits<double>::max(), 2).size(), 309u + 3u);
}

TEST(ToStringIntegers, PlainDecimalAndHex)
{
    EXPECT_EQ(ToString(0), "0");
    EXPECT_EQ(ToString(-42), "-42");
    EXPECT_EQ(ToString(std::numeric_limits<long>::min()), "-9223372036854775808");
    EXPECT_EQ(ToString(std::numeric_limits<long long>::max()), "9223372036854775807");
    EXPECT_EQ(ToString(std::numeric_limits<unsigned long>::max()), "18446744073709551615");
    EXPECT_EQ(ToString(static_cast<void*>(nullptr)), "0");
    EXPECT_EQ(ToString(reinterpret_cast<void*>(0xbeef0)), "0xbeef0");

    EXPECT_EQ(IntToHex(255, 4), "00ff");
    EXPECT_EQ(IntToHex(255, 0), "ff");
    EXPECT_EQ(IntToHex(0x12345, 2), "12345");  // never cut
    EXPECT_EQ(IntToHex(-1, 0), "ffffffff");
    EXPECT_EQ(IntToHex(0, 0), "0");
}

struct ParseCase {
    const char* text;
    double expected;
};

TEST(ToDouble, ReadsLikeStreamExtraction)
{
    const double max = std::numeric_limits<double>::max();
    const ParseCase cases[] = {
        {"  42", 42.0},       {"+7", 7.0},        {".5", 0.5},         {"5.", 5.0},
        {"1e5", 100000.0},    {"1E+2", 100.0},    {"2.5e-1", 0.25},    {"1e", 0.0},
        {"2e+", 0.0},         {"abc", 0.0},       {"", 0.0},           {" \t\n\v\f\r", 0.0},
        {"12.5px", 12.5},     {"1.2.3", 1.2},     {"1,5", 1.0},        {"0x1A", 0.0},
        {"inf", 0.0},         {"nan", 0.0},       {"-", 0.0},          {".", 0.0},
        {"+.", 0.0},          {"1e999", max},     {"-1e999", -max},    {"\n-3.75 rest", -3.75},
        {"1ex", 0.0},         {"1e5x", 100000.0}, {"- 1", 0.0},        {"007", 7.0},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(ToDouble(std::string(c.text)), c.expected) << "text \"" << c.text << "\"";

    double negativeZero = ToDouble("-0");
    EXPECT_EQ(negativeZero, 0.0);
    EXPECT_TRUE(std::signbit(negativeZero));
    EXPECT_EQ(ToDouble("0.1"), 0.1);  // nearest double, not an accumulation
}

TEST(ToDouble, RoundTripsSixDigitText)
{
    for (double v : {0.0, 1.5, -20.0, 1234.57, 1e-05, 1.23457e+06, 450.0})
        EXPECT_EQ(ToDouble(ToString(v, 0)), v);
}

TEST(ToDouble, NullTextIsRefused)
{
    const char* null = nullptr;
    try {
        ToDouble(null);
        FAIL() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "basic_string: construction from null is not valid");
    }
}

TEST(ToLongAndInt, StrtolBaseTen)
{
    EXPECT_EQ(ToLong("  -17xyz"), -17);
    EXPECT_EQ(ToLong(std::string("99999999999999999999")), std::numeric_limits<long>::max());
    EXPECT_EQ(ToLong("-99999999999999999999"), std::numeric_limits<long>::min());
    EXPECT_EQ(ToLong("abc"), 0);
    EXPECT_EQ(ToLong("0x10"), 0);
    EXPECT_EQ(ToLong("010"), 10);
    EXPECT_EQ(ToInt("4294967297"), 1);
    EXPECT_EQ(ToInt(std::string("2147483648")), std::numeric_limits<int>::min());
    EXPECT_EQ(ToInt(" +12"), 12);
    EXPECT_EQ(ToVoidPtr("0x10"), reinterpret_cast<void*>(16));
    EXPECT_EQ(ToVoidPtr(std::string("010")), reinterpret_cast<void*>(8));
    EXPECT_EQ(ToVoidPtr("12"), reinterpret_cast<void*>(12));
}

TEST(Strings, TrimTouchesOnlyTheEnds)
{
    const std::string ws = " \r\n\t";
    EXPECT_EQ(Trim("  a b \r\n", ws), "a b");
    EXPECT_EQ(Trim("\t\t", ws), "");
    EXPECT_EQ(Trim("", ws), "");
    EXPECT_EQ(Trim("x", ws), "x");
    EXPECT_EQ(Trim("\ta\n\nb\t", ws), "a\n\nb");
    EXPECT_EQ(Trim("--a--", "-"), "a");
}

TEST(Strings, ReplaceNeverSearchesInsertedText)
{
    EXPECT_EQ(ReplaceString("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceString("a&b&c", "&", "&amp;"), "a&amp;b&amp;c");
    EXPECT_EQ(ReplaceString("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceString("abab", "ab", ""), "");

    std::string s = "MiXeD 1 ä";
    ToLower(s);
    EXPECT_EQ(s, "mixed 1 ä");
    ToUpper(s);
    EXPECT_EQ(s, "MIXED 1 ä");

    char bytes[] = {'a', 0, 'b'};
    char* copy = CreateStringFromBuffer(bytes, 3);
    EXPECT_EQ(std::string(copy, 4), std::string("a\0b\0", 4));
    delete[] copy;
}

TEST(Colours, PackAndParse)
{
    EXPECT_EQ(RGBToInt32(static_cast<signed char>(0xff), 0x10, static_cast<signed char>(0x80)), 0xff1080);
    signed char r = 0, g = 0, b = 0;
    EXPECT_TRUE(Int32ToRGB(0x12ab34, &r, &g, &b));
    EXPECT_EQ(static_cast<unsigned char>(r), 0x12);
    EXPECT_EQ(static_cast<unsigned char>(g), 0xab);
    EXPECT_EQ(static_cast<unsigned char>(b), 0x34);

    for (const char* good : {"#a0B1c2", "A0B1C2", "#000000"})
        EXPECT_TRUE(IsValidHexRGB(good)) << good;
    for (const char* bad : {"", "#", "#12345", "1234567", "#12345g", "12#456", "##12345", "#1234567"})
        EXPECT_FALSE(IsValidHexRGB(bad)) << bad;

    r = g = b = 7;
    EXPECT_FALSE(HexToRGB("#12345g", &r, &g, &b));
    EXPECT_EQ(r, 7);
    EXPECT_TRUE(HexToRGB("#ff8001", &r, &g, &b));
    EXPECT_EQ(static_cast<unsigned char>(r), 0xff);
    EXPECT_EQ(static_cast<unsigned char>(g), 0x80);
    EXPECT_EQ(static_cast<unsigned char>(b), 0x01);
}

TEST(Colours, HexStringStatus)
{
    struct Case {
        const char* text;
        int status;
        int out;  // expected value of out, which starts at -7
    };
    const Case cases[] = {
        {"ff", 1, 255},         {"0x1F", 1, 31},       {"FFFFFFFF", 1, -1},  {"", 1, -7},
        {"123456789", 2, -7},   {"0x123456789", 2, -7}, {"1g2", 4, 2},       {"0x", 4, 0},
        {"7fffffff", 1, 0x7fffffff},
    };
    for (const Case& c : cases) {
        int out = -7;
        EXPECT_EQ(HexStringToInt32(c.text, &out), c.status) << c.text;
        EXPECT_EQ(out, c.out) << c.text;
    }
}

TEST(Files, ExistenceWritingAndSizes)
{
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("corekit_files_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string file = (dir / "defaults.ini").string();

    EXPECT_EQ(GetPathDelimiter(), "/");
    EXPECT_TRUE(DirExists(dir.string()));
    EXPECT_TRUE(FileExists(dir.string()));
    EXPECT_FALSE(FileExists(file));

    EXPECT_TRUE(WriteDefaultsFile(file.c_str(), std::string("a=1\n\0hidden", 11)));
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirExists(file));
    std::ifstream in(file);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "a=1\n");
    EXPECT_FALSE(WriteDefaultsFile((dir / "missing" / "x").string().c_str(), "x"));

    std::string bin = (dir / "buf.bin").string();
    WriteBuf("ab\0c", 4, bin.c_str(), false);
    WriteBuf("de", 2, bin.c_str(), true);
    EXPECT_EQ(std::filesystem::file_size(bin), 6u);
    WriteBuf("z", 1, bin.c_str(), false);
    EXPECT_EQ(std::filesystem::file_size(bin), 1u);

    EXPECT_DOUBLE_EQ(ByteConv(2048, 1), 2.0);
    EXPECT_DOUBLE_EQ(ByteConv(3 * 1024 * 1024, 2), 3.0);
    EXPECT_DOUBLE_EQ(ByteConv(5000, 101), 5.0);
    EXPECT_DOUBLE_EQ(ByteConv(7000000, 102), 7.0);
    std::filesystem::remove_all(dir);
}

TEST(Unicode, Utf8AndUtf16)
{
    std::wstring wide;
    Utf8ToUtf16("aä€\xF0\x9F\x98\x80", wide);
    ASSERT_EQ(wide.size(), 5u);
    EXPECT_EQ(wide[1], 0xE4);
    EXPECT_EQ(wide[2], 0x20AC);
    EXPECT_EQ(wide[3], 0xD83D);
    EXPECT_EQ(wide[4], 0xDE00);

    std::string back = "pre:";
    Utf16ToUtf8(wide, back);
    EXPECT_EQ(back, "pre:aä€\xF0\x9F\x98\x80");

    std::wstring bad;
    EXPECT_THROW(Utf8ToUtf16("a\xC3", bad), utf8::exception);
    EXPECT_THROW(Utf8ToUtf16("\xFF", bad), utf8::invalid_utf8);

    std::string partial;
    EXPECT_THROW(Utf16ToUtf8(std::wstring{L'x', wchar_t(0xDC00)}, partial), utf8::invalid_utf16);
    EXPECT_EQ(partial, "x");
    partial.clear();
    EXPECT_THROW(Utf16ToUtf8(std::wstring{L'y', wchar_t(0xD800)}, partial), utf8::invalid_utf16);
    EXPECT_EQ(partial, "y");
    partial.clear();
    // Only the low 16 bits of each element count.
    Utf16ToUtf8(std::wstring{wchar_t(0x10041)}, partial);
    EXPECT_EQ(partial, "A");
}

TEST(ErrorRecord, MessageText)
{
    EXPECT_EQ(Error("disk full").getErrorMsg(), "Error: disk full");
    EXPECT_EQ(Error("", "Map").getErrorMsg(), "Error: Unknown error(Map)");
    EXPECT_EQ(Error(4L, "ignored").getErrorMsg(), "Error: File-IO error");
    EXPECT_EQ(Error(2L).getErrorMsg(), "Error: Out of memory");
    EXPECT_EQ(Error(3L, "x").getErrorMsg(), "Error: Database-access failed");
    EXPECT_EQ(Error(5L, "x").getErrorMsg(), "Error: ");
    EXPECT_EQ(Error(-1L).getErrorMsg(), "Error: ");
    EXPECT_EQ(Error().getErrorMsg(), "Error: Unknown error");
    EXPECT_EQ(Error("img.png", "ShapeImage").getErrorMsg(), "Error: img.png(ShapeImage)");

    Error original("boom", "Mod");
    original.err = 4;
    Error copy(original);
    EXPECT_EQ(copy.getError(), 4);
    EXPECT_EQ(copy.errMsg, "boom");
    EXPECT_EQ(copy.moduleName, "Mod");

    try {
        throw Error("thrown");
    } catch (Error e) {
        EXPECT_EQ(e.getErrorMsg(), "Error: thrown");
    }
}
