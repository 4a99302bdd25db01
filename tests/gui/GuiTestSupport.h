// Test support for the toolkit: a small application on the real engine (real SDL
// windows and renderers), a clock the tests move by hand, builders for the SDL events
// the engine receives, and pixel read-back of the rendered frame.
#pragma once

#include "GuiEngine.h"
#include "GuiObject.h"
#include "GuiWindow.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace guitest {

// The toolkit's time while a TestApp exists; the loop does not sleep meanwhile.
struct Clock {
  static inline Uint32 now = 1000;
  static Uint32 ticks() { return now; }
};

inline bool dummyDriver() {
  const char* d = SDL_GetCurrentVideoDriver();
  return d && std::strcmp(d, "dummy") == 0;
}

inline SDL_Event motion(Uint32 wid, int x, int y) {
  SDL_Event e;
  std::memset(&e, 0, sizeof(e));
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = wid;
  e.motion.x = x;
  e.motion.y = y;
  return e;
}

inline SDL_Event button(Uint32 type, Uint32 wid, int x, int y, Uint8 which = SDL_BUTTON_LEFT) {
  SDL_Event e;
  std::memset(&e, 0, sizeof(e));
  e.type = type;
  e.button.windowID = wid;
  e.button.button = which;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.button.clicks = 1;
  e.button.x = x;
  e.button.y = y;
  return e;
}
inline SDL_Event down(Uint32 wid, int x, int y) { return button(SDL_MOUSEBUTTONDOWN, wid, x, y); }
inline SDL_Event up(Uint32 wid, int x, int y) { return button(SDL_MOUSEBUTTONUP, wid, x, y); }

inline SDL_Event wheel(Uint32 wid, int x, int y, int dy) {
  SDL_Event e;
  std::memset(&e, 0, sizeof(e));
  e.type = SDL_MOUSEWHEEL;
  e.wheel.windowID = wid;
  e.wheel.y = dy;
  e.wheel.mouseX = x;
  e.wheel.mouseY = y;
  return e;
}

inline SDL_Event key(Uint32 wid, SDL_Keycode sym, Uint16 mod = 0, Uint8 repeat = 0) {
  SDL_Event e;
  std::memset(&e, 0, sizeof(e));
  e.type = SDL_KEYDOWN;
  e.key.windowID = wid;
  e.key.state = SDL_PRESSED;
  e.key.repeat = repeat;
  e.key.keysym.sym = sym;
  e.key.keysym.mod = mod;
  return e;
}

inline SDL_Event windowEvent(Uint32 wid, Uint8 code, int d1 = 0, int d2 = 0) {
  SDL_Event e;
  std::memset(&e, 0, sizeof(e));
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = wid;
  e.window.event = code;
  e.window.data1 = d1;
  e.window.data2 = d2;
  return e;
}

// A small application: forwards raw events to the window's root (only to the modal
// dialog while one runs, as the real application does), records commands and close
// notifications, and draws a frame whenever the engine needs one.
class TestApp : public GuiEngine {
 public:
  std::vector<GuiCommandPayload> commands;
  std::vector<Uint32> commandWindows;
  std::vector<Uint32> rawTypes;              // types of the raw events routed to onEvent
  std::vector<Uint8> windowEventCodes;       // codes of routed window events
  std::map<AppWindow*, int> closeNotifications;
  std::function<void(AppWindow*, GuiEvent&)> commandHook;
  std::function<void(AppWindow*, GuiEvent&)> rawHook;  // before forwarding; may not forward
  int framesDrawn = 0;
  int framesPresented = 0;
  bool forwardRaw = true;

  TestApp() { GuiSetTickSource(&Clock::ticks); }
  ~TestApp() override { GuiSetTickSource(nullptr); }

  AppWindow* open(int w = 400, int h = 300, SDL_Color bg = SDL_Color{200, 200, 200, 255},
                  const std::string& title = "Test") {
    AppWindow* a = createAppWindow(this, title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, w, h,
                                   SDL_WINDOW_SHOWN, bg);
    if (a && !MainAppWindow) MainAppWindow = a;
    return a;
  }

  void onEvent(AppWindow* window, GuiEvent& event) override {
    if (event.type == GE_Command) {
      commands.push_back(event.cmd);
      commandWindows.push_back(event.window_id);
      if (commandHook) commandHook(window, event);
      return;
    }
    rawTypes.push_back(event.raw->type);
    if (event.raw->type == SDL_WINDOWEVENT) {
      windowEventCodes.push_back(event.raw->window.event);
      if (event.raw->window.event == SDL_WINDOWEVENT_CLOSE) closeNotifications[window]++;
    }
    if (rawHook) rawHook(window, event);
    if (!forwardRaw || !window->main_window) return;
    if (mModalWindow && window->main_window != mModalWindow) return;
    window->main_window->handleEvent(event);
  }

  void onFrame(AppWindow* window) override {
    if (!window->main_window) return;
    window->main_window->update(GuiTicks());
    if (!frameNeeded()) return;
    SDL_SetRenderDrawColor(window->renderer, 0, 0, 0, 255);
    SDL_RenderClear(window->renderer);
    window->main_window->render(window->renderer);
    ++framesDrawn;
    SDL_RenderPresent(window->renderer);
    ++framesPresented;
  }

  void inject(const SDL_Event& e) { mInjectedEvents.push_back(e); }
  // Injects the event and runs the one turn that routes it.
  void send(const SDL_Event& e) {
    inject(e);
    runTurn();
  }
  // Runs turns until the window system's start-up events are consumed and no frame
  // is requested any more (frames on demand).
  void settle() {
    for (int i = 0; i < 100; ++i) {
      SDL_PumpEvents();
      if (!frameNeeded() && mInjectedEvents.empty() && SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 0) return;
      runTurn();
    }
  }
  // Resizes the real SDL window and runs turns until the engine has taken the new
  // size (the window system may report it a little later).
  bool resizeWindow(AppWindow* a, int w, int h) {
    SDL_SetWindowSize(a->window, w, h);
    for (int i = 0; i < 200; ++i) {
      runTurn();
      if (a->w == w && a->h == h && a->main_window->mWidth == w && a->main_window->mHeight == h) return true;
      SDL_Delay(5);
    }
    return false;
  }
  void turns(int n) {
    for (int i = 0; i < n; ++i) runTurn();
  }
};

// The frame as the root renders it, read back before presenting (RGBA bytes).
class Frame {
 public:
  int w = 0, h = 0;
  std::vector<Uint32> pixels;

  static Frame of(AppWindow* a) {
    Frame f;
    f.w = a->w;
    f.h = a->h;
    f.pixels.assign(static_cast<size_t>(f.w) * f.h, 0);
    SDL_SetRenderDrawColor(a->renderer, 0, 0, 0, 255);
    SDL_RenderClear(a->renderer);
    a->main_window->render(a->renderer);
    SDL_RenderReadPixels(a->renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, f.pixels.data(), f.w * 4);
    SDL_RenderPresent(a->renderer);
    return f;
  }

  SDL_Color at(int x, int y) const {
    Uint32 p = pixels.at(static_cast<size_t>(y) * w + x);
    return SDL_Color{Uint8(p >> 16), Uint8(p >> 8), Uint8(p), Uint8(p >> 24)};
  }
};

inline bool sameRGB(SDL_Color c, Uint8 r, Uint8 g, Uint8 b, int tol = 0) {
  return std::abs(c.r - r) <= tol && std::abs(c.g - g) <= tol && std::abs(c.b - b) <= tol;
}

inline std::string rgb(SDL_Color c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// A widget that records what the root delivers to it.
class Probe : public GuiObject {
 public:
  struct Seen {
    Uint32 type;
    int x, y;
    GuiObject* object;
  };
  std::vector<Seen> events;
  std::vector<std::string> log;  // "enter x y", "leave", "event <type>", "lose"
  bool wheel = false;
  bool deleteSelfOnPress = false;
  int* deletedFlag = nullptr;

  Probe(int x, int y, int w, int h, SDL_Color c = SDL_Color{50, 50, 50, 255})
      : GuiObject(nullptr, -1, x, y, w, h, c) {}
  ~Probe() override {
    if (deletedFlag) ++*deletedFlag;
  }
  bool wantsMouseWheel() const override { return wheel; }
  void handleEvent(GuiEvent& e) override {
    if (!e.raw) return;
    events.push_back({e.raw->type, e.x, e.y, e.mEventObject});
    log.push_back("event " + std::to_string(e.raw->type));
    if (deleteSelfOnPress && e.raw->type == SDL_MOUSEBUTTONDOWN) requestDestroy();
  }
  void onMouseEnter(int x, int y) override { log.push_back("enter " + std::to_string(x) + " " + std::to_string(y)); }
  void onMouseLeave() override { log.push_back("leave"); }
  void loseFocus() override { log.push_back("lose"); }
  int count(Uint32 type) const {
    int n = 0;
    for (const Seen& s : events) n += s.type == type;
    return n;
  }
};

}  // namespace guitest
