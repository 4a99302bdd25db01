// End-to-end: the start-up of the program seen from outside: usage text,
// log file with the banner, test mode without a screenplay, option parsing.
// The program runs as a copy in a temporary directory, so that directory is
// its own and has no demo/ folder unless a test puts one there.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

const char* const kUsage =
    "Usage: app --log <logfile> --testmode --window-size <WxH|fullscreen>\n"
    "           --demo <screenplay> --demo-speed <factor> [file.vlm]\n"
    "  --testmode  plays demo/rundgang.demo (or --demo) and exits:\n"
    "              0 = played to the end, 1 = failed, 2 = invalid call\n";

// A log line written through SDL while the log file is active.
const char* const kSdlLine = R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3} INFO: )";
// A debug-log line: date, time with milliseconds, location, function.
const char* const kDebugLine = R"(\d{4}\.\d{2}\.\d{2} \d{2}:\d{2}:\d{2}\.\d{3} \S+:\d+: )";

class StartUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        mDir = fs::temp_directory_path() / ("velmaris-cmdline-e2e-" + std::to_string(getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        std::error_code ec;
        fs::remove_all(mDir, ec);
        mWork = mDir / "work";
        mProgramDir = mDir / "app" / "bin";
        fs::create_directories(mWork);
        fs::create_directories(mProgramDir);
        fs::copy_file(VELMARIS_EXE, mProgramDir / "velmaris");
        fs::create_directory_symlink(fs::path(VELMARIS_RUNTIME_DIR) / "data", mProgramDir / "data");
    }
    void TearDown() override
    {
        std::error_code ec;
        if (!HasFailure())
            fs::remove_all(mDir, ec);
    }

    // Runs the program from the work directory with the arguments; standard
    // output and error go to files. Killed after 60 seconds.
    Outcome run(std::vector<std::string> args)
    {
        args.insert(args.begin(), (mProgramDir / "velmaris").string());
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const fs::path outFile = mDir / "stdout.txt";
        const fs::path errFile = mDir / "stderr.txt";
        pid_t pid = fork();
        if (pid == 0) {
            int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(mWork.c_str()) != 0)
                _exit(126);
            execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        auto start = std::chrono::steady_clock::now();
        while (waitpid(pid, &status, WNOHANG) != pid) {
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(60)) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                ADD_FAILURE() << "velmaris did not end";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Outcome o;
        o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        o.out = readFile(outFile);
        o.err = readFile(errFile);
        return o;
    }

    fs::path mDir;
    fs::path mWork;
    fs::path mProgramDir;
};

}  // namespace

TEST_F(StartUp, HelpPrintsExactlyTheUsageAndTouchesNoLogFile)
{
    const std::vector<std::vector<std::string>> calls = {
        {"--help"},
        {"--log", "log.txt", "--testmode", "--help"},
        {"--demo", "x.demo", "a.vlm", "b.vlm", "--help"},
    };
    for (const auto& args : calls) {
        std::ofstream(mWork / "log.txt") << "keep me";
        Outcome o = run(args);
        EXPECT_EQ(o.exitCode, 0) << args[0];
        EXPECT_EQ(o.out, kUsage) << args[0];
        EXPECT_EQ(o.err, "") << args[0];
        EXPECT_EQ(readFile(mWork / "log.txt"), "keep me") << args[0];
    }
    run({"--log", "fresh.txt", "--help"});
    EXPECT_FALSE(fs::exists(mWork / "fresh.txt"));
}

TEST_F(StartUp, TestModeWithoutScreenplayIsAnInvalidCall)
{
    Outcome o = run({"--log", "log.txt", "--testmode"});
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "");
    std::string log = readFile(mWork / "log.txt");
    // The log file was emptied and then received, in order: the debug line
    // naming the file, the banner, and the refusal naming the program's directory.
    std::string expected = std::string("^") + kDebugLine + R"(redirectOutput info: Using logfile log\.txt\n)" +
                           kSdlLine + R"(Velmaris 0\.0\.4-9-g16d5ee1 \[DEBUG\], Build 20261126180651\n)" +
                           kSdlLine + R"(--testmode: demo/rundgang\.demo nicht gefunden \(neben )" +
                           std::regex_replace(mProgramDir.string(), std::regex(R"([.+])"), R"(\$&)") + R"(\)\n$)";
    EXPECT_TRUE(std::regex_match(log, std::regex(expected))) << log;
}

TEST_F(StartUp, LogPathThatCannotBeOpenedLeavesOutputWhereItWas)
{
    Outcome o = run({"--log", (mWork / "no" / "such" / "dir" / "log.txt").string(), "--testmode"});
    EXPECT_EQ(o.exitCode, 2);
    // Without a log file SDL writes its own format to standard error.
    EXPECT_NE(o.err.find("Velmaris 0.0.4-9-g16d5ee1 [DEBUG], Build 20261126180651"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("--testmode: demo/rundgang.demo nicht gefunden (neben " + mProgramDir.string() + ")"),
              std::string::npos)
        << o.err;
    EXPECT_FALSE(fs::exists(mWork / "no"));
}

TEST_F(StartUp, DefaultScreenplayIsFoundBesideOrTwoLevelsAbove)
{
    // demo/ two levels above the program's directory (a build tree layout):
    // found, so the call is no longer refused for want of a screenplay.
    fs::create_directories(mDir / "demo");
    std::ofstream(mDir / "demo" / "rundgang.demo") << "finish\n";
    Outcome o = run({"--log", "log.txt", "--testmode", "--window-size", "bad"});
    std::string log = readFile(mWork / "log.txt");
    EXPECT_EQ(log.find("nicht gefunden"), std::string::npos) << log;
    EXPECT_NE(log.find("INFO: Testmodus: Drehbuch " + (mDir / "demo" / "rundgang.demo").string() + "\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(o.exitCode, 2);  // refused later, for the window size
}

TEST_F(StartUp, TestmodeFollowedByAFileIsAnOptionNotTestMode)
{
    std::ofstream(mWork / "quit.demo") << "finish\n";
    // "file.vlm" does not exist: as a diagram argument it would be refused with 2.
    Outcome o = run({"--log", "log.txt", "--testmode", "file.vlm", "--demo", "quit.demo"});
    std::string log = readFile(mWork / "log.txt");
    EXPECT_EQ(o.exitCode, 0) << log;
    EXPECT_EQ(log.find("Testmodus"), std::string::npos) << log;
    EXPECT_EQ(log.find("file.vlm"), std::string::npos) << log;
    // Debug-log and SDL lines share the file in the order they were written.
    size_t banner = log.find("INFO: Velmaris 0.0.4-9-g16d5ee1 [DEBUG]");
    size_t starting = log.find("runEntryPoint info: Starting Velmaris\n");
    ASSERT_NE(banner, std::string::npos) << log;
    ASSERT_NE(starting, std::string::npos) << log;
    EXPECT_LT(log.find("info: Using logfile log.txt\n"), banner);
    EXPECT_LT(banner, starting);
}

TEST_F(StartUp, FileArgumentsAreCheckedAfterTheyWereMadeAbsolute)
{
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        // A single dash is no option: "-v" is a second file.
        {{"a.vlm", "-v"}, "INFO: Nur eine .vlm-Datei kann angegeben werden\n"},
        // Resolved against the starting directory, not the program's own.
        {{"sub/fehlt.vlm"}, "INFO: Datei \"" + (mWork / "sub" / "fehlt.vlm").string() + "\" kann nicht geladen werden\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--log", "log.txt"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        Outcome o = run(args);
        std::string log = readFile(mWork / "log.txt");
        EXPECT_EQ(o.exitCode, 2) << c.args[0];
        EXPECT_NE(log.find(c.message), std::string::npos) << log;
    }
}
