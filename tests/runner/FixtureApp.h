// FixtureApp: a small application on the GUI engine for screenplay tests. Its
// main window "Testfenster" holds named push buttons, a toggle button, labels
// that show what the keyboard, text input and wheel delivered, a widget that
// another one covers, and a status bar; a button opens a second window
// "Zweitfenster" whose own button closes it again.
// Owned by whoever creates it (a test, or the fixture executable's entry
// steps); the engine base owns the windows.
#pragma once

#include "GuiEngine.h"

#include <functional>
#include <string>
#include <vector>

class GuiLabel;
class GuiStatusBar;

class FixtureApp : public GuiEngine {
public:
    // Button ids of the fixture.
    enum {
        ID_OK = 1,
        ID_OPEN_SECOND = 2,
        ID_TOGGLE = 3,
        ID_COVERED = 4,
        ID_CLOSE_SECOND = 5,
        ID_SLOW = 6,
    };

    static constexpr const char* kMainTitle = "Testfenster";
    static constexpr const char* kSecondTitle = "Zweitfenster";

    FixtureApp();
    ~FixtureApp() override;

    void onFrame(AppWindow* window) override;
    void onEvent(AppWindow* window, GuiEvent& event) override;

    // Called after the widget tree (and the screenplay overlay) was drawn and
    // before the frame is presented, so tests can read pixels back.
    std::function<void(AppWindow*, SDL_Renderer*)> afterRender;

    AppWindow* mainWindow() const { return mMain; }
    AppWindow* secondWindow() const { return mSecond; }

    // Every command id the application received, in order.
    std::vector<int> mCommands;
    // Raw key-down events that reached the application (after the runner).
    int mKeyDowns = 0;
    int mOkClicks = 0;

private:
    void openSecond();
    void onCommand(const GuiEvent& event);
    void onRaw(AppWindow* window, const SDL_Event& e);

    AppWindow* mMain = nullptr;
    AppWindow* mSecond = nullptr;
    GuiLabel* mMessage = nullptr;
    GuiLabel* mKeyLabel = nullptr;
    GuiLabel* mTextLabel = nullptr;
    GuiLabel* mWheelLabel = nullptr;
    GuiStatusBar* mStatus = nullptr;
    int mWheelSum = 0;
    int mSlowCountdown = -1;
};
