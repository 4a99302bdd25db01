// The command line parser, the start-up sequence run in-process with test
// hooks, and the application's Logger.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "EntryPoint.h"
#include "Error.h"
#include "corekitc.h"

namespace fs = std::filesystem;

namespace {

// Holds argv storage for a command line given as a list.
struct Args {
    explicit Args(std::vector<std::string> list) : strings(std::move(list))
    {
        strings.insert(strings.begin(), "velmaris");
        for (std::string& s : strings)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(strings.size()); }
    char** argv() { return pointers.data(); }

    std::vector<std::string> strings;
    std::vector<char*> pointers;
};

// Captures the debug log in a temporary file and restores the working
// directory, which the start-up changes to the executable's directory.
class LogCapture : public ::testing::Test {
protected:
    void SetUp() override
    {
        mStartDir = fs::current_path();
        mFile = tmpfile();
        ASSERT_NE(mFile, nullptr);
        mSavedOut = corekit_debug_out;
        mSavedFilter = corekit_debug_filter;
        ckSetDebugOut(mFile);
    }
    void TearDown() override
    {
        ckSetDebugOut(mSavedOut);
        ckSetDebugFilter(mSavedFilter);
        fclose(mFile);
        fs::current_path(mStartDir);
    }
    std::string log()
    {
        fflush(mFile);
        rewind(mFile);
        std::string text;
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, mFile)) > 0)
            text.append(buffer, n);
        return text;
    }

    fs::path mStartDir;
    FILE* mFile = nullptr;
    FILE* mSavedOut = nullptr;
    int mSavedFilter = 0;
};

}  // namespace

TEST(CommandLineParse, FlagsOptionsAndArguments)
{
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> flags;
        std::vector<std::pair<std::string, std::string>> options;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {{}, {}, {}, {}},
        {{"--help"}, {"help"}, {}, {}},
        {{"--log", "out.txt", "--testmode"}, {"testmode"}, {{"log", "out.txt"}}, {}},
        // A name followed by a plain argument is an option, never a flag.
        {{"--testmode", "file.vlm"}, {}, {{"testmode", "file.vlm"}}, {}},
        {{"--demo"}, {"demo"}, {}, {}},
        {{"--demo", "--testmode"}, {"demo", "testmode"}, {}, {}},
        {{"a.vlm", "-v", "b.vlm"}, {}, {}, {"a.vlm", "-v", "b.vlm"}},
        {{"--", "x"}, {}, {{"", "x"}}, {}},
        {{"--"}, {""}, {}, {}},
        {{"--x", "1", "--x", "2"}, {}, {{"x", "2"}}, {}},
        {{"--f", "--f"}, {"f", "f"}, {}, {}},
        {{"--demo-speed", "-2", "plain"}, {}, {{"demo-speed", "-2"}}, {"plain"}},
        {{"--window-size", "800x600", "d.vlm", "--help"}, {"help"}, {{"window-size", "800x600"}}, {"d.vlm"}},
    };
    for (const Case& c : cases) {
        Args a(c.args);
        CommandLine cl(a.argc(), a.argv());
        std::string where = c.args.empty() ? "(none)" : c.args[0];
        for (const std::string& f : c.flags)
            EXPECT_TRUE(cl.hasFlag(f)) << where << " flag " << f;
        for (auto& o : c.options) {
            EXPECT_TRUE(cl.hasOption(o.first)) << where;
            EXPECT_FALSE(cl.hasFlag(o.first)) << where;
            EXPECT_EQ(cl.getOption(o.first, "dflt"), o.second) << where;
        }
        EXPECT_EQ(cl.getArguments(), c.arguments) << where;
    }
    Args a({"--log", "x"});
    CommandLine cl(a.argc(), a.argv());
    EXPECT_EQ(cl.getOption("demo", "dflt"), "dflt");
    EXPECT_FALSE(cl.hasFlag("log"));
    EXPECT_FALSE(cl.hasOption("x"));
}

TEST_F(LogCapture, ErrorEscapingTheApplicationIsExitCodeOneAndAnErrorLine)
{
    Args a({});
    EntryHooks hooks;
    hooks.runApplication = [](EntryContext&) -> int { throw corekit::Error("image.png cannot be loaded"); };
    EXPECT_EQ(runEntryPoint(a.argc(), a.argv(), hooks), 1);
    std::string text = log();
    EXPECT_TRUE(std::regex_search(text, std::regex(R"(: runEntryPoint error: Error: image\.png cannot be loaded\n$)")))
        << text;
}

TEST_F(LogCapture, ApplicationGetsThePreparedContextAndItsResultIsTheExitCode)
{
    fs::path start = fs::temp_directory_path();
    fs::current_path(start);
    Args a({"--demo", "play.demo", "--demo-speed", "2", "rel/d.vlm", "/abs/e.vlm", "--testmode"});
    EntryHooks hooks;
    bool called = false;
    hooks.runApplication = [&](EntryContext& ctx) {
        called = true;
        EXPECT_TRUE(ctx.testMode);
        EXPECT_EQ(ctx.screenplay, (start / "play.demo").string());
        EXPECT_EQ(ctx.files, (std::vector<std::string>{(start / "rel/d.vlm").string(), "/abs/e.vlm"}));
        // The working directory is now the executable's directory.
        EXPECT_EQ(fs::current_path(), ctx.executableDir);
        EXPECT_EQ(ctx.executableDir, fs::read_symlink("/proc/self/exe").parent_path());
        EXPECT_EQ(ctx.argc, 8);
        EXPECT_EQ(ctx.commandLine.getOption("demo-speed", ""), "2");
        return 7;
    };
    EXPECT_EQ(runEntryPoint(a.argc(), a.argv(), hooks), 7);
    EXPECT_TRUE(called);
    EXPECT_TRUE(std::regex_search(log(), std::regex(R"(: runEntryPoint info: Starting Velmaris\n$)"))) << log();
}

TEST_F(LogCapture, TestModeNeverRunsWithoutAScreenplay)
{
    // An empty --demo value names no screenplay; the default one is searched
    // beside this executable, and its absence is an invalid call.
    Args a({"--demo", "", "--testmode"});
    EntryHooks hooks;
    std::string played;
    hooks.runApplication = [&](EntryContext& ctx) {
        played = ctx.screenplay;
        return 0;
    };
    fs::path exeDir = fs::read_symlink("/proc/self/exe").parent_path();
    bool defaultExists = fs::is_regular_file(exeDir / "demo" / "rundgang.demo") ||
                         fs::is_regular_file(exeDir / ".." / ".." / "demo" / "rundgang.demo");
    int code = runEntryPoint(a.argc(), a.argv(), hooks);
    if (defaultExists) {
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(fs::path(played).is_absolute()) << played;
        EXPECT_EQ(fs::path(played).filename(), "rundgang.demo");
        EXPECT_EQ(played, fs::path(played).lexically_normal().string());
    } else {
        EXPECT_EQ(code, 2);
        EXPECT_EQ(played, "");
    }
}

TEST_F(LogCapture, HelpPrintsOnlyTheUsage)
{
    Args a({"--log", "never-created.txt", "x.vlm", "--help"});
    EntryHooks hooks;
    hooks.runApplication = [](EntryContext&) { return 5; };
    testing::internal::CaptureStdout();
    int code = runEntryPoint(a.argc(), a.argv(), hooks);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out,
              "Usage: app --log <logfile> --testmode --window-size <WxH|fullscreen>\n"
              "           --demo <screenplay> --demo-speed <factor> [file.vlm]\n"
              "  --testmode  plays demo/rundgang.demo (or --demo) and exits:\n"
              "              0 = played to the end, 1 = failed, 2 = invalid call\n");
    EXPECT_EQ(log(), "");
    EXPECT_FALSE(fs::exists(mStartDir / "never-created.txt"));
}

TEST_F(LogCapture, WithoutApplicationStartUpEndsAfterItsLastStep)
{
    EntryHooks none;
    Args plain({"d.vlm"});
    EXPECT_EQ(runEntryPoint(plain.argc(), plain.argv(), none), 0);
    // In test mode nothing was played, so the run cannot count as passed.
    Args test({"--testmode", "--demo", "x.demo"});
    EXPECT_EQ(runEntryPoint(test.argc(), test.argv(), none), 1);
    std::string text = log();
    EXPECT_NE(text.find("info: Starting Velmaris\n"), std::string::npos);
    EXPECT_NE(text.find("not built yet"), std::string::npos);
}

TEST_F(LogCapture, LoggerLevelsAndFormatting)
{
    Logger(0, "never %d", 1);
    EXPECT_EQ(log(), "");

    Logger(CK_DEBUG_INFO, "count %d", 3);
    Logger(std::string("100%"));
    Logger(std::string("%s %d %n"));
    Logger(CK_DEBUG_ERROR, "bad %s", "thing");
    Logger(CK_DEBUG_TRACE, "%s", "");
    Logger(-1, "plain");
    Logger(16, "bit not in the filter");
    std::string file = "EntryPoint\\.cpp";
    std::string stamp = R"(\d{4}\.\d{2}\.\d{2} \d{2}:\d{2}:\d{2}\.\d{3} )";
    std::string expected = "^" + stamp + ".*" + file + R"(:\d+: Logger info: count 3\n)" +
                           stamp + ".*" + file + R"(:\d+: Logger info: 100%\n)" +
                           stamp + ".*" + file + R"(:\d+: Logger info: %s %d %n\n)" +
                           stamp + ".*" + file + R"(:\d+: Logger error: bad thing\n)" +
                           stamp + ".*" + file + R"(:\d+: void Logger\(int, const char\*, \.\.\.\) \n)" +
                           stamp + ".*" + file + R"(:\d+: Logger plain\n$)";
    EXPECT_TRUE(std::regex_match(log(), std::regex(expected))) << log();
}

TEST_F(LogCapture, LoggerFilterAndLongMessages)
{
    ckSetDebugFilter(0);
    Logger(-1, "plain");
    Logger(CK_DEBUG_ERROR, "x");
    EXPECT_EQ(log(), "");

    ckSetDebugFilter(CK_DEBUG_INFO);
    Logger(-1, "plain passes any non-zero filter");
    Logger(CK_DEBUG_ERROR, "filtered");
    std::string long2000(2000, 'x');
    long2000[1021] = 'L';
    long2000[1022] = 'C';
    Logger(CK_DEBUG_INFO, "%s", long2000.c_str());
    std::string text = log();
    EXPECT_NE(text.find("Logger plain passes any non-zero filter\n"), std::string::npos);
    EXPECT_EQ(text.find("filtered"), std::string::npos);
    EXPECT_NE(text.find("info: " + long2000.substr(0, 1022) + "\n"), std::string::npos);
    EXPECT_EQ(text.find('C'), std::string::npos);
}
