// Engine: command line, window size parsing, placement, frames on demand, the retire
// ring, event routing and quitting, window destruction and the modal state.
#include "GuiTestSupport.h"

#include "GuiDemoRunner.h"
#include "GuiDialog.h"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

using namespace guitest;

namespace {

// Collects SDL log lines while alive.
class SdlLogCapture {
 public:
  std::vector<std::string> lines;
  SdlLogCapture() {
    SDL_LogGetOutputFunction(&mOldFn, &mOldData);
    SDL_LogSetOutputFunction(&SdlLogCapture::out, this);
  }
  ~SdlLogCapture() { SDL_LogSetOutputFunction(mOldFn, mOldData); }

 private:
  static void out(void* self, int, SDL_LogPriority, const char* msg) {
    static_cast<SdlLogCapture*>(self)->lines.push_back(msg);
  }
  SDL_LogOutputFunction mOldFn = nullptr;
  void* mOldData = nullptr;
};

// Argument vector with storage, as main() receives it.
struct Args {
  std::vector<std::string> store;
  std::vector<char*> ptrs;
  int argc = 0;
  explicit Args(std::vector<std::string> a) : store(std::move(a)) {
    for (auto& s : store) ptrs.push_back(s.data());
    ptrs.push_back(nullptr);
    argc = static_cast<int>(store.size());
  }
  std::vector<std::string> now() const {
    std::vector<std::string> out;
    for (int i = 0; i < argc; ++i) out.push_back(ptrs[i]);
    return out;
  }
};

const char* const kNeedsSize = "--window-size braucht BREITExHOEHE (1 bis 8192) oder fullscreen";
const char* const kOnlyOnce = "--window-size darf nur einmal angegeben werden";

}  // namespace

// ---------------------------------------------------------------------------
// Window size option

TEST(WindowSizeOption, ParseAcceptsAndRejectsExactly) {
  struct Case {
    const char* text;
    bool ok;
    int w, h;
    bool fs;
  } cases[] = {
      {"800x600", true, 800, 600, false},     {"1x1", true, 1, 1, false},
      {"8192x8192", true, 8192, 8192, false}, {"0800x0600", true, 800, 600, false},
      {"fullscreen", true, 0, 0, true},       {"0x600", false, 0, 0, false},
      {"8193x600", false, 0, 0, false},       {"800X600", false, 0, 0, false},
      {"800x", false, 0, 0, false},           {"x600", false, 0, 0, false},
      {"800x600x", false, 0, 0, false},       {"-800x600", false, 0, 0, false},
      {"800 x600", false, 0, 0, false},       {"", false, 0, 0, false},
      {"99999999999x600", false, 0, 0, false}, {"800xx600", false, 0, 0, false},
      {"Fullscreen", false, 0, 0, false},     {"800x0", false, 0, 0, false},
  };
  for (const Case& c : cases) {
    int w = -7, h = -7;
    bool fs = false;
    const bool ok = parseWindowSize(c.text, w, h, fs);
    EXPECT_EQ(ok, c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(w, c.w) << c.text;
      EXPECT_EQ(h, c.h) << c.text;
      EXPECT_EQ(fs, c.fs) << c.text;
    } else {
      EXPECT_EQ(w, -7) << "outputs untouched on rejection: " << c.text;
      EXPECT_EQ(h, -7) << c.text;
    }
  }
}

TEST(WindowSizeOption, CommandLineRemovesOptionAndKeepsOrder) {
  TestApp app;
  Args a({"velmaris", "--log", "x.log", "--window-size", "800x600", "file.vlm"});
  ASSERT_TRUE(app.takeCommandLineOptions(a.argc, a.ptrs.data()));
  EXPECT_EQ(a.now(), (std::vector<std::string>{"velmaris", "--log", "x.log", "file.vlm"}));
  EXPECT_EQ(a.ptrs[a.argc], nullptr);
  EXPECT_EQ(app.mStartWidth, 800);
  EXPECT_EQ(app.mStartHeight, 600);
  EXPECT_FALSE(app.mStartFullscreen);
}

TEST(WindowSizeOption, CommandLineRejectionsLogTheirMessage) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"velmaris", "--window-size"}, kNeedsSize},
      {{"velmaris", "--window-size", "0x600"}, kNeedsSize},
      {{"velmaris", "--window-size", "800X600", "a.vlm"}, kNeedsSize},
      {{"velmaris", "--window-size", "800x600", "--window-size", "640x480"}, kOnlyOnce},
      {{"velmaris", "--window-size", "fullscreen", "--window-size", "x"}, kOnlyOnce},
  };
  TestApp app;
  for (const Case& c : cases) {
    SdlLogCapture log;
    Args a(c.args);
    const std::vector<std::string> before = a.now();
    EXPECT_FALSE(app.takeCommandLineOptions(a.argc, a.ptrs.data())) << c.args.size();
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], c.message);
    EXPECT_EQ(a.now(), before) << "a rejected command line is left as it was";
  }
}

TEST(WindowSizeOption, StartSizeIsAppliedOnceToTheMainWindow) {
  TestApp app;
  Args a({"velmaris", "--window-size", "640x480"});
  ASSERT_TRUE(app.takeCommandLineOptions(a.argc, a.ptrs.data()));
  AppWindow* w = app.open(300, 200);
  ASSERT_NE(w, nullptr);
  app.runStart();
  EXPECT_TRUE(app.mStartSizeApplied);
  int sw = 0, sh = 0;
  SDL_GetWindowSize(w->window, &sw, &sh);
  EXPECT_EQ(sw, 640);
  EXPECT_EQ(sh, 480);
  EXPECT_EQ(w->w, 640);
  EXPECT_EQ(w->h, 480);
  EXPECT_EQ(w->main_window->mWidth, 640);
  EXPECT_EQ(w->main_window->mHeight, 480);
  ASSERT_NE(w->csurface, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(w->csurface), 640);
}

// ---------------------------------------------------------------------------
// Placement

TEST(DialogPlacement, CenterOverKeepsTheBoxInsideTheBounds) {
  struct Case {
    SDL_Rect over, bounds;
    int w, h, x, y;
  } cases[] = {
      {{100, 100, 400, 300}, {0, 0, 0, 0}, 200, 100, 200, 200},        // no bounds: plain centring
      {{100, 100, 401, 301}, {0, 0, 1000, 800}, 200, 100, 200, 200},   // truncating halves
      {{900, 700, 400, 300}, {0, 0, 1000, 800}, 300, 200, 700, 600},   // pushed back from right/bottom
      {{-300, -200, 400, 300}, {0, 0, 1000, 800}, 300, 200, 0, 0},     // pushed back from left/top
      {{0, 0, 400, 300}, {10, 20, 200, 100}, 500, 400, 10, 20},        // larger than bounds: left/top edge
      {{0, 0, 100, 100}, {0, 0, 1000, 800}, 300, 300, 0, 0},           // negative centre clamped
  };
  for (const Case& c : cases) {
    int x = 0, y = 0;
    GuiCenterOver(c.over, c.bounds, c.w, c.h, x, y);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
  }
}

TEST(DialogPlacement, CentredDialogSitsOverTheMainWindow) {
  TestApp app;
  AppWindow* main = app.open(400, 300);
  ASSERT_NE(main, nullptr);
  SDL_SetWindowPosition(main->window, 50, 60);
  int mx = 0, my = 0;
  SDL_GetWindowPosition(main->window, &mx, &my);
  int x = SDL_WINDOWPOS_CENTERED, y = 77;
  app.resolveDialogPosition(x, y, 200, 100);
  SDL_Rect bounds{0, 0, 0, 0};
  int display = SDL_GetWindowDisplayIndex(main->window);
  if (display < 0 || SDL_GetDisplayUsableBounds(display, &bounds) != 0) bounds = SDL_Rect{0, 0, 0, 0};
  int ex = 0, ey = 0;
  GuiCenterOver(SDL_Rect{mx, my, 400, 300}, bounds, 200, 100, ex, ey);
  EXPECT_EQ(x, ex);
  EXPECT_EQ(y, 77) << "explicit coordinates are kept";

  AppWindow* dlg = app.createAppDialog(&app, "Dialog", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 200, 100,
                                       SDL_WINDOW_SHOWN, SDL_Color{200, 200, 200, 255});
  ASSERT_NE(dlg, nullptr);
  EXPECT_NE(dynamic_cast<GuiDialog*>(dlg->main_window), nullptr);
  EXPECT_STREQ(dlg->main_window->className(), "GuiWindow");
}

// ---------------------------------------------------------------------------
// Windows

TEST(Windows, RecordsAreRegisteredAndReleased) {
  TestApp app;
  AppWindow* a = app.open(320, 200);
  ASSERT_NE(a, nullptr);
  EXPECT_NE(a->id, 0u);
  EXPECT_EQ(SDL_GetWindowData(a->window, "AppWindow"), a);
  EXPECT_EQ(a->title, "Test");
  EXPECT_EQ(a->background.r, 20);
  EXPECT_EQ(a->main_window->mBackground.r, 200) << "the colour goes to the root";
  EXPECT_EQ(GuiFindWindowById(a->id), a);
  EXPECT_EQ(app.activeAppWindow(), a);
  ASSERT_NE(a->csurface, nullptr);
  EXPECT_EQ(cairo_image_surface_get_stride(a->csurface), 320 * 4);
  EXPECT_EQ(a->pixels[0], 0);

  const Uint32 id = a->id;
  EXPECT_TRUE(app.destroyWindow(id));
  EXPECT_EQ(GuiFindWindowById(id), nullptr);
  EXPECT_EQ(MainAppWindow, nullptr);
  EXPECT_TRUE(app.mWindows.empty());
  EXPECT_FALSE(app.destroyWindow(id)) << "unknown ids change nothing";
}

TEST(Windows, ResizeRemakesTheCairoBufferOnlyOnChange) {
  TestApp app;
  AppWindow* a = app.open(100, 80);
  cairo_surface_t* before = a->csurface;
  app.resizeAppWindow(a, 100, 80);
  EXPECT_EQ(a->csurface, before);
  app.resizeAppWindow(a, 0, 50);
  EXPECT_EQ(a->w, 100);
  app.resizeAppWindow(a, 150, 90);
  EXPECT_EQ(a->w, 150);
  EXPECT_EQ(a->h, 90);
  EXPECT_EQ(cairo_image_surface_get_width(a->csurface), 150);
  EXPECT_EQ(cairo_image_surface_get_height(a->csurface), 90);
}

TEST(Windows, WindowThatCannotBeCreatedThrowsAndLeavesNothing) {
  TestApp app;
  if (!dummyDriver()) GTEST_SKIP() << "the dummy driver refuses Vulkan windows; X11 may not";
  EXPECT_THROW(app.createAppWindow(&app, "Vulkan", 0, 0, 100, 100, SDL_WINDOW_VULKAN, SDL_Color{0, 0, 0, 255}),
               std::runtime_error);
  EXPECT_TRUE(app.mWindows.empty());
  EXPECT_TRUE(GuiGlobalWindowList.empty());
}

TEST(Windows, DestroyingTheActiveWindowActivatesAnotherOne) {
  TestApp app;
  AppWindow* a = app.open(100, 100, SDL_Color{1, 1, 1, 255}, "A");
  AppWindow* b = app.open(100, 100, SDL_Color{1, 1, 1, 255}, "B");
  AppWindow* c = app.open(100, 100, SDL_Color{1, 1, 1, 255}, "C");
  const Uint32 bid = b->id, cid = c->id;
  app.mActiveWindowId = bid;
  ASSERT_TRUE(app.destroyWindow(bid));
  EXPECT_EQ(app.mActiveWindowId, a->id) << "the earliest created other window";
  ASSERT_TRUE(app.destroyWindow(a->id));
  EXPECT_EQ(app.mActiveWindowId, cid);
  EXPECT_EQ(GuiGlobalWindowList.size(), 1u);
}

TEST(Windows, DestroyRequestedInsideAHandlerHappensAfterTheEvent) {
  TestApp app;
  AppWindow* main = app.open(200, 200, SDL_Color{1, 1, 1, 255}, "Main");
  AppWindow* other = app.open(200, 200, SDL_Color{1, 1, 1, 255}, "Other");
  const Uint32 oid = other->id;
  bool stillThere = false;
  app.rawHook = [&](AppWindow* w, GuiEvent&) {
    if (w->id == oid) {
      app.requestDestroy(oid);
      stillThere = app.mWindows.count(oid) == 1;
    }
  };
  app.send(motion(oid, 5, 5));
  EXPECT_TRUE(stillThere);
  EXPECT_EQ(app.mWindows.count(oid), 0u);
  EXPECT_EQ(GuiGlobalWindowList.size(), 1u);
  EXPECT_EQ(GuiGlobalWindowList[0], main);
}

// ---------------------------------------------------------------------------
// Frames on demand and the retire ring

TEST(MainLoop, OneFrameRequestGivesTwoFramesThenNone) {
  TestApp app;
  app.open(120, 80);
  app.setFramesOnDemand(true);
  app.runStart();
  app.settle();  // window creation and the window system's first events requested frames
  ASSERT_FALSE(app.frameNeeded());
  const int before = app.framesDrawn;
  app.turns(3);
  EXPECT_EQ(app.framesDrawn, before) << "an idle application draws nothing";

  GuiEngine::requestFrame();
  app.runTurn();
  EXPECT_EQ(app.framesDrawn, before + 1);
  app.runTurn();
  EXPECT_EQ(app.framesDrawn, before + 2);
  app.runTurn();
  app.runTurn();
  EXPECT_EQ(app.framesDrawn, before + 2);
  EXPECT_FALSE(app.frameNeeded());

  // Any event requests a frame as well.
  app.send(motion(0, 1, 1));
  EXPECT_EQ(app.framesDrawn, before + 3);

  app.setFramesOnDemand(false);
  EXPECT_TRUE(app.frameNeeded());
}

TEST(MainLoop, RetiredTextureIsDestroyedAtTheEndOfTheSecondFollowingTurn) {
  TestApp app;
  AppWindow* a = app.open(64, 64);
  app.runStart();
  app.turns(2);
  SDL_Texture* t = SDL_CreateTexture(a->renderer, SDL_PIXELFORMAT_RGBA8888, SDL_TEXTUREACCESS_STATIC, 4, 4);
  ASSERT_NE(t, nullptr);
  // Give the texture up during a turn, as a widget does while it is drawn.
  bool retired = false;
  class Retirer : public GuiObject {
   public:
    SDL_Texture* tex;
    bool* done;
    Retirer(SDL_Texture* t, bool* d) : GuiObject(nullptr, -1, 0, 0, 1, 1, SDL_Color{0, 0, 0, 0}), tex(t), done(d) {}
    void handleEvent(GuiEvent&) override {}
    void update(Uint32) override {
      if (!*done) {
        GuiRetireTexture(mWindow->mAppWindow->renderer, tex);
        *done = true;
      }
    }
  };
  a->main_window->addChild(new Retirer(t, &retired));
  app.runTurn();  // turn N: retired
  ASSERT_TRUE(retired);
  EXPECT_EQ(GuiRetiredTextureCount(a->renderer), 1u);
  app.runTurn();  // N+1
  EXPECT_EQ(GuiRetiredTextureCount(a->renderer), 1u);
  app.runTurn();  // N+2: destroyed at its end
  EXPECT_EQ(GuiRetiredTextureCount(a->renderer), 0u);
}

TEST(MainLoop, MotionEventsAreCoalescedToTheNewest) {
  TestApp app;
  AppWindow* a = app.open(200, 200);
  auto* probe = a->main_window->addChild(new Probe(0, 0, 200, 200));
  app.runStart();
  app.turns(2);
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  for (int i = 1; i <= 3; ++i) {
    SDL_Event m = motion(a->id, 10 * i, 10 * i);
    ASSERT_EQ(SDL_PushEvent(&m), 1);
  }
  app.runTurn();
  ASSERT_EQ(probe->count(SDL_MOUSEMOTION), 1);
  EXPECT_EQ(probe->events.back().x, 30);
  app.runTurn();
  EXPECT_EQ(probe->count(SDL_MOUSEMOTION), 1) << "the older motions were absorbed";
}

TEST(MainLoop, InjectedEventsComeFirstOnePerTurn) {
  TestApp app;
  AppWindow* a = app.open(200, 200);
  app.runStart();
  app.turns(2);
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  SDL_Event real = key(a->id, SDLK_b);
  SDL_PushEvent(&real);
  app.inject(key(a->id, SDLK_a));
  app.inject(key(a->id, SDLK_c));
  app.rawTypes.clear();
  std::vector<SDL_Keycode> keys;
  app.rawHook = [&](AppWindow*, GuiEvent& e) {
    if (e.raw->type == SDL_KEYDOWN) keys.push_back(e.raw->key.keysym.sym);
  };
  app.runTurn();
  EXPECT_EQ(keys, (std::vector<SDL_Keycode>{SDLK_a}));
  app.turns(2);
  EXPECT_EQ(keys, (std::vector<SDL_Keycode>{SDLK_a, SDLK_c, SDLK_b}));
}

TEST(MainLoop, ClosingAWindowQuitsAndEveryWindowHearsItOnce) {
  TestApp app;
  AppWindow* a = app.open(100, 100, SDL_Color{1, 1, 1, 255}, "A");
  AppWindow* b = app.open(100, 100, SDL_Color{1, 1, 1, 255}, "B");
  app.runStart();
  app.inject(windowEvent(b->id, SDL_WINDOWEVENT_CLOSE));
  int turns = 0;
  while (app.runTurn() && turns < 10) ++turns;
  EXPECT_EQ(turns, 1) << "the quit turn is rendered, the next one ends the loop";
  EXPECT_EQ(app.closeNotifications[a], 1);
  EXPECT_EQ(app.closeNotifications[b], 1);
  // The window manager's close event itself reaches the application as NONE.
  ASSERT_FALSE(app.windowEventCodes.empty());
  EXPECT_EQ(app.windowEventCodes.front(), SDL_WINDOWEVENT_NONE);
}

TEST(MainLoop, QuitEventReachingAWindowIsOnlyDelivered) {
  TestApp app;
  app.open(100, 100);
  app.runStart();
  SDL_Event q;
  std::memset(&q, 0, sizeof(q));
  q.type = SDL_QUIT;
  app.send(q);
  EXPECT_FALSE(app.mQuitRequested);
  ASSERT_FALSE(app.rawTypes.empty());
  EXPECT_EQ(app.rawTypes.back(), static_cast<Uint32>(SDL_QUIT));

  app.destroyWindow(app.mActiveWindowId);
  app.mActiveWindowId = 0;
  app.send(q);
  EXPECT_TRUE(app.mQuitRequested) << "an unclaimed quit event quits";
  EXPECT_FALSE(app.runTurn());
}

TEST(MainLoop, ShutdownEndsTheLoop) {
  TestApp app;
  AppWindow* a = app.open(100, 100);
  app.runStart();
  app.shutdown();
  EXPECT_TRUE(app.runTurn());
  EXPECT_EQ(app.closeNotifications[a], 1);
  EXPECT_FALSE(app.runTurn());
}

// ---------------------------------------------------------------------------
// Full screen key

TEST(FullscreenKey, OnlyPlainF11OnTheMainWindowIsConsumed) {
  TestApp app;
  AppWindow* main = app.open(200, 150, SDL_Color{1, 1, 1, 255}, "Main");
  AppWindow* other = app.open(200, 150, SDL_Color{1, 1, 1, 255}, "Other");
  struct Case {
    const char* what;
    SDL_Event e;
    bool consumed;
  } cases[] = {
      {"plain F11", key(main->id, SDLK_F11), true},
      {"F11 repeat", key(main->id, SDLK_F11, 0, 1), true},
      {"F11 with num lock", key(main->id, SDLK_F11, KMOD_NUM), true},
      {"Ctrl+F11", key(main->id, SDLK_F11, KMOD_LCTRL), false},
      {"Shift+F11", key(main->id, SDLK_F11, KMOD_RSHIFT), false},
      {"Alt+F11", key(main->id, SDLK_F11, KMOD_LALT), false},
      {"F11 in another window", key(other->id, SDLK_F11), false},
      {"F10", key(main->id, SDLK_F10), false},
  };
  for (Case& c : cases) {
    // Toggling back and forth is not the point here; keep the window as it is.
    app.mFullscreenKey = SDLK_F11;
    const Uint32 before = SDL_GetWindowFlags(main->window) & SDL_WINDOW_FULLSCREEN;
    EXPECT_EQ(app.handleFullscreenKey(c.e), c.consumed) << c.what;
    if (SDL_GetWindowFlags(main->window) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(main->window, 0);
    (void)before;
  }
  GuiDialog modal(main, -1, 0, 0, 10, 10, SDL_Color{0, 0, 0, 255});
  app.mModalWindow = &modal;
  EXPECT_FALSE(app.handleFullscreenKey(key(main->id, SDLK_F11))) << "ignored while a modal dialog runs";
  app.mModalWindow = nullptr;
}

TEST(FullscreenKey, F11TogglesAndARepeatDoesNot) {
  TestApp app;
  AppWindow* main = app.open(200, 150);
  if (dummyDriver()) GTEST_SKIP() << "the dummy driver has no full screen";
  app.runStart();
  app.rawTypes.clear();
  app.send(key(main->id, SDLK_F11));
  EXPECT_TRUE(SDL_GetWindowFlags(main->window) & SDL_WINDOW_FULLSCREEN);
  app.send(key(main->id, SDLK_F11, 0, 1));
  EXPECT_TRUE(SDL_GetWindowFlags(main->window) & SDL_WINDOW_FULLSCREEN) << "a held key toggles once";
  EXPECT_TRUE(app.rawTypes.empty()) << "consumed keys do not reach the application";
  app.send(key(main->id, SDLK_F11));
  EXPECT_FALSE(SDL_GetWindowFlags(main->window) & SDL_WINDOW_FULLSCREEN);
}

// ---------------------------------------------------------------------------
// Modal state

namespace {
class Editable : public GuiObject, public IEditable {
 public:
  Editable(int x, int y) : GuiObject(nullptr, -1, x, y, 50, 20, SDL_Color{255, 255, 255, 255}) {}
  void handleEvent(GuiEvent&) override {}
};
}  // namespace

TEST(Modal, DialogAnswerRestoresTheTextInputTarget) {
  TestApp app;
  AppWindow* main = app.open(300, 200, SDL_Color{1, 1, 1, 255}, "Main");
  auto* field = main->main_window->addChild(new Editable(10, 10));
  auto* probe = main->main_window->addChild(new Probe(100, 100, 50, 50));

  // A press holds the capture; the modal dialog cancels it with a release at -1,-1.
  app.runStart();
  app.send(down(main->id, 110, 110));
  ASSERT_EQ(main->main_window->mCapture, probe);
  main->main_window->setFocus(field);

  AppWindow* dlg = app.createAppDialog(&app, "Frage", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 200, 100,
                                       SDL_WINDOW_SHOWN, SDL_Color{200, 200, 200, 255});
  ASSERT_NE(dlg, nullptr);
  auto* root = static_cast<GuiDialog*>(dlg->main_window);
  app.openModal(root);
  EXPECT_EQ(app.mModalWindow, root);
  EXPECT_EQ(app.mActiveEditable, nullptr);
  EXPECT_EQ(app.mSavedEditable, field);
  EXPECT_EQ(main->main_window->mCapture, nullptr);
  ASSERT_EQ(probe->count(SDL_MOUSEBUTTONUP), 1);
  EXPECT_EQ(probe->events.back().x, 0) << "the cancel release carries no relative position";

  // Commands of other windows are dropped while the dialog runs.
  app.commands.clear();
  main->main_window->dispatchCommand(GUI_CMD_BUTTON, 7, 0, probe);
  EXPECT_TRUE(app.commands.empty());

  // The answer arrives as a command with the dialog as its source.
  app.commandHook = [&](AppWindow* w, GuiEvent& e) {
    if (e.cmd.cmd_id == GUI_CMD_MODAL_CLOSED) app.requestDestroy(w->id);
  };
  root->onAccept();
  ASSERT_EQ(app.commands.size(), 1u);
  EXPECT_EQ(app.commands[0].cmd_id, GUI_CMD_MODAL_CLOSED);
  EXPECT_EQ(app.commands[0].source_id, static_cast<int>(ModalResult::Ok));
  EXPECT_EQ(app.commands[0].source, root);
  EXPECT_EQ(app.mModalWindow, nullptr);
  EXPECT_EQ(app.mActiveEditable, field);
  root->onCancel();
  EXPECT_EQ(app.commands.size(), 1u) << "a dialog that is no longer modal sends nothing";
  const Uint32 did = dlg->id;
  app.runTurn();
  EXPECT_EQ(app.mWindows.count(did), 0u);
}

TEST(Modal, DestroyingTheModalWindowRestoresOrDropsTheSavedTarget) {
  TestApp app;
  AppWindow* main = app.open(300, 200, SDL_Color{1, 1, 1, 255}, "Main");
  auto* field = main->main_window->addChild(new Editable(10, 10));
  main->main_window->setFocus(field);
  AppWindow* dlg = app.createAppDialog(&app, "D", 0, 0, 100, 100, SDL_WINDOW_SHOWN, SDL_Color{1, 1, 1, 255});
  app.openModal(dlg->main_window);
  // The dialog's own text field becomes the target meanwhile.
  auto* inner = dlg->main_window->addChild(new Editable(5, 5));
  dlg->main_window->setFocus(inner);
  EXPECT_EQ(app.mActiveEditable, inner);
  ASSERT_TRUE(app.destroyWindow(dlg->id));
  EXPECT_EQ(app.mModalWindow, nullptr);
  EXPECT_EQ(app.mActiveEditable, field) << "the saved target of another window comes back";

  // A saved target that belongs to the destroyed window is dropped.
  AppWindow* dlg2 = app.createAppDialog(&app, "E", 0, 0, 100, 100, SDL_WINDOW_SHOWN, SDL_Color{1, 1, 1, 255});
  auto* own = dlg2->main_window->addChild(new Editable(5, 5));
  dlg2->main_window->setFocus(own);
  app.openModal(main->main_window);
  EXPECT_EQ(app.mSavedEditable, own);
  ASSERT_TRUE(app.destroyWindow(dlg2->id));
  EXPECT_EQ(app.mSavedEditable, nullptr);
}

// ---------------------------------------------------------------------------
// Fonts

TEST(Fonts, DefaultFontAndFaceAreOpened) {
  TestApp app;
  ASSERT_NE(GuiDefaultFont, nullptr) << "run from the directory that holds data/fonts/Vera.ttf";
  ASSERT_NE(GuiDefaultFace, nullptr);
  EXPECT_NE(GuiDefaultFace->charmap, nullptr);
  EXPECT_EQ(GuiDefaultFace->charmap->encoding, FT_ENCODING_UNICODE);
  EXPECT_EQ(GuiDefaultFace->size->metrics.y_ppem, 14);
  int w = 0, h = 0;
  ASSERT_EQ(TTF_SizeUTF8(GuiDefaultFont, "Hello \xC3\xA9 World", &w, &h), 0);
  EXPECT_EQ(h, 17);
}

TEST(Fonts, MissingFontFileIsReportedAndTheEngineRunsWithout) {
  namespace fs = std::filesystem;
  const fs::path old = fs::current_path();
  const fs::path dir = fs::temp_directory_path() / ("velmaris-nofont-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::current_path(dir);
  testing::internal::CaptureStderr();
  {
    TestApp app;
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("Schriftart konnte nicht geladen werden: ", 0), 0u) << err;
    EXPECT_EQ(GuiDefaultFont, nullptr);
    EXPECT_EQ(GuiDefaultFace, nullptr);
    AppWindow* a = app.open(100, 100);
    ASSERT_NE(a, nullptr);
    a->main_window->mTooltip = "x";
    Frame f = Frame::of(a);  // drawing without a font must not fail
    EXPECT_TRUE(sameRGB(f.at(50, 50), 200, 200, 200));
  }
  fs::current_path(old);
  fs::remove_all(dir);
}

TEST(Fonts, FontMemoryReplacesTheFile) {
  std::FILE* f = std::fopen("data/fonts/Vera.ttf", "rb");
  ASSERT_NE(f, nullptr);
  std::vector<unsigned char> bytes;
  unsigned char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
  std::fclose(f);
  GuiSetDefaultFontMemory(bytes.data(), bytes.size());
  {
    TestApp app;
    EXPECT_NE(GuiDefaultFont, nullptr);
    EXPECT_NE(GuiDefaultFace, nullptr);
    TTF_Font* big = GuiOpenFontAtSize(30);
    ASSERT_NE(big, nullptr);
    EXPECT_GT(TTF_FontHeight(big), TTF_FontHeight(GuiDefaultFont));
    TTF_CloseFont(big);
  }
  GuiSetDefaultFontMemory(nullptr, 0);
}

// ---------------------------------------------------------------------------
// Screenplay runner hooks

TEST(RunnerHooks, RunningScreenplayKeepsFramesComingAndFiltersRealInput) {
  TestApp app;
  AppWindow* a = app.open(200, 150);
  auto* probe = a->main_window->addChild(new Probe(0, 0, 200, 150));
  app.setFramesOnDemand(true);
  app.runStart();
  app.settle();
  GuiDemoRunner runner(&app);
  ASSERT_TRUE(runner.loadFromString("wait 0.1\n")) << runner.error();
  app.setDemoRunner(&runner);
  app.runTurn();
  ASSERT_EQ(runner.state(), GuiDemoRunner::Running);

  // Frames every turn while the screenplay runs, without any request.
  const int before = app.framesDrawn;
  app.turns(5);
  EXPECT_EQ(app.framesDrawn, before + 5);

  // Real pointer motion is swallowed while it runs; injected input is delivered.
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  SDL_Event real = motion(a->id, 10, 10);
  SDL_PushEvent(&real);
  app.turns(3);
  auto motionAt = [&](int x, int y) {
    for (const Probe::Seen& s : probe->events)
      if (s.type == SDL_MOUSEMOTION && s.x == x && s.y == y) return true;
    return false;
  };
  EXPECT_FALSE(motionAt(10, 10));
  app.send(motion(a->id, 20, 20));
  EXPECT_TRUE(motionAt(20, 20));

  // With a runner attached F11 is not the full-screen key.
  EXPECT_FALSE(app.handleFullscreenKey(key(a->id, SDLK_F11)));

  // Once it is over, frames are drawn on demand again.
  for (int i = 0; i < 30; ++i) {
    Clock::now += 16;
    app.runTurn();
  }
  EXPECT_NE(runner.state(), GuiDemoRunner::Running);
  app.settle();
  const int after = app.framesDrawn;
  app.turns(3);
  EXPECT_EQ(app.framesDrawn, after);
  app.setDemoRunner(nullptr);
}
