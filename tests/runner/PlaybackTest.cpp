// Playback of screenplays against the fixture application in real windows:
// pointer moves and clicks reach the widgets, waits and checks end with their
// exact messages, real input interrupts, and the side files are written.
//
// The engine runs on a test clock that advances 16 ms per loop turn, so
// durations are measured in loop turns and the tests do not sleep.
#include "FixtureApp.h"
#include "GuiDemoRunner.h"
#include "GuiWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <tuple>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr Uint32 kTurnMs = 16;
Uint32 gTestTicks = 1000;
Uint32 testTicks() { return gTestTicks; }

// Collects SDL log lines while installed.
std::vector<std::string> gLog;
void collectLog(void*, int, SDL_LogPriority, const char* message) { gLog.push_back(message); }

bool logHas(const std::string& text)
{
    for (const std::string& line : gLog)
        if (line == text) return true;
    return false;
}

int logCount(const std::string& prefix)
{
    int n = 0;
    for (const std::string& line : gLog)
        if (line.rfind(prefix, 0) == 0) ++n;
    return n;
}

// One fixture application with a runner, driven turn by turn.
class Playback : public ::testing::Test {
protected:
    void SetUp() override
    {
        gLog.clear();
        SDL_LogGetOutputFunction(&mOldLog, &mOldLogData);
        SDL_LogSetOutputFunction(collectLog, nullptr);
        GuiSetTickSource(testTicks);
        mDir = fs::temp_directory_path() /
               ("velmaris-playback-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(mDir);
    }

    void TearDown() override
    {
        restart();
        GuiSetTickSource(nullptr);
        SDL_LogSetOutputFunction(mOldLog, mOldLogData);
        for (const char* name : {"GUI_DEMO_TRACE", "GUI_DEMO_SCENES", "GUI_DEMO_START_GATE", "GUI_DEMO_WINDOW_ID_FILE"})
            unsetenv(name);
        std::error_code ec;
        fs::remove_all(mDir, ec);
    }

    // The engine refers to the runner until its destructor has run: the
    // application goes first.
    void restart()
    {
        mApp.reset();
        mRunner.reset();
        mLoopOver = false;
    }

    // Builds the application and a runner that reads the environment as it is now.
    void start(const std::string& screenplay, double speed = 1.0)
    {
        mApp = std::make_unique<FixtureApp>();
        mRunner = std::make_unique<GuiDemoRunner>(mApp.get());
        ASSERT_TRUE(mRunner->loadFromString(screenplay)) << mRunner->error();
        mRunner->setSpeed(speed);
        mApp->setDemoRunner(mRunner.get());
        mApp->runStart();
        mStartTicks = gTestTicks;
    }

    // One loop turn; false once the main loop is over.
    bool turn()
    {
        if (mLoopOver) return false;
        if (!mApp->runTurn()) {
            mLoopOver = true;
            return false;
        }
        gTestTicks += kTurnMs;
        return true;
    }

    // Runs turns until the loop ends or the runner reaches a final state (and
    // then a few more, so that the quit is carried out); returns the turns.
    int play(int maxTurns = 2000)
    {
        int turns = 0;
        while (turns < maxTurns && turn()) {
            ++turns;
            const auto s = mRunner->state();
            if (s != GuiDemoRunner::Idle && s != GuiDemoRunner::Running) {
                for (int i = 0; i < 3 && turn(); ++i) ++turns;
                break;
            }
        }
        return turns;
    }

    void playToEnd(const std::string& screenplay, double speed = 1.0)
    {
        start(screenplay, speed);
        play();
    }

    std::string valueOf(const char* name)
    {
        std::string out;
        GuiObject* o = mApp->mainWindow()->main_window->findByName(name);
        if (o) o->getValueText(out);
        return out;
    }

    SDL_Point windowPos(AppWindow* w)
    {
        SDL_Point p{0, 0};
        SDL_GetWindowPosition(w->window, &p.x, &p.y);
        return p;
    }

    std::unique_ptr<FixtureApp> mApp;
    std::unique_ptr<GuiDemoRunner> mRunner;
    bool mLoopOver = false;
    Uint32 mStartTicks = 0;
    fs::path mDir;
    SDL_LogOutputFunction mOldLog = nullptr;
    void* mOldLogData = nullptr;
};

TEST_F(Playback, MoveToAndClickSendTheButtonCommandThatWaitCommandSees)
{
    playToEnd("window Testfenster\n"
              "move_to ok\n"
              "click\n"
              "wait_command button ok 1\n"
              "expect meldung \"OK gedrückt 1\"\n"
              "finish\n");
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished) << mRunner->error();
    EXPECT_TRUE(mLoopOver) << "finish quits the application";
    ASSERT_EQ(mApp->mOkClicks, 1);
    EXPECT_EQ(mApp->mCommands, std::vector<int>{GUI_CMD_BUTTON});
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(Playback, ToggleButtonValuesAreSetCheckedAndAwaited)
{
    playToEnd("set raster 1\n"
              "expect raster 1\n"
              "set raster false\n"
              "expect raster 0\n"
              "move_to raster\n"
              "mouse_down\n"
              "mouse_up\n"
              "wait_value raster 1 1\n"
              "set meldung \"von außen\"\n"
              "expect meldung \"von außen\"\n"
              "finish\n");
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished) << mRunner->error();
}

TEST_F(Playback, KeysTextAndWheelArriveWithTheirModifiers)
{
    playToEnd("key ctrl+s\n"
              "expect taste ctrl+S\n"
              "key shift+Tab\n"
              "expect taste shift+Tab\n"
              "type \"äb\"\n"
              "type c\n"
              "expect text äbc\n"
              "wheel -3\n"
              "wheel 1\n"
              "expect rad -2\n"
              "finish\n");
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished) << mRunner->error();
}

TEST_F(Playback, WaitValueCompletesOnceTheValueChanges)
{
    playToEnd("move_to langsam\n"
              "click\n"
              "wait_value meldung \"Langsam fertig\" 3\n"
              "finish\n");
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished) << mRunner->error();
}

TEST_F(Playback, SecondWindowIsAwaitedSelectedAndAwaitedClosed)
{
    playToEnd("move_to zweitfenster\n"
              "click\n"
              "wait_window Zweitfenster 2\n"
              "window Zweitfenster\n"
              "move_to schliessen\n"
              "click\n"
              "wait_window_closed Zweitfenster 2\n"
              "window Testfenster\n"
              "finish\n");
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished) << mRunner->error();
    EXPECT_EQ(mApp->secondWindow(), nullptr);
}

TEST_F(Playback, MouseUpKeepsObservedCommandsAndInputStepsClearThem)
{
    playToEnd("move_to ok\n"
              "mouse_down\n"
              "mouse_up\n"
              "wait_command 1000 ok 0.5\n"
              "finish\n");
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished) << mRunner->error();

    restart();
    playToEnd("move_to ok\n"
              "click\n"
              "key a\n"
              "wait_command button 0.2\n");
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Failed);
    EXPECT_EQ(mRunner->error(), "Zeile 4: Zeitüberschreitung beim Warten auf Kommando button");
}

struct FailingCase {
    const char* screenplay;
    const char* error;
};

const FailingCase kFailing[] = {
    {"expect gibtsnicht 1", "Zeile 1: Control \"gibtsnicht\" nicht gefunden"},
    {"expect meldung falsch", "Zeile 1: \"meldung\" hat \"\" statt \"falsch\""},
    {"expect ok 1", "Zeile 1: Control \"ok\" hat keinen Wert"},
    {"expect statusleiste Bereit", "Zeile 1: Control \"statusleiste\" hat keinen Wert"},
    {"expect ok.teil 1", "Zeile 1: Control \"ok.teil\" hat keinen Wert"},
    {"expect nix.teil 1", "Zeile 1: Control \"nix.teil\" nicht gefunden"},
    {"set raster vielleicht", "Zeile 1: ungültiger Wert \"vielleicht\" für Control \"raster\""},
    {"set gibtsnicht 1", "Zeile 1: Control \"gibtsnicht\" nicht gefunden"},
    {"wait_value gibtsnicht 1 5", "Zeile 1: Control \"gibtsnicht\" nicht gefunden"},
    {"# Kommentar\nwindow Nirgends", "Zeile 2: Fenster \"Nirgends\" nicht gefunden"},
    {"move_to gibtsnicht", "Zeile 1: Control \"gibtsnicht\" nicht gefunden"},
    {"move_to verdeckt", "Zeile 1: Control \"verdeckt\" nicht erreichbar (Mitte 440,215 trifft GuiLabel \"deckel\")"},
    {"wait_window Nirgends 0.5", "Zeile 1: Zeitüberschreitung bei Öffnen von Fenster \"Nirgends\""},
    {"wait_window_closed Testfenster 0", "Zeile 1: Zeitüberschreitung bei Schließen von Fenster \"Testfenster\""},
    {"wait_command menu 0.3", "Zeile 1: Zeitüberschreitung beim Warten auf Kommando menu"},
    {"wait_value meldung x 0.2", "Zeile 1: Zeitüberschreitung: \"meldung\" hat \"\" statt \"x\""},
    // The selected window goes away: later steps have no window.
    {"move_to zweitfenster\nclick\nwait_window Zweitfenster 2\nwindow Zweitfenster\n"
     "move_to schliessen\nclick\nwait_window_closed Zweitfenster 2\nexpect ok 1",
     "Zeile 8: kein Fenster ausgewählt"},
    {"move_to zweitfenster\nclick\nwait_window Zweitfenster 2\nwindow Zweitfenster\n"
     "move_to schliessen\nclick\nwait_window_closed Zweitfenster 2\nmove 1 1",
     "Zeile 8: kein Fenster ausgewählt"},
    {"move_to zweitfenster\nclick\nwait_window Zweitfenster 2\nwindow Zweitfenster\n"
     "move_to schliessen\nclick\nwait_window_closed Zweitfenster 2\nwheel 1",
     "Zeile 8: kein Fenster ausgewählt"},
};

TEST_F(Playback, FailuresStopWithTheirMessageAndQuitTheApplication)
{
    for (const FailingCase& c : kFailing) {
        SCOPED_TRACE(c.screenplay);
        restart();
        gLog.clear();
        playToEnd(c.screenplay);
        EXPECT_EQ(mRunner->state(), GuiDemoRunner::Failed);
        EXPECT_EQ(mRunner->error(), c.error);
        EXPECT_TRUE(mLoopOver) << "a failure quits the application";
        EXPECT_TRUE(logHas(std::string("Demo-Fehler in ") + c.error));
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    }
}

TEST_F(Playback, EmptyScreenplayFinishesInTheFirstRunningUpdate)
{
    start("# nichts\n");
    ASSERT_TRUE(turn());
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished);
    // Without "finish" the application keeps running.
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(turn());
}

TEST_F(Playback, WaitIsDividedBySpeedButTimeOutsAreNot)
{
    const auto elapsedFor = [&](const std::string& screenplay, double speed) {
        restart();
        start(screenplay, speed);
        while (mRunner->state() == GuiDemoRunner::Idle || mRunner->state() == GuiDemoRunner::Running) {
            if (!turn()) break;
        }
        return static_cast<int>(gTestTicks - mStartTicks);
    };
    const int one = elapsedFor("wait 2\nfinish\n", 1.0);
    const int two = elapsedFor("wait 2\nfinish\n", 2.0);
    EXPECT_NEAR(one, 2000, 3 * kTurnMs);
    EXPECT_NEAR(two, 1000, 3 * kTurnMs);

    const int timeout = elapsedFor("wait_window Nirgends 1\n", 4.0);
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Failed);
    EXPECT_NEAR(timeout, 1000, 3 * kTurnMs);
}

TEST_F(Playback, MovesFollowTheSmoothCurveWithinTheirDurationBounds)
{
    // The pointer starts in the middle of the window; record it every turn.
    start("move 360 180\nmove 2360 180\nwait 1\n");
    ASSERT_TRUE(turn());
    const SDL_Point pos = windowPos(mApp->mainWindow());
    const float x0 = mRunner->cursorX();
    ASSERT_FLOAT_EQ(x0, pos.x + 260.0f) << "pointer starts at the window centre";

    std::vector<std::pair<Uint32, float>> samples;
    const Uint32 t0 = gTestTicks;
    while (turn() && gTestTicks - t0 < 3000) samples.emplace_back(gTestTicks - t0, mRunner->cursorX());

    // 100 pixels at 500 px/s take the lower bound of 0.5 s.
    Uint32 firstDone = 0;
    for (const auto& [t, x] : samples) {
        if (x == pos.x + 360.0f) {
            firstDone = t;
            break;
        }
        // s(p) = (3 - 2p) p^2 sampled a turn late at most.
        const double pLo = std::max(0.0, (t - 2.0 * kTurnMs) / 500.0);
        const double pHi = std::min(1.0, t / 500.0);
        const double lo = x0 + 100 * (3 - 2 * pLo) * pLo * pLo;
        const double hi = x0 + 100 * (3 - 2 * pHi) * pHi * pHi;
        EXPECT_GE(x, lo - 1) << "t=" << t;
        EXPECT_LE(x, hi + 1) << "t=" << t;
    }
    EXPECT_NEAR(static_cast<double>(firstDone), 500.0, 2.0 * kTurnMs);

    // 2000 pixels take the upper bound of 2 s.
    Uint32 secondDone = 0;
    for (const auto& [t, x] : samples) {
        if (x == pos.x + 2360.0f) {
            secondDone = t;
            break;
        }
    }
    EXPECT_NEAR(static_cast<double>(secondDone - firstDone), 2000.0, 3.0 * kTurnMs);
}

TEST_F(Playback, PointerFollowsTheSelectedWindowWhenItMoves)
{
    start("move_to ok 1\nwait 0.5\n");
    AppWindow* w = mApp->mainWindow();
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(turn());
    const SDL_Point before = windowPos(w);
    SDL_SetWindowPosition(w->window, before.x + 40, before.y + 30);
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(turn());
    const SDL_Point after = windowPos(w);
    ASSERT_NE(after.x, before.x) << "the window did not move";
    // The centre of "ok" (20,20 120x30) in window coordinates.
    EXPECT_EQ(std::lround(mRunner->cursorX()) - after.x, 80);
    EXPECT_EQ(std::lround(mRunner->cursorY()) - after.y, 35);
}

TEST_F(Playback, RealKeyPressInterruptsAndStillReachesTheApplication)
{
    start("wait 5\nfinish\n");
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(turn());
    ASSERT_EQ(mRunner->state(), GuiDemoRunner::Running);

    // Real pointer motion is swallowed while the screenplay runs.
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = mApp->mainWindow()->id;
    motion.motion.x = 3;
    motion.motion.y = 4;
    SDL_PushEvent(&motion);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(turn());
    EXPECT_NE(mApp->mainWindow()->main_window->mMouseX, 3);

    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = mApp->mainWindow()->id;
    key.key.state = SDL_PRESSED;
    key.key.keysym.sym = SDLK_x;
    key.key.keysym.scancode = SDL_SCANCODE_X;
    SDL_PushEvent(&key);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(turn());
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Interrupted);
    EXPECT_TRUE(logHas("Demo durch Benutzereingabe unterbrochen"));
    EXPECT_EQ(valueOf("taste"), "X");
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);

    // Interrupted is final: the application runs on and real motion arrives.
    SDL_PushEvent(&motion);
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(turn()) << "an interruption does not quit";
    EXPECT_EQ(mApp->mainWindow()->main_window->mMouseX, 3);
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Interrupted);
}

TEST_F(Playback, ScreenplayWithoutFinishLeavesTheApplicationRunning)
{
    start("move_to ok\nclick\n");
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(turn());
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished);
    EXPECT_EQ(mApp->mOkClicks, 1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    mApp->shutdown();
    play();
    EXPECT_TRUE(mLoopOver);
}

TEST_F(Playback, StartGateHoldsPlaybackUntilTheFileIsRemoved)
{
    const fs::path gate = mDir / "gate";
    std::ofstream(gate) << "x";
    const fs::path idFile = mDir / "window.id";
    setenv("GUI_DEMO_START_GATE", gate.c_str(), 1);
    setenv("GUI_DEMO_WINDOW_ID_FILE", idFile.c_str(), 1);
    start("finish\n");
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(turn());
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Idle);
    // The window id is published while the gate still holds playback back,
    // once (or its absence reported once without X11).
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::string(driver) == "x11")
        EXPECT_TRUE(fs::exists(idFile));
    else
        EXPECT_EQ(logCount("Demo: X11-Fenster-ID nicht verfügbar"), 1);
    unsetenv("GUI_DEMO_WINDOW_ID_FILE");
    fs::remove(gate);
    play();
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished);

    // A gate path that never existed holds nothing back.
    restart();
    setenv("GUI_DEMO_START_GATE", (mDir / "nie").c_str(), 1);
    start("finish\n");
    ASSERT_TRUE(turn());
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished);
}

TEST_F(Playback, ScenesFileRecordsSceneStartsInsteadOfTitles)
{
    const fs::path scenes = mDir / "scenes.txt";
    std::ofstream(scenes) << "alter Inhalt\n";
    setenv("GUI_DEMO_SCENES", scenes.c_str(), 1);
    start("scene \"Erste Szene\"\nwait 1.5\nscene Zweite\nwait 0.1\nfinish\n");
    std::string titleSeen;
    while (turn())
        if (!mRunner->sceneTitle().empty()) titleSeen = mRunner->sceneTitle();
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished);
    EXPECT_EQ(titleSeen, "") << "no title on screen with a scenes file";
    EXPECT_TRUE(logHas("Demo-Szene: Erste Szene"));

    std::ifstream in(scenes);
    std::string line1, line2, extra;
    ASSERT_TRUE(std::getline(in, line1));
    ASSERT_TRUE(std::getline(in, line2));
    EXPECT_FALSE(std::getline(in, extra)) << "the file is truncated at the start";
    const size_t tab1 = line1.find('\t'), tab2 = line2.find('\t');
    ASSERT_NE(tab1, std::string::npos);
    ASSERT_NE(tab2, std::string::npos);
    EXPECT_EQ(line1.substr(tab1 + 1), "Erste Szene");
    EXPECT_EQ(line2.substr(tab2 + 1), "Zweite");
    const int t1 = std::stoi(line1.substr(0, tab1));
    const int t2 = std::stoi(line2.substr(0, tab2));
    EXPECT_NEAR(t2 - t1, 1500, 2 * kTurnMs);
}

TEST_F(Playback, UnwritableScenesFileIsLoggedAndPlaybackGoesOn)
{
    const fs::path scenes = mDir / "fehlt" / "scenes.txt";
    setenv("GUI_DEMO_SCENES", scenes.c_str(), 1);
    playToEnd("scene A\nfinish\n");
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished);
    EXPECT_TRUE(logHas("Demo: Szenendatei " + scenes.string() + " nicht schreibbar"));
}

TEST_F(Playback, TraceLinesDescribeTheObjectUnderThePointer)
{
    setenv("GUI_DEMO_TRACE", "", 1);
    playToEnd("move_to ok\n"
              "move 440 265\n"
              "move -30 -30\n"
              "expect \"meldung\" \"\"\n"
              "finish\n");
    ASSERT_EQ(mRunner->state(), GuiDemoRunner::Finished) << mRunner->error();
    std::vector<std::string> trace;
    for (const std::string& line : gLog)
        if (line.rfind("Demo-Trace ", 0) == 0) trace.push_back(line);
    ASSERT_EQ(trace.size(), 5u);
    const SDL_Point pos = windowPos(mApp->mainWindow());
    const std::string window = "Fenster " + std::to_string(pos.x) + "," + std::to_string(pos.y) + " 520x360";
    const std::regex head(R"(Demo-Trace Zeile (\d+): (.*) \| Frame (\d+), (\d+) ms \| (.*) \| Cursor (-?\d+),(-?\d+) auf (.*))");
    struct Expected {
        const char* line;
        const char* text;
        int x, y;
        const char* what;
    };
    const Expected expected[] = {
        {"1", "move_to ok", 260, 180, "GuiLabel \"text\""},
        {"2", "move 440 265", 80, 35, "GuiButton \"ok\""},
        {"3", "move -30 -30", 440, 265, "GuiButton"},
        {"4", "expect meldung ", -30, -30, "-"},
        {"5", "finish", -30, -30, "-"},
    };
    for (size_t i = 0; i < trace.size(); ++i) {
        SCOPED_TRACE(trace[i]);
        std::smatch m;
        ASSERT_TRUE(std::regex_match(trace[i], m, head));
        EXPECT_EQ(m[1], expected[i].line);
        EXPECT_EQ(m[2], expected[i].text);
        EXPECT_EQ(m[5], window);
        EXPECT_EQ(std::stoi(m[6]), expected[i].x);
        EXPECT_EQ(std::stoi(m[7]), expected[i].y);
        EXPECT_EQ(m[8], expected[i].what);
    }
}

TEST_F(Playback, OverlayDrawsThePointerAndTheSceneTitle)
{
    struct Pixel {
        Uint8 r, g, b;
    };
    std::vector<std::pair<SDL_Point, Pixel>> wanted;
    std::vector<Pixel> got;
    bool titleFrame = false;
    Pixel titleBox{0, 0, 0};
    start("scene \"Hallo Welt\"\nwait 1\nmove 100 100\nwait 1\nfinish\n");
    // A 520 x 360 window gets the smallest title size, 16 pixels; the box
    // reaches 8 pixels above the text.
    int titleWidth = 0, titleHeight = 0;
    {
        TTF_Font* font = GuiOpenFontAtSize(16);
        ASSERT_NE(font, nullptr);
        TTF_SizeUTF8(font, "Hallo Welt", &titleWidth, &titleHeight);
        TTF_CloseFont(font);
    }
    mApp->afterRender = [&](AppWindow* w, SDL_Renderer* r) {
        if (w != mApp->mainWindow() || !mRunner->running()) return;
        auto read = [&](int x, int y) {
            Uint32 px = 0;
            SDL_Rect rect{x, y, 1, 1};
            SDL_RenderReadPixels(r, &rect, SDL_PIXELFORMAT_ARGB8888, &px, 4);
            return Pixel{Uint8(px >> 16), Uint8(px >> 8), Uint8(px)};
        };
        // Mid-scene: the title box darkens the window background (200 grey)
        // near the left end of the box, above the text baseline.
        const Uint32 age = gTestTicks - mStartTicks;
        if (!titleFrame && age > 600 && age < 1500 && !mRunner->sceneTitle().empty()) {
            titleFrame = true;
            titleBox = read(260, static_cast<int>(360 * 0.85) - titleHeight - 4);
        }
        const SDL_Point pos = windowPos(w);
        const int px = std::lround(mRunner->cursorX()) - pos.x;
        const int py = std::lround(mRunner->cursorY()) - pos.y;
        if (px == 100 && py == 100 && got.empty()) {
            got.push_back(read(px, py));          // tip: dark
            got.push_back(read(px + 2, py + 5));  // row 2, column 1: light
            got.push_back(read(px + 19, py + 1)); // row 0, column 9: transparent
        }
    };
    play();
    ASSERT_EQ(mRunner->state(), GuiDemoRunner::Finished);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ((std::tuple(got[0].r, got[0].g, got[0].b)), std::tuple(7, 12, 15));
    EXPECT_EQ((std::tuple(got[1].r, got[1].g, got[1].b)), std::tuple(245, 250, 243));
    EXPECT_EQ((std::tuple(got[2].r, got[2].g, got[2].b)), std::tuple(200, 200, 200));
    ASSERT_TRUE(titleFrame);
    // Black at alpha 153 over grey 200: 200 * (1 - 0.6) = 80.
    EXPECT_NEAR(titleBox.r, 80, 3);
    EXPECT_NEAR(titleBox.g, 80, 3);
}

TEST_F(Playback, ClickHighlightStartsAtTheFullColourAndFades)
{
    // A point on the top edge of the highlight square as it starts
    // (d = 12), left of the pointer picture; plain background otherwise.
    std::vector<std::tuple<Uint32, int, int, int>> samples;
    start("move 250 250\nclick\nwait 1\nfinish\n");
    mApp->afterRender = [&](AppWindow* w, SDL_Renderer* r) {
        if (w != mApp->mainWindow() || !mRunner->running()) return;
        const SDL_Point pos = windowPos(w);
        if (std::lround(mRunner->cursorX()) - pos.x != 250 || std::lround(mRunner->cursorY()) - pos.y != 250) return;
        Uint32 px = 0;
        SDL_Rect rect{250 - 9, 250 - 12, 1, 1};
        SDL_RenderReadPixels(r, &rect, SDL_PIXELFORMAT_ARGB8888, &px, 4);
        samples.emplace_back(gTestTicks, int((px >> 16) & 0xff), int((px >> 8) & 0xff), int(px & 0xff));
    };
    play();
    ASSERT_EQ(mRunner->state(), GuiDemoRunner::Finished);
    ASSERT_FALSE(samples.empty());
    Uint32 pressAt = 0;
    for (const auto& [t, r, g, b] : samples) {
        if (r == 240 && g == 208 && b == 91) {
            pressAt = t;
            break;
        }
    }
    ASSERT_NE(pressAt, 0u) << "no frame shows the fresh highlight";
    for (const auto& [t, r, g, b] : samples) {
        if (t > pressAt && t - pressAt < 300) {
            // The square has grown past this point (or faded on it).
            EXPECT_FALSE(r == 240 && g == 208 && b == 91) << t - pressAt;
        }
        if (t - pressAt > 400 && t > pressAt) {
            EXPECT_EQ(std::tuple(r, g, b), std::tuple(200, 200, 200)) << t - pressAt;
        }
    }
}

TEST_F(Playback, SceneTitleFadesInAndOutAndExpires)
{
    // (age of the scene in ms, grey value inside the title box above the text)
    std::vector<std::pair<int, int>> samples;
    start("scene Titel\nwait 3\nfinish\n");
    int titleWidth = 0, titleHeight = 0;
    {
        TTF_Font* font = GuiOpenFontAtSize(16);
        ASSERT_NE(font, nullptr);
        TTF_SizeUTF8(font, "Titel", &titleWidth, &titleHeight);
        TTF_CloseFont(font);
    }
    mApp->afterRender = [&](AppWindow* w, SDL_Renderer* r) {
        if (w != mApp->mainWindow() || mRunner->sceneTitle().empty()) return;
        Uint32 px = 0;
        SDL_Rect rect{260, static_cast<int>(360 * 0.85) - titleHeight - 4, 1, 1};
        SDL_RenderReadPixels(r, &rect, SDL_PIXELFORMAT_ARGB8888, &px, 4);
        samples.emplace_back(static_cast<int>(gTestTicks - mStartTicks), static_cast<int>((px >> 16) & 0xff));
    };
    ASSERT_TRUE(turn());
    EXPECT_EQ(mRunner->sceneTitle(), "Titel");
    while (turn() && gTestTicks - mStartTicks < 2400) {
    }
    EXPECT_EQ(mRunner->sceneTitle(), "Titel");
    while (turn() && gTestTicks - mStartTicks < 2600) {
    }
    EXPECT_EQ(mRunner->sceneTitle(), "") << "the title is dropped after 2.5 s";

    // Black box at alpha round(153 a) over the grey (200) background, with
    // a = min((2500 - age) / 300, min(age / 300, 1)).
    ASSERT_GT(samples.size(), 100u);
    bool sawFadeIn = false, sawFull = false, sawFadeOut = false;
    for (const auto& [age, grey] : samples) {
        SCOPED_TRACE(age);
        ASSERT_LT(age, 2500);
        const double a = std::min((2500 - age) / 300.0, std::min(age / 300.0, 1.0));
        const long alpha = std::lround(153 * a);
        EXPECT_NEAR(grey, 200 * (255 - alpha) / 255.0, 2.0);
        sawFadeIn |= age > 0 && age < 300;
        sawFull |= age >= 300 && age <= 2200;
        sawFadeOut |= age >= 2390 && age < 2500;
    }
    EXPECT_TRUE(sawFadeIn && sawFull && sawFadeOut);
}

TEST_F(Playback, SceneTitleSizeFollowsTheWindowSize)
{
    // 900 x 660: the smaller of 900 / 18 = 50 and 660 / 22 = 30 gives a
    // 30-pixel title in a box 15 pixels larger on every side.
    start("wait 0.2\nscene Titel\nwait 2\nfinish\n");
    SDL_SetWindowSize(mApp->mainWindow()->window, 900, 660);
    int tw = 0, th = 0;
    {
        TTF_Font* font = GuiOpenFontAtSize(30);
        ASSERT_NE(font, nullptr);
        TTF_SizeUTF8(font, "Titel", &tw, &th);
        TTF_CloseFont(font);
    }
    std::vector<int> column;
    mApp->afterRender = [&](AppWindow* w, SDL_Renderer* r) {
        if (w != mApp->mainWindow() || !column.empty() || mRunner->sceneTitle().empty()) return;
        if (w->w != 900 || gTestTicks - mStartTicks < 1000) return;
        const int x = (900 - tw) / 2 - 10;
        for (int y = 400; y < 660; ++y) {
            Uint32 px = 0;
            SDL_Rect rect{x, y, 1, 1};
            SDL_RenderReadPixels(r, &rect, SDL_PIXELFORMAT_ARGB8888, &px, 4);
            column.push_back(static_cast<int>((px >> 16) & 0xff));
        }
    };
    play();
    ASSERT_EQ(mRunner->state(), GuiDemoRunner::Finished);
    ASSERT_FALSE(column.empty()) << "the window did not take the new size";
    int top = -1, bottom = -1;
    for (int i = 0; i < static_cast<int>(column.size()); ++i) {
        if (std::abs(column[i] - 80) <= 3) {
            if (top < 0) top = 400 + i;
            bottom = 400 + i;
        }
    }
    EXPECT_EQ(top, static_cast<int>(660 * 0.85) - th - 15);
    EXPECT_EQ(bottom - top + 1, th + 30);
}

TEST_F(Playback, WindowIdFileHoldsTheX11IdOfTheMainWindow)
{
    const fs::path idFile = mDir / "window.id";
    setenv("GUI_DEMO_WINDOW_ID_FILE", idFile.c_str(), 1);
    start("wait 0.5\nfinish\n");
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(turn());
    EXPECT_FALSE(fs::exists(idFile.string() + ".tmp"));
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::string(driver) != "x11") {
        play();
        EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished);
        EXPECT_EQ(logCount("Demo: X11-Fenster-ID nicht verfügbar (" + idFile.string() + ")"), 1);
        EXPECT_FALSE(fs::exists(idFile));
        return;
    }
    std::ifstream in(idFile);
    unsigned long id = 0;
    ASSERT_TRUE(in >> id);

    // The X server's own answer for the window with that title.
    FILE* pipe = popen("xwininfo -name Testfenster 2>&1", "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buf[256];
    while (fgets(buf, sizeof buf, pipe)) out += buf;
    pclose(pipe);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(out, m, std::regex("Window id: (0x[0-9a-f]+)"))) << out;
    EXPECT_EQ(id, std::stoul(m[1].str(), nullptr, 16));

    play();
    EXPECT_EQ(mRunner->state(), GuiDemoRunner::Finished);
    EXPECT_EQ(logCount("Demo: X11-Fenster-ID"), 0);
}

} // namespace
