// Screenplay runner: loader, playback with synthetic input, tracing and the
// on-screen overlay.
#include "GuiDemoRunner.h"

#include "GuiEngine.h"
#include "GuiMenu.h"
#include "GuiMenuItem.h"
#include "GuiWindow.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Command = GuiDemoRunner::Command;

struct CommandRow {
    const char* word;
    Command command;
    int minArgs;
    int maxArgs;
};

// The screenplay commands; the index of a row equals its Command value.
const CommandRow COMMANDS[] = {
    {"scene", Command::Scene, 1, 1},
    {"wait", Command::Wait, 1, 1},
    {"window", Command::Window, 1, 1},
    {"move", Command::Move, 2, 3},
    {"move_to", Command::MoveTo, 1, 2},
    {"mouse_speed", Command::MouseSpeed, 1, 1},
    {"click", Command::Click, 0, 1},
    {"mouse_down", Command::MouseDown, 0, 1},
    {"mouse_up", Command::MouseUp, 0, 1},
    {"wheel", Command::Wheel, 1, 1},
    {"key", Command::Key, 1, 1},
    {"type", Command::Type, 1, 1},
    {"wait_window", Command::WaitWindow, 2, 2},
    {"wait_window_closed", Command::WaitWindowClosed, 2, 2},
    {"wait_command", Command::WaitCommand, 2, 3},
    {"set", Command::Set, 2, 2},
    {"expect", Command::Expect, 2, 2},
    {"wait_value", Command::WaitValue, 3, 3},
    {"finish", Command::Finish, 0, 0},
};

struct GuiCommandName {
    const char* name;
    int id;
};

// Names that "wait_command" accepts for the toolkit's command ids.
const GuiCommandName GUI_COMMANDS[] = {
    {"button", 1000},
    {"menu", 1001},
    {"image_panel", 1002},
    {"combobox_changed", 1003},
    {"slider_changed", 1004},
    {"modal_closed", 9999},
    {"propertygrid_changed", 1015},
    {"treelist_selected", 1016},
    {"treelist_expanded", 1017},
};

// Longest text a single "type" step may carry (SDL's text-input event holds
// 32 bytes including the terminator).
constexpr size_t MAX_TYPE_BYTES = 31;

// Click highlight duration in seconds and the press-to-release time of "click".
constexpr double CLICK_PULSE = 0.35;
constexpr double CLICK_HOLD = 0.12;

// Scene title timing in milliseconds.
constexpr Uint32 SCENE_SHOW_MS = 2500;
constexpr double SCENE_FADE_MS = 300.0;

const char* commandWord(Command c) {
    return COMMANDS[static_cast<int>(c)].word;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Durations, time-outs and speeds: a whole token read as a double in the
// classic locale, not negative.
bool parseNumber(const std::string& token, double& out) {
    if (token.empty()) return false;
    std::istringstream in(token);
    in.imbue(std::locale::classic());
    double value = 0;
    in >> value;
    if (in.fail()) return false;
    if (in.peek() != std::char_traits<char>::eof()) return false;
    if (!(value >= 0)) return false;
    out = value;
    return true;
}

// Coordinates, wheel steps and numeric command ids: strtol base 10 over the
// whole token. Values outside the int range are refused, since events and
// window coordinates carry ints.
bool parseInteger(const std::string& token, long& out) {
    if (token.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(token.c_str(), &end, 10);
    if (end == token.c_str() || *end != '\0') return false;
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
    out = value;
    return true;
}

bool parseButton(const std::vector<std::string>& args, int& button) {
    if (args.empty() || args[0] == "left") {
        button = SDL_BUTTON_LEFT;
        return true;
    }
    if (args[0] == "middle") {
        button = SDL_BUTTON_MIDDLE;
        return true;
    }
    if (args[0] == "right") {
        button = SDL_BUTTON_RIGHT;
        return true;
    }
    return false;
}

// "ctrl+shift+Tab": modifier words joined by "+", then a key name that SDL
// knows. A "+" that is the last character belongs to the key name.
bool parseKeyCombo(const std::string& combo, SDL_Keycode& key, Uint16& mod) {
    std::string rest = combo;
    Uint16 modifiers = KMOD_NONE;
    for (;;) {
        size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 == rest.size()) break;
        std::string word = rest.substr(0, plus);
        if (word == "ctrl") {
            modifiers |= KMOD_LCTRL;
        } else if (word == "shift") {
            modifiers |= KMOD_LSHIFT;
        } else if (word == "alt") {
            modifiers |= KMOD_LALT;
        } else {
            return false;
        }
        rest = rest.substr(plus + 1);
    }
    if (rest.empty()) return false;
    SDL_Keycode k = SDL_GetKeyFromName(rest.c_str());
    if (k == SDLK_UNKNOWN) return false;
    key = k;
    mod = modifiers;
    return true;
}

bool commandIdOf(const std::string& text, int& id) {
    for (const GuiCommandName& row : GUI_COMMANDS) {
        if (text == row.name) {
            id = row.id;
            return true;
        }
    }
    long value = 0;
    if (!parseInteger(text, value)) return false;
    id = static_cast<int>(value);
    return true;
}

// Splits one line into tokens; false (with the message) on an unclosed quote.
bool tokenize(const std::string& line, std::vector<std::string>& tokens, std::string& message) {
    size_t i = 0;
    const size_t n = line.size();
    while (true) {
        while (i < n && isBlank(line[i])) ++i;
        if (i >= n) return true;
        std::string token;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < n) {
                char c = line[i];
                if (c == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (c == '\\' && i + 1 < n) {
                    char next = line[i + 1];
                    if (next == '"') {
                        token += '"';
                        i += 2;
                        continue;
                    }
                    if (next == '\\') {
                        token += "\\\\";
                        i += 2;
                        continue;
                    }
                }
                token += c;
                ++i;
            }
            if (!closed) {
                message = "Anführungszeichen nicht geschlossen";
                return false;
            }
        } else {
            while (i < n && !isBlank(line[i])) token += line[i++];
        }
        tokens.push_back(std::move(token));
    }
}

SDL_Point windowPosition(const AppWindow* w) {
    SDL_Point p{0, 0};
    if (w && w->window) SDL_GetWindowPosition(w->window, &p.x, &p.y);
    return p;
}

// Pointer picture: 15 rows of 10 cells, each drawn as a 2 x 2 square.
const char* const CURSOR_ROWS[15] = {
    "X.........", "XX........", "XOX.......", "XOOX......", "XOOOX.....",
    "XOOOOX....", "XOOOOOX...", "XOOOOOOX..", "XOOOOOOOX.", "XOOOOXXXXX",
    "XOOXOOX...", "XOX.XOOX..", "XX..XOOX..", "X....XOOX.", "......XX..",
};

} // namespace

GuiDemoRunner::GuiDemoRunner(GuiEngine* engine) : mEngine(engine) {
    mTrace = std::getenv("GUI_DEMO_TRACE") != nullptr;
    if (const char* s = std::getenv("GUI_DEMO_SCENES")) mScenesPath = s;
    if (const char* s = std::getenv("GUI_DEMO_START_GATE")) mStartGate = s;
    if (const char* s = std::getenv("GUI_DEMO_WINDOW_ID_FILE")) mWindowIdPath = s;
}

GuiDemoRunner::~GuiDemoRunner() {
    // The engine normally released the font already; closing a font after
    // TTF_Quit would touch freed FreeType state, so only close while SDL_ttf
    // is still up.
    if (mTitleFont && TTF_WasInit() > 0) releaseFonts();
}

// ---------------------------------------------------------------------------
// Loader

bool GuiDemoRunner::load(const std::string& path) {
    struct stat st;
    size_t size = 0;
    void* data = nullptr;
    // A directory opens like a file but reads as nothing; refuse it instead
    // of playing an empty screenplay.
    if (stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
        data = SDL_LoadFile(path.c_str(), &size);
    }
    if (!data) {
        mError = "Drehbuch nicht lesbar: " + path;
        return false;
    }
    std::string text(static_cast<const char*>(data), size);
    SDL_free(data);
    return loadFromString(text);
}

bool GuiDemoRunner::loadFromString(const std::string& text) {
    mSteps.clear();
    mError.clear();
    size_t pos = 0;
    int lineNo = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        ++lineNo;
        if (!parseLine(text.substr(pos, end - pos), lineNo)) {
            mSteps.clear();
            return false;
        }
        pos = end + 1;
    }
    return true;
}

bool GuiDemoRunner::parseLine(const std::string& line, int lineNo) {
    std::vector<std::string> tokens;
    std::string message;
    auto failLine = [&](const std::string& msg) {
        mError = "Zeile " + std::to_string(lineNo) + ": " + msg;
        return false;
    };
    if (!tokenize(line, tokens, message)) return failLine(message);
    if (tokens.empty() || tokens[0][0] == '#') return true;

    const CommandRow* row = nullptr;
    for (const CommandRow& r : COMMANDS) {
        if (tokens[0] == r.word) {
            row = &r;
            break;
        }
    }
    if (!row) return failLine("unbekannter Befehl " + tokens[0]);

    std::vector<std::string> args(tokens.begin() + 1, tokens.end());
    const int count = static_cast<int>(args.size());
    if (count < row->minArgs || count > row->maxArgs)
        return failLine(std::string("falsche Anzahl Argumente für ") + row->word);

    double number = 0;
    long integer = 0;
    switch (row->command) {
    case Command::Wait:
        if (!parseNumber(args[0], number)) return failLine("ungültige Zeit");
        break;
    case Command::Move:
        if (!parseInteger(args[0], integer) || !parseInteger(args[1], integer))
            return failLine("ungültige Koordinate");
        if (count == 3 && !parseNumber(args[2], number)) return failLine("ungültige Zeit");
        break;
    case Command::MoveTo:
        if (count == 2 && !parseNumber(args[1], number)) return failLine("ungültige Zeit");
        break;
    case Command::MouseSpeed:
        if (!parseNumber(args[0], number) || !(number > 0))
            return failLine("ungültige Geschwindigkeit");
        break;
    case Command::Click:
    case Command::MouseDown:
    case Command::MouseUp: {
        int button = 0;
        if (!parseButton(args, button)) return failLine("unbekannte Maustaste " + args[0]);
        break;
    }
    case Command::Wheel:
        if (!parseInteger(args[0], integer)) return failLine("ungültige Schrittzahl");
        break;
    case Command::Key: {
        SDL_Keycode key = SDLK_UNKNOWN;
        Uint16 mod = 0;
        if (!parseKeyCombo(args[0], key, mod)) return failLine("unbekannte Taste " + args[0]);
        break;
    }
    case Command::Type:
        if (args[0].size() > MAX_TYPE_BYTES) return failLine("Text zu lang");
        break;
    case Command::WaitWindow:
    case Command::WaitWindowClosed:
    case Command::WaitCommand:
    case Command::WaitValue: {
        if (!parseNumber(args.back(), number)) return failLine("ungültige Zeit");
        int id = 0;
        if (row->command == Command::WaitCommand && !commandIdOf(args[0], id))
            return failLine("unbekanntes Kommando " + args[0]);
        break;
    }
    case Command::Scene:
    case Command::Window:
    case Command::Set:
    case Command::Expect:
    case Command::Finish:
        break;
    }

    mSteps.push_back(Step{row->command, std::move(args), lineNo});
    return true;
}

// ---------------------------------------------------------------------------
// Engine access

void GuiDemoRunner::inject(const SDL_Event& event) {
    mEngine->mInjectedEvents.push_back(event);
}

bool GuiDemoRunner::injectedQueueEmpty() const {
    return mEngine->mInjectedEvents.empty();
}

AppWindow* GuiDemoRunner::window() const {
    if (mWindowId == 0) return nullptr;
    auto it = mEngine->mWindows.find(mWindowId);
    if (it == mEngine->mWindows.end()) return nullptr;
    return it->second;
}

AppWindow* GuiDemoRunner::findWindow(const std::string& title) const {
    for (const auto& entry : mEngine->mWindows) {
        if (entry.second && entry.second->title == title) return entry.second;
    }
    return nullptr;
}

bool GuiDemoRunner::toWindow(float x, float y, int& wx, int& wy) const {
    AppWindow* w = window();
    if (!w || !w->window) return false;
    SDL_Point pos = windowPosition(w);
    wx = static_cast<int>(std::lround(x)) - pos.x;
    wy = static_cast<int>(std::lround(y)) - pos.y;
    return true;
}

void GuiDemoRunner::followWindow() {
    AppWindow* w = window();
    if (!w || !w->window) {
        mFollowedWindow = 0;
        return;
    }
    SDL_Point pos = windowPosition(w);
    if (mFollowedWindow == w->id) {
        const int dx = pos.x - mFollowedX;
        const int dy = pos.y - mFollowedY;
        if (dx != 0 || dy != 0) {
            mCursorX += dx;
            mCursorY += dy;
            mStartX += dx;
            mStartY += dy;
            mTargetX += dx;
            mTargetY += dy;
        }
    }
    mFollowedWindow = w->id;
    mFollowedX = pos.x;
    mFollowedY = pos.y;
}

void GuiDemoRunner::setCursor(float x, float y) {
    int oldX = 0, oldY = 0, newX = 0, newY = 0;
    const bool oldOk = toWindow(mCursorX, mCursorY, oldX, oldY);
    mCursorX = x;
    mCursorY = y;
    const bool newOk = toWindow(mCursorX, mCursorY, newX, newY);
    if (!oldOk || !newOk || (oldX == newX && oldY == newY)) return;
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_MOUSEMOTION;
    e.motion.timestamp = 0;
    e.motion.windowID = mWindowId;
    e.motion.which = 0;
    e.motion.state = mButtons;
    e.motion.x = newX;
    e.motion.y = newY;
    e.motion.xrel = newX - oldX;
    e.motion.yrel = newY - oldY;
    inject(e);
}

void GuiDemoRunner::pushButton(int button, bool down) {
    int x = 0, y = 0;
    if (!toWindow(mCursorX, mCursorY, x, y)) return;
    SDL_Event e;
    SDL_zero(e);
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.timestamp = 0;
    e.button.windowID = mWindowId;
    e.button.which = 0;
    e.button.button = static_cast<Uint8>(button);
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    const Uint32 bit = 1u << (button - 1);
    if (down) {
        mButtons |= bit;
        mClickPulse = CLICK_PULSE;
    } else {
        mButtons &= ~bit;
    }
    inject(e);
}

void GuiDemoRunner::pushKey(const std::string& combo) {
    SDL_Keycode key = SDLK_UNKNOWN;
    Uint16 mod = 0;
    if (!parseKeyCombo(combo, key, mod)) return;
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_KEYDOWN;
    e.key.timestamp = 0;
    e.key.windowID = mWindowId;
    e.key.state = SDL_PRESSED;
    e.key.repeat = 0;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    e.key.keysym.mod = mod;
    inject(e);
    e.type = SDL_KEYUP;
    e.key.state = SDL_RELEASED;
    inject(e);
}

// ---------------------------------------------------------------------------
// Playback

bool GuiDemoRunner::acceptRealEvent(const SDL_Event& event) {
    if (mState != Running) return true;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_MOUSEBUTTONDOWN:
        SDL_Log("Demo durch Benutzereingabe unterbrochen");
        stop(Interrupted);
        return true;
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
        return false;
    default:
        return true;
    }
}

void GuiDemoRunner::observeCommand(const GuiEvent& event) {
    if (mState != Running) return;
    Seen seen{event.cmd.cmd_id, std::string()};
    GuiObject* source = event.cmd.source;
    if (source) {
        seen.source = source->mName;
        if (auto* menu = dynamic_cast<GuiMenu*>(source)) {
            for (const GuiMenuItem* item : menu->mItems) {
                if (item && item->mId == event.cmd.source_id) seen.source = item->mName;
            }
        }
    }
    mSeenCommands.push_back(std::move(seen));
}

void GuiDemoRunner::advance() {
    ++mIndex;
    mStarted = false;
}

void GuiDemoRunner::fail(const std::string& message) {
    const int line = mIndex < mSteps.size() ? mSteps[mIndex].line : 0;
    mError = "Zeile " + std::to_string(line) + ": " + message;
    SDL_Log("Demo-Fehler in %s", mError.c_str());
    stop(Failed);
    mEngine->mQuitRequested = true;
}

void GuiDemoRunner::stop(State state) {
    static const int buttons[] = {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT};
    for (int b : buttons) {
        if (mButtons & (1u << (b - 1))) pushButton(b, false);
    }
    mButtons = 0;
    mState = state;
    mSceneTitle.clear();
    releaseFonts();
    SDL_ShowCursor(SDL_ENABLE);
}

void GuiDemoRunner::update(Uint32 ticks) {
    if (mState == Finished || mState == Failed || mState == Interrupted) return;

    if (mState == Idle) {
        if (!mWindowIdPath.empty() && !mWindowIdWritten) writeWindowId();
        if (!mStartGate.empty()) {
            if (FILE* gate = std::fopen(mStartGate.c_str(), "r")) {
                std::fclose(gate);
                return;
            }
        }
        mState = Running;
        mStartTicks = mLastTicks = ticks;
        if (!mScenesPath.empty()) {
            FILE* f = std::fopen(mScenesPath.c_str(), "w");
            if (!f || std::fclose(f) != 0)
                SDL_Log("Demo: Szenendatei %s nicht schreibbar", mScenesPath.c_str());
        }
        AppWindow* w = MainAppWindow ? MainAppWindow : mEngine->activeAppWindow();
        if (w && w->window) {
            mWindowId = w->id;
            SDL_Point pos = windowPosition(w);
            int ww = 0, wh = 0;
            SDL_GetWindowSize(w->window, &ww, &wh);
            mCursorX = static_cast<float>(pos.x + ww / 2);
            mCursorY = static_cast<float>(pos.y + wh / 2);
        }
        SDL_ShowCursor(SDL_DISABLE);
    }

    // Running.
    followWindow();
    double dt = static_cast<Uint32>(ticks - mLastTicks) / 1000.0;
    if (dt > 0.05) dt = 0.05;
    mLastTicks = ticks;
    ++mFrames;
    mClickPulse = std::max(0.0, mClickPulse - dt);
    if (mStarted) mElapsed += dt;

    while (mState == Running) {
        if (!mStarted) {
            if (!injectedQueueEmpty()) return;
            if (mIndex >= mSteps.size()) {
                stop(Finished);
                return;
            }
            mStarted = true;
            mElapsed = 0;
            startStep(mSteps[mIndex]);
            continue;
        }
        double p = mDuration > 0 ? mElapsed / mDuration : 1.0;
        if (mDuration <= 0 || p > 1) p = 1;
        if (!continueStep(mSteps[mIndex], p)) return;
    }
}

bool GuiDemoRunner::startMove(const Step& step) {
    AppWindow* w = window();
    if (!w || !w->window) {
        fail("kein Fenster ausgewählt");
        return false;
    }
    followWindow();
    mStartX = mCursorX;
    mStartY = mCursorY;
    const SDL_Point pos = windowPosition(w);
    bool explicitDuration = false;
    double duration = 0;
    if (step.command == Command::Move) {
        long x = 0, y = 0;
        parseInteger(step.args[0], x);
        parseInteger(step.args[1], y);
        mTargetX = static_cast<float>(pos.x + static_cast<double>(x));
        mTargetY = static_cast<float>(pos.y + static_cast<double>(y));
        if (step.args.size() == 3) explicitDuration = parseNumber(step.args[2], duration);
    } else {
        const std::string& name = step.args[0];
        GuiWindow* root = w->main_window;
        GuiObject* object = root ? root->findByName(name) : nullptr;
        SDL_Rect rect{0, 0, 0, 0};
        if (object) {
            rect = SDL_Rect{object->mX, object->mY, object->mWidth, object->mHeight};
        } else if (!root || !root->findPart(name, object, rect) || !object) {
            fail("Control \"" + name + "\" nicht gefunden");
            return false;
        }
        GuiLocation location;
        if (!root->locate(object, rect, location)) {
            fail("Control \"" + name + "\" nicht erreichbar" + whatIsHit(w, rect));
            return false;
        }
        mTargetX = static_cast<float>(location.center.x + pos.x);
        mTargetY = static_cast<float>(location.center.y + pos.y);
        if (step.args.size() == 2) explicitDuration = parseNumber(step.args[1], duration);
    }
    if (!explicitDuration) {
        const double dx = mTargetX - mStartX;
        const double dy = mTargetY - mStartY;
        duration = std::clamp(std::sqrt(dx * dx + dy * dy) / mMouseSpeed, 0.5, 2.0);
    }
    mDuration = duration / mSpeed;
    return true;
}

void GuiDemoRunner::startStep(const Step& step) {
    if (mTrace) trace(step);
    mDuration = 0;
    const auto& a = step.args;
    switch (step.command) {
    case Command::Scene:
        SDL_Log("Demo-Szene: %s", a[0].c_str());
        if (!mScenesPath.empty()) {
            logScene(a[0]);
        } else {
            mSceneTitle = a[0];
            mSceneTicks = mLastTicks;
        }
        advance();
        break;
    case Command::Wait: {
        double seconds = 0;
        parseNumber(a[0], seconds);
        mDuration = seconds / mSpeed;
        break;
    }
    case Command::Window: {
        AppWindow* w = findWindow(a[0]);
        if (!w) {
            fail("Fenster \"" + a[0] + "\" nicht gefunden");
            return;
        }
        mWindowId = w->id;
        followWindow();
        advance();
        break;
    }
    case Command::Move:
    case Command::MoveTo:
        startMove(step);
        break;
    case Command::MouseSpeed: {
        double speed = 0;
        if (parseNumber(a[0], speed) && speed > 0) mMouseSpeed = speed;
        advance();
        break;
    }
    case Command::Click: {
        int button = SDL_BUTTON_LEFT;
        parseButton(a, button);
        mSeenCommands.clear();
        pushButton(button, true);
        mDuration = CLICK_HOLD / mSpeed;
        break;
    }
    case Command::MouseDown: {
        int button = SDL_BUTTON_LEFT;
        parseButton(a, button);
        mSeenCommands.clear();
        pushButton(button, true);
        advance();
        break;
    }
    case Command::MouseUp: {
        int button = SDL_BUTTON_LEFT;
        parseButton(a, button);
        pushButton(button, false);
        advance();
        break;
    }
    case Command::Wheel: {
        int x = 0, y = 0;
        if (!toWindow(mCursorX, mCursorY, x, y)) {
            fail("kein Fenster ausgewählt");
            return;
        }
        long steps = 0;
        parseInteger(a[0], steps);
        mSeenCommands.clear();
        SDL_Event e;
        SDL_zero(e);
        e.type = SDL_MOUSEWHEEL;
        e.wheel.timestamp = 0;
        e.wheel.windowID = mWindowId;
        e.wheel.which = 0;
        e.wheel.x = 0;
        e.wheel.y = static_cast<Sint32>(steps);
        e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        e.wheel.mouseX = x;
        e.wheel.mouseY = y;
        inject(e);
        advance();
        break;
    }
    case Command::Key:
        mSeenCommands.clear();
        pushKey(a[0]);
        advance();
        break;
    case Command::Type: {
        mSeenCommands.clear();
        SDL_Event e;
        SDL_zero(e);
        e.type = SDL_TEXTINPUT;
        e.text.timestamp = 0;
        e.text.windowID = mWindowId;
        const size_t n = std::min(a[0].size(), sizeof(e.text.text) - 1);
        std::memcpy(e.text.text, a[0].data(), n);
        e.text.text[n] = '\0';
        inject(e);
        advance();
        break;
    }
    case Command::WaitWindow:
    case Command::WaitWindowClosed:
    case Command::WaitCommand:
    case Command::WaitValue: {
        double timeout = 0;
        parseNumber(a.back(), timeout);
        mDuration = timeout;
        break;
    }
    case Command::Set: {
        std::string current;
        if (!valueOf(a[0], current)) return;
        GuiObject* object = nullptr;
        std::string part;
        if (!valueTarget(a[0], object, part)) return;
        mSeenCommands.clear();
        const bool ok = part.empty() ? object->setValueText(a[1]) : object->setValueTextOf(part, a[1]);
        if (!ok) {
            fail("ungültiger Wert \"" + a[1] + "\" für Control \"" + a[0] + "\"");
            return;
        }
        advance();
        break;
    }
    case Command::Expect: {
        std::string actual;
        if (!valueOf(a[0], actual)) return;
        if (actual != a[1]) {
            fail("\"" + a[0] + "\" hat \"" + actual + "\" statt \"" + a[1] + "\"");
            return;
        }
        advance();
        break;
    }
    case Command::Finish:
        stop(Finished);
        mEngine->mQuitRequested = true;
        break;
    }
}

bool GuiDemoRunner::continueStep(const Step& step, double p) {
    const auto& a = step.args;
    switch (step.command) {
    case Command::Wait:
        if (p < 1) return false;
        break;
    case Command::Move:
    case Command::MoveTo:
        if (p >= 1) {
            setCursor(mTargetX, mTargetY);
        } else {
            const double s = (3.0 - 2.0 * p) * p * p;
            setCursor(static_cast<float>(mStartX + (mTargetX - mStartX) * s),
                      static_cast<float>(mStartY + (mTargetY - mStartY) * s));
            return false;
        }
        break;
    case Command::Click:
        if (p < 1) return false;
        {
            int button = SDL_BUTTON_LEFT;
            parseButton(a, button);
            pushButton(button, false);
        }
        break;
    case Command::WaitWindow:
        if (!findWindow(a[0])) {
            if (p < 1) return false;
            fail("Zeitüberschreitung bei Öffnen von Fenster \"" + a[0] + "\"");
            return false;
        }
        break;
    case Command::WaitWindowClosed:
        if (findWindow(a[0])) {
            if (p < 1) return false;
            fail("Zeitüberschreitung bei Schließen von Fenster \"" + a[0] + "\"");
            return false;
        }
        break;
    case Command::WaitCommand: {
        int id = 0;
        commandIdOf(a[0], id);
        const bool withSource = a.size() == 3;
        const bool seen = std::any_of(mSeenCommands.begin(), mSeenCommands.end(), [&](const Seen& s) {
            return s.cmd == id && (!withSource || s.source == a[1]);
        });
        if (!seen) {
            if (p < 1) return false;
            fail("Zeitüberschreitung beim Warten auf Kommando " + a[0]);
            return false;
        }
        break;
    }
    case Command::WaitValue: {
        std::string actual;
        if (!valueOf(a[0], actual)) return false;
        if (actual != a[1]) {
            if (p < 1) return false;
            fail("Zeitüberschreitung: \"" + a[0] + "\" hat \"" + actual + "\" statt \"" + a[1] + "\"");
            return false;
        }
        break;
    }
    default:
        // Steps without a running phase complete in startStep; nothing to do.
        break;
    }
    advance();
    return true;
}

bool GuiDemoRunner::valueTarget(const std::string& name, GuiObject*& object, std::string& part) {
    AppWindow* w = window();
    GuiWindow* root = w ? w->main_window : nullptr;
    if (!root) {
        fail("kein Fenster ausgewählt");
        return false;
    }
    object = root->findByName(name);
    part.clear();
    if (object) return true;
    const size_t dot = name.find('.');
    if (dot != std::string::npos) {
        object = root->findByName(name.substr(0, dot));
        if (object) {
            part = name.substr(dot + 1);
            return true;
        }
    }
    fail("Control \"" + name + "\" nicht gefunden");
    return false;
}

bool GuiDemoRunner::valueOf(const std::string& name, std::string& out) {
    GuiObject* object = nullptr;
    std::string part;
    if (!valueTarget(name, object, part)) return false;
    const bool ok = part.empty() ? object->getValueText(out) : object->getValueTextOf(part, out);
    if (!ok) {
        fail("Control \"" + name + "\" hat keinen Wert");
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Tracing and side files

bool GuiDemoRunner::isPopup(AppWindow* window, const GuiObject* object) const {
    if (!object || !window || !window->main_window) return false;
    const auto& popups = window->main_window->mPopups;
    return std::find(popups.begin(), popups.end(), object) != popups.end();
}

std::string GuiDemoRunner::describeObject(AppWindow* window, int x, int y) const {
    GuiWindow* root = window ? window->main_window : nullptr;
    GuiObject* object = root ? root->objectAt(x, y) : nullptr;
    if (!object) return "-";
    std::string text = object->className();
    if (!object->mName.empty()) text += " \"" + object->mName + "\"";
    if (isPopup(window, object)) text += ", offenes Popup";
    return text;
}

std::string GuiDemoRunner::whatIsHit(AppWindow* window, const SDL_Rect& rect) const {
    const int cx = rect.x + rect.w / 2;
    const int cy = rect.y + rect.h / 2;
    std::string text = " (Mitte " + std::to_string(cx) + "," + std::to_string(cy) + " ";
    const std::string what = describeObject(window, cx, cy);
    if (what == "-") return text + "liegt außerhalb des Fensters)";
    return text + "trifft " + what + ")";
}

void GuiDemoRunner::trace(const Step& step) const {
    std::string text = commandWord(step.command);
    for (const std::string& arg : step.args) text += " " + arg;
    AppWindow* w = window();
    int px = 0, py = 0;
    if (!w || !toWindow(mCursorX, mCursorY, px, py)) {
        SDL_Log("Demo-Trace Zeile %d: %s | kein Fenster", step.line, text.c_str());
        return;
    }
    const SDL_Point pos = windowPosition(w);
    const std::string what = describeObject(w, px, py);
    SDL_Log("Demo-Trace Zeile %d: %s | Frame %u, %u ms | Fenster %d,%d %dx%d | Cursor %d,%d auf %s",
            step.line, text.c_str(), static_cast<unsigned>(mFrames), static_cast<unsigned>(mLastTicks),
            pos.x, pos.y, w->w, w->h, px, py, what.c_str());
}

void GuiDemoRunner::logScene(const std::string& title) const {
    bool ok = false;
    if (FILE* f = std::fopen(mScenesPath.c_str(), "a")) {
        const int written = std::fprintf(f, "%u\t%s\n", static_cast<unsigned>(mLastTicks - mStartTicks),
                                         title.c_str());
        const bool closed = std::fclose(f) == 0;
        ok = written > 0 && closed;
    }
    if (!ok) SDL_Log("Demo: Szenendatei %s nicht schreibbar", mScenesPath.c_str());
}

void GuiDemoRunner::writeWindowId() {
    AppWindow* w = MainAppWindow ? MainAppWindow : mEngine->activeAppWindow();
    if (!w || !w->window) return;
    mWindowIdWritten = true;

    bool ok = false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(w->window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
        const std::string tmp = mWindowIdPath + ".tmp";
        if (FILE* f = std::fopen(tmp.c_str(), "w")) {
            const int written = std::fprintf(f, "%lu\n", static_cast<unsigned long>(info.info.x11.window));
            bool good = written > 0 && std::fflush(f) == 0;
            good = (fsync(fileno(f)) == 0) && good;
            good = (std::fclose(f) == 0) && good;
            if (good && std::rename(tmp.c_str(), mWindowIdPath.c_str()) == 0) {
                ok = true;
            } else {
                std::remove(tmp.c_str());
            }
        }
    }
    if (!ok) SDL_Log("Demo: X11-Fenster-ID nicht verfügbar (%s)", mWindowIdPath.c_str());
}

// ---------------------------------------------------------------------------
// Overlay

void GuiDemoRunner::releaseFonts() {
    if (mTitleFont) TTF_CloseFont(mTitleFont);
    mTitleFont = nullptr;
    mTitleFontSize = 0;
}

void GuiDemoRunner::drawOverlay(AppWindow* window, SDL_Renderer* renderer) {
    if (mState != Running || !window || !renderer) return;
    const SDL_Point pos = windowPosition(window);
    const int px = static_cast<int>(std::lround(mCursorX)) - pos.x;
    const int py = static_cast<int>(std::lround(mCursorY)) - pos.y;

    if (window->id == mWindowId) drawSceneTitle(window, renderer);

    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    if (mClickPulse > 0) {
        const Uint8 alpha = static_cast<Uint8>(std::clamp(mClickPulse * 255.0 / CLICK_PULSE, 0.0, 255.0));
        const int d = static_cast<int>((CLICK_PULSE - mClickPulse) * 28) + 12;
        SDL_SetRenderDrawColor(renderer, 240, 208, 91, alpha);
        const SDL_Rect square{px - d, py - d, 2 * d, 2 * d};
        SDL_RenderDrawRect(renderer, &square);
    }
    for (int r = 0; r < 15; ++r) {
        for (int c = 0; c < 10; ++c) {
            const char cell = CURSOR_ROWS[r][c];
            if (cell == '.') continue;
            if (cell == 'X') {
                SDL_SetRenderDrawColor(renderer, 7, 12, 15, 255);
            } else {
                SDL_SetRenderDrawColor(renderer, 245, 250, 243, 255);
            }
            const SDL_Rect square{px + 2 * c, py + 2 * r, 2, 2};
            SDL_RenderFillRect(renderer, &square);
        }
    }
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
}

void GuiDemoRunner::drawSceneTitle(AppWindow* window, SDL_Renderer* renderer) {
    if (mSceneTitle.empty()) return;
    const Uint32 age = mLastTicks - mSceneTicks;
    if (age >= SCENE_SHOW_MS) {
        mSceneTitle.clear();
        releaseFonts();
        return;
    }
    const int ww = window->w;
    const int wh = window->h;
    const int size = std::max(16, static_cast<int>(std::lround(std::min(ww / 18.0, wh / 22.0))));
    if (size != mTitleFontSize || !mTitleFont) {
        releaseFonts();
        mTitleFont = GuiOpenFontAtSize(size);
        if (!mTitleFont) return;
        mTitleFontSize = size;
    }
    SDL_Surface* surface = TTF_RenderUTF8_Blended(mTitleFont, mSceneTitle.c_str(), SDL_Color{255, 255, 255, 255});
    if (!surface) return;
    SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface);
    const int tw = surface->w;
    const int th = surface->h;
    SDL_FreeSurface(surface);
    if (!texture) return;

    const double a = std::min((SCENE_SHOW_MS - age) / SCENE_FADE_MS, std::min(age / SCENE_FADE_MS, 1.0));
    const SDL_Rect text{(ww - tw) / 2, static_cast<int>(wh * 0.85) - th, tw, th};
    const int grow = size / 2;
    const SDL_Rect box{text.x - grow, text.y - grow, text.w + 2 * grow, text.h + 2 * grow};
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, static_cast<Uint8>(std::lround(153 * a)));
    SDL_RenderFillRect(renderer, &box);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    SDL_SetTextureAlphaMod(texture, static_cast<Uint8>(std::lround(255 * a)));
    SDL_RenderCopy(renderer, texture, nullptr, &text);
    GuiRetireTexture(renderer, texture);
}
