// The process-wide debug log: filter, stream, line format of the statements.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <regex>
#include <string>

#include "corekitc.h"

namespace {

// Sends the debug log into a temporary file for one test and restores
// the filter and the stream afterwards.
class DebugLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mSavedFilter = corekit_debug_filter;
        mSavedOut = corekit_debug_out;
        mFile = tmpfile();
        ASSERT_NE(mFile, nullptr);
        ckSetDebugOut(mFile);
    }

    void TearDown() override
    {
        ckSetDebugFilter(mSavedFilter);
        ckSetDebugOut(mSavedOut);
        fclose(mFile);
    }

    std::string written()
    {
        fflush(mFile);
        std::string text;
        rewind(mFile);
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, mFile)) > 0)
            text.append(buffer, n);
        return text;
    }

    FILE* mFile = nullptr;
    int mSavedFilter = 0;
    FILE* mSavedOut = nullptr;
};

int evaluations = 0;
int countedArgument()
{
    ++evaluations;
    return 3;
}

// One statement of each kind, in a named function and a class, so that the
// function names of the lines can be checked.
void writeErrorLine()
{
    CK_ERROR("disk %s", "full");
}

struct Widget {
    Widget(int, const char*) { CK_TRACE(); }
    virtual ~Widget() { CK_TRACE(); }
    void tick() { CK_INFO("tick %d", countedArgument()); }
};

const char* const kStamp = R"(\d{4}\.\d{2}\.\d{2} \d{2}:\d{2}:\d{2}\.\d{3})";

}  // namespace

TEST_F(DebugLogTest, DefaultFilterWritesEveryLevelInTheLineFormat)
{
    EXPECT_EQ(corekit_debug_filter, 143);
    writeErrorLine();
    Widget* w = new Widget(1, "x");
    w->tick();
    CK_WARN("careful");
    delete w;

    std::string file = __FILE__;
    std::string expected = std::string("^") + kStamp + " " + file + R"(:\d+: writeErrorLine error: disk full\n)" +
                           kStamp + " " + file + R"(:\d+: \{anonymous\}::Widget::Widget\(int, const char\*\) \n)" +
                           kStamp + " " + file + R"(:\d+: tick info: tick 3\n)" +
                           kStamp + " " + file + R"(:\d+: TestBody warn: careful\n)" +
                           kStamp + " " + file + R"(:\d+: virtual \{anonymous\}::Widget::~Widget\(\) \n$)";
    std::string text = written();
    EXPECT_TRUE(std::regex_search(text, std::regex(expected))) << text;
}

TEST_F(DebugLogTest, DestructorInfoLineNamesTheBareFunction)
{
    struct Map {
        ~Map() { CK_INFO("bye"); }
    };
    { Map m; }
    EXPECT_TRUE(std::regex_search(written(), std::regex(R"(:\d+: ~Map info: bye\n$)"))) << written();
}

TEST_F(DebugLogTest, FilteredStatementsWriteNothingAndEvaluateNothing)
{
    ckSetDebugFilter(0);
    evaluations = 0;
    Widget w(1, "x");
    w.tick();
    writeErrorLine();
    EXPECT_EQ(evaluations, 0);
    EXPECT_EQ(written(), "");

    // Only the info bit: the error and trace lines stay out.
    ckSetDebugFilter(CK_DEBUG_INFO);
    writeErrorLine();
    w.tick();
    EXPECT_EQ(evaluations, 1);
    std::string text = written();
    EXPECT_NE(text.find("tick info: tick 3\n"), std::string::npos);
    EXPECT_EQ(text.find("error: "), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
}

TEST_F(DebugLogTest, DebugWritesPrefixByTypeOnly)
{
    struct Case {
        int type;
        const char* expected;
    };
    const Case cases[] = {
        {1, "error: x=5"}, {2, "warn: x=5"}, {4, "info: x=5"}, {8, "x=5"},
        {16, "x=5"},       {-1, "x=5"},      {0, "x=5"},       {128, "x=5"},
    };
    ckSetDebugFilter(0);  // _ckDebug itself never looks at the filter
    for (const Case& c : cases) {
        long before = ftell(mFile);
        EXPECT_EQ(_ckDebug(c.type, "x=%d", 5), 0);
        std::string text = written().substr(static_cast<size_t>(before));
        fseek(mFile, 0, SEEK_END);
        EXPECT_EQ(text, c.expected) << "type " << c.type;
    }
}

TEST_F(DebugLogTest, TimestampIsLocalTimeWithZeroPaddedMilliseconds)
{
    const char* oldTz = getenv("TZ");
    std::string saved = oldTz ? oldTz : "";
    setenv("TZ", "UTC0", 1);
    tzset();
    // 2026-02-01 09:05:03 UTC and 7 milliseconds (7999 microseconds truncate to 7).
    ckDebugWriteTimestamp(mFile, 1769936703LL, 7999);
    EXPECT_EQ(written(), "2026.02.01 09:05:03.007");
    if (oldTz)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST_F(DebugLogTest, TimestampOfNowHasNoTrailingBlank)
{
    EXPECT_GT(_ckDebugTS(), 0);
    std::string text = written();
    EXPECT_TRUE(std::regex_match(text, std::regex(kStamp))) << text;
}

TEST_F(DebugLogTest, NullStreamFallsBackToStandardOutput)
{
    ckSetDebugOut(nullptr);
    _ckDebug(-1, "%s", "");
    EXPECT_EQ(corekit_debug_out, stdout);
    ckSetDebugOut(nullptr);
    _ckDebugTS();
    fputs("\n", stdout);
    EXPECT_EQ(corekit_debug_out, stdout);
    EXPECT_EQ(ckSetDebugFilter(5), 1);
    EXPECT_EQ(corekit_debug_filter, 5);
    EXPECT_EQ(ckSetDebugOut(mFile), 1);
}
