// End-to-end: the fixture program (the program's real start-up around a small
// fixture application) plays screenplays with --testmode and --demo; its exit
// code and the lines of its --log file are the verdict.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int exitCode = -1;
    double seconds = 0;
    std::string log;
};

class FixtureProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        mDir = fs::temp_directory_path() /
               ("velmaris-e2e-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(mDir);
        mLog = (mDir / "log.txt").string();
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(mDir, ec);
    }

    std::string screenplay(const std::string& name, const std::string& text)
    {
        const fs::path path = mDir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    // Starts the fixture program with the arguments (and --log), waits for it
    // to end; after endAfter seconds (if positive) it is asked to quit with
    // SIGTERM, after 60 seconds it is killed.
    Outcome run(std::vector<std::string> args, double endAfter = 0)
    {
        args.insert(args.begin(), {VELMARIS_FIXTURE_EXE, "--log", mLog});
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            execv(argv[0], argv.data());
            _exit(127);
        }
        Outcome out;
        int status = 0;
        bool termSent = false;
        for (;;) {
            const pid_t r = waitpid(pid, &status, WNOHANG);
            const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (r == pid) {
                out.seconds = t;
                break;
            }
            if (endAfter > 0 && !termSent && t > endAfter) {
                kill(pid, SIGTERM);
                termSent = true;
            }
            if (t > 60) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                ADD_FAILURE() << "fixture program did not end";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        out.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream in(mLog);
        std::stringstream ss;
        ss << in.rdbuf();
        out.log = ss.str();
        return out;
    }

    fs::path mDir;
    std::string mLog;
};

// True when a line of the log ends with the text (lines carry a time stamp
// and a level in front).
bool logLineEndsWith(const std::string& log, const std::string& text)
{
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line))
        if (line.size() >= text.size() && line.compare(line.size() - text.size(), text.size(), text) == 0)
            return true;
    return false;
}

TEST_F(FixtureProgram, TestModeVerdictsAndExitCodes)
{
    struct Case {
        const char* name;
        const char* text;
        int exitCode;
        std::vector<std::string> lines;    // log lines that must appear
        std::vector<std::string> absent;   // texts that must not appear
    };
    const Case cases[] = {
        {"pass.demo",
         "window Testfenster\nmove_to ok\nclick\nwait_command button ok 2\nexpect meldung \"OK gedrückt 1\"\nfinish\n",
         0,
         {"INFO: Testmodus: bestanden"},
         {"Demo-Fehler"}},
        {"fail.demo",
         "move_to ok\nexpect meldung \"nie\"\nfinish\n",
         1,
         {"INFO: Demo-Fehler in Zeile 2: \"meldung\" hat \"\" statt \"nie\""},
         {"Testmodus: bestanden", "Testmodus: nicht zu Ende gespielt"}},
        {"missing-control.demo",
         "wait_value gibtsnicht 1 30\n",
         1,
         {"INFO: Demo-Fehler in Zeile 1: Control \"gibtsnicht\" nicht gefunden"},
         {}},
        {"bad.demo",
         "wait 1\nklick\n",
         2,
         {"INFO: Zeile 2: unbekannter Befehl klick"},
         {"Testmodus: bestanden"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = screenplay(c.name, c.text);
        const Outcome out = run({"--testmode", "--demo", path});
        EXPECT_EQ(out.exitCode, c.exitCode) << out.log;
        EXPECT_TRUE(logLineEndsWith(out.log, "INFO: Testmodus: Drehbuch " + path)) << out.log;
        for (const std::string& line : c.lines) EXPECT_TRUE(logLineEndsWith(out.log, line)) << line << "\n" << out.log;
        for (const std::string& text : c.absent) EXPECT_EQ(out.log.find(text), std::string::npos) << text;
    }
}

TEST_F(FixtureProgram, UnreadableScreenplayIsAnInvalidCall)
{
    const std::string path = (mDir / "fehlt.demo").string();
    const Outcome out = run({"--testmode", "--demo", path});
    EXPECT_EQ(out.exitCode, 2);
    EXPECT_TRUE(logLineEndsWith(out.log, "INFO: Drehbuch nicht lesbar: " + path)) << out.log;
}

TEST_F(FixtureProgram, SpeedFactorMustBePositive)
{
    const std::string path = screenplay("s.demo", "finish\n");
    for (const char* factor : {"0", "-2", "abc"}) {
        SCOPED_TRACE(factor);
        const Outcome out = run({"--demo", path, "--demo-speed", factor});
        EXPECT_EQ(out.exitCode, 2);
        EXPECT_TRUE(logLineEndsWith(out.log, "INFO: --demo-speed braucht einen positiven Faktor")) << out.log;
    }
}

// Seconds between the two log lines that end with the given texts, read from
// their time stamps ("YYYY-MM-DD HH:MM:SS.mmm LEVEL: message"); -1 if absent.
double secondsBetween(const std::string& log, const std::string& first, const std::string& second)
{
    auto stamp = [&](const std::string& text) {
        std::istringstream in(log);
        std::string line;
        while (std::getline(in, line)) {
            if (line.size() < 23 || line.size() < text.size() ||
                line.compare(line.size() - text.size(), text.size(), text) != 0)
                continue;
            const int h = std::stoi(line.substr(11, 2)), m = std::stoi(line.substr(14, 2));
            const double sec = std::stod(line.substr(17, 6));
            return h * 3600.0 + m * 60.0 + sec;
        }
        return -1.0;
    };
    const double a = stamp(first), b = stamp(second);
    return a < 0 || b < 0 ? -1 : b - a;
}

TEST_F(FixtureProgram, SpeedFactorShortensWaits)
{
    const std::string path = screenplay("wait.demo", "scene Anfang\nwait 2\nscene Ende\nfinish\n");
    for (const auto& [factor, seconds] : {std::pair{"1", 2.0}, std::pair{"2", 1.0}, std::pair{"4", 0.5}}) {
        SCOPED_TRACE(factor);
        const Outcome out = run({"--testmode", "--demo", path, "--demo-speed", factor});
        ASSERT_EQ(out.exitCode, 0) << out.log;
        // Playback never runs ahead of the clock; on a loaded machine slow
        // frames (each counts at most 50 ms) may stretch it somewhat.
        const double t = secondsBetween(out.log, "INFO: Demo-Szene: Anfang", "INFO: Demo-Szene: Ende");
        EXPECT_GE(t, seconds - 0.05) << out.log;
        EXPECT_LT(t, seconds * 1.6) << out.log;
    }
}

TEST_F(FixtureProgram, FailureWithoutTestModeStillExitsOne)
{
    const std::string path = screenplay("fail.demo", "expect raster 1\n");
    const Outcome out = run({"--demo", path});
    EXPECT_EQ(out.exitCode, 1);
    EXPECT_TRUE(logLineEndsWith(out.log, "INFO: Demo-Fehler in Zeile 1: \"raster\" hat \"0\" statt \"1\"")) << out.log;
}

TEST_F(FixtureProgram, ScreenplayWithoutFinishKeepsTheProgramRunning)
{
    // Played to its end without "finish": the program runs on until it is
    // ended from outside, and test mode reports the screenplay as passed.
    const std::string path = screenplay("open.demo", "move_to ok\nclick\n");
    const Outcome out = run({"--testmode", "--demo", path}, 3.0);
    EXPECT_GE(out.seconds, 3.0);
    EXPECT_EQ(out.exitCode, 0);
    EXPECT_TRUE(logLineEndsWith(out.log, "INFO: Testmodus: bestanden")) << out.log;
}

TEST_F(FixtureProgram, ProgramEndedDuringPlaybackIsNotPassed)
{
    const std::string path = screenplay("long.demo", "wait 30\nfinish\n");
    const Outcome out = run({"--testmode", "--demo", path}, 1.5);
    EXPECT_LT(out.seconds, 20.0);
    EXPECT_EQ(out.exitCode, 1);
    EXPECT_TRUE(logLineEndsWith(out.log, "INFO: Testmodus: nicht zu Ende gespielt")) << out.log;
}

} // namespace
