// GuiDemoRunner: plays a screenplay (a small line-oriented script of pointer
// moves, clicks, keys, waits and value checks) against the application's own
// windows by injecting synthetic SDL events into the engine.
// Owned by whoever creates it (the entry point keeps it on the stack); the
// engine only refers to it through setDemoRunner() and never deletes it.
//
// The runner reaches into the engine's public members: it appends to
// mInjectedEvents, looks windows up in mWindows, sets mQuitRequested and asks
// activeAppWindow().
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstddef>
#include <string>
#include <vector>

class GuiEngine;
class GuiObject;
struct AppWindow;
struct GuiEvent;

class GuiDemoRunner {
public:
    // Commands of the screenplay language; the value is the row of the
    // command table in the loader.
    enum class Command : int {
        Scene = 0,
        Wait = 1,
        Window = 2,
        Move = 3,
        MoveTo = 4,
        MouseSpeed = 5,
        Click = 6,
        MouseDown = 7,
        MouseUp = 8,
        Wheel = 9,
        Key = 10,
        Type = 11,
        WaitWindow = 12,
        WaitWindowClosed = 13,
        WaitCommand = 14,
        Set = 15,
        Expect = 16,
        WaitValue = 17,
        Finish = 18,
    };

    // Playback state. Finished, Failed and Interrupted are final.
    // (Unscoped so that both GuiDemoRunner::Failed and
    // GuiDemoRunner::State::Failed can be written.)
    enum State : int {
        Idle = 0,
        Running = 1,
        Finished = 2,
        Failed = 3,
        Interrupted = 4,
    };

    // One parsed screenplay line.
    struct Step {
        Command command;
        std::vector<std::string> args; // tokens after the command word, unquoted
        int line;                       // 1-based line number in the screenplay
    };

    // One command event observed while running.
    struct Seen {
        int cmd;            // command id of the dispatched event
        std::string source; // name of the source control or menu item; may be empty
    };

    // Reads GUI_DEMO_TRACE, GUI_DEMO_SCENES, GUI_DEMO_START_GATE and
    // GUI_DEMO_WINDOW_ID_FILE from the environment. The engine is not owned.
    explicit GuiDemoRunner(GuiEngine* engine);
    ~GuiDemoRunner();

    GuiDemoRunner(const GuiDemoRunner&) = delete;
    GuiDemoRunner& operator=(const GuiDemoRunner&) = delete;

    // Loading. load() reads the whole file; on a read failure the previous
    // steps stay and error() names the path. loadFromString() replaces the
    // steps; on the first bad line it leaves no steps and sets error() to
    // "Zeile N: <message>". Neither throws.
    bool load(const std::string& path);
    bool loadFromString(const std::string& text);
    const std::vector<Step>& steps() const { return mSteps; }
    const std::string& error() const { return mError; }

    // Speed factor: durations of waits, moves and clicks are divided by it.
    void setSpeed(double speed) { mSpeed = speed; }
    double speed() const { return mSpeed; }

    State state() const { return mState; }
    bool running() const { return mState == Running; }
    const std::string& sceneTitle() const { return mSceneTitle; }

    // Virtual pointer in desktop coordinates.
    float cursorX() const { return mCursorX; }
    float cursorY() const { return mCursorY; }

    // --- Engine hooks ---------------------------------------------------
    // Called once per loop turn, after the turn's event was routed.
    void update(Uint32 ticks);
    // Asked for every real (not injected) event; false drops the event.
    bool acceptRealEvent(const SDL_Event& event);
    // Called by GuiWindow::dispatchCommand before the application sees it.
    void observeCommand(const GuiEvent& event);
    // Called by every root window at the end of its render.
    void drawOverlay(AppWindow* window, SDL_Renderer* renderer);
    // Closes the overlay font; called by the engine's destructor and on stop.
    void releaseFonts();

private:
    bool parseLine(const std::string& line, int lineNo);

    void startStep(const Step& step);
    // Handles a started step; returns true when it completed (and advanced).
    bool continueStep(const Step& step, double p);
    void advance();
    void fail(const std::string& message);
    void stop(State state);

    AppWindow* window() const;
    AppWindow* findWindow(const std::string& title) const;
    bool toWindow(float x, float y, int& wx, int& wy) const;
    void followWindow();
    void setCursor(float x, float y);
    void pushButton(int button, bool down);
    void pushKey(const std::string& combo);
    void inject(const SDL_Event& event);
    bool injectedQueueEmpty() const;

    bool startMove(const Step& step);
    bool valueTarget(const std::string& name, GuiObject*& object, std::string& part);
    bool valueOf(const std::string& name, std::string& out);

    bool isPopup(AppWindow* window, const GuiObject* object) const;
    std::string describeObject(AppWindow* window, int x, int y) const;
    std::string whatIsHit(AppWindow* window, const SDL_Rect& rect) const;
    void trace(const Step& step) const;
    void logScene(const std::string& title) const;
    void writeWindowId();
    void drawSceneTitle(AppWindow* window, SDL_Renderer* renderer);

    GuiEngine* mEngine;
    std::vector<Step> mSteps;
    std::string mError;
    State mState = Idle;
    double mSpeed = 1.0;
    double mMouseSpeed = 500.0;
    size_t mIndex = 0;
    bool mStarted = false;
    bool mTrace = false;
    std::string mScenesPath;
    std::string mStartGate;
    std::string mWindowIdPath;
    bool mWindowIdWritten = false;
    Uint32 mStartTicks = 0;
    Uint32 mLastTicks = 0;
    Uint32 mFrames = 0;
    double mElapsed = 0;
    double mDuration = 0;
    Uint32 mWindowId = 0;
    float mCursorX = 0, mCursorY = 0;
    float mStartX = 0, mStartY = 0;
    float mTargetX = 0, mTargetY = 0;
    Uint32 mFollowedWindow = 0;
    int mFollowedX = 0, mFollowedY = 0;
    Uint32 mButtons = 0;
    double mClickPulse = 0;
    std::string mSceneTitle;
    Uint32 mSceneTicks = 0;
    TTF_Font* mTitleFont = nullptr;
    int mTitleFontSize = 0;
    std::vector<Seen> mSeenCommands;
};
