// The main window object Velmaris built in-process (dummy video driver) in a
// temporary working directory: layout of panel, menu bar and tool bar, the tool and
// mode buttons in step with the editor panel, Alt+D and the File menu, the quit
// command, profiling toggles, the modal-dialog branch and closing the window.
#include "GuiDialog.h"
#include "GuiEngine.h"
#include "GuiImageButton.h"
#include "GuiMenu.h"
#include "GuiMenuBar.h"
#include "GuiWindow.h"
#include "Map.h"
#include "Velmaris.h"
#include "VelmarisPanel.h"
#include "corekitc.h"
#include "global.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

using Tool = VelmarisPanel::Tool;

const char* const kToolNames[] = {"tool_select", "tool_rectangle", "tool_diamond", "tool_circle",
                                  "tool_triangle", "tool_polygon", "tool_image"};

bool sameColor(const SDL_Color& a, const SDL_Color& b) {
  return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

class MainWindowTest : public ::testing::Test {
 protected:
  fs::path oldCwd;
  fs::path tmp;
  Velmaris* app = nullptr;
  GuiWindow* root = nullptr;
  VelmarisPanel* panel = nullptr;

  void SetUp() override {
    oldCwd = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "velmaris-mainwin-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    tmp = pattern;
    // Run-time data beside the working directory, as beside the executable.
    fs::create_directory_symlink(fs::path(VELMARIS_RUNTIME_DIR) / "data", tmp / "data");
    fs::current_path(tmp);
    app = new Velmaris;
    ASSERT_NE(MainAppWindow, nullptr);
    root = MainAppWindow->main_window;
    panel = app->panel();
    ASSERT_NE(panel, nullptr);
  }

  void TearDown() override {
    delete app;
    fs::current_path(oldCwd);
    std::error_code ec;
    fs::remove_all(tmp, ec);
  }

  void route(SDL_Event& e) {
    GuiEvent ge;
    ge.type = GE_RawSDL;
    ge.window_id = MainAppWindow->id;
    ge.raw = &e;
    app->onEvent(MainAppWindow, ge);
    app->processDestroyRequests();
  }
  void key(SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = MainAppWindow->id;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
    e.key.keysym.mod = mod;
    route(e);
  }
  void mouse(Uint32 type, int x, int y, Uint32 windowId) {
    SDL_Event e{};
    e.type = type;
    e.button.windowID = windowId;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    route(e);
  }
  // Clicks the centre of a named widget, the way a person would.
  void clickOn(const std::string& name) {
    GuiObject* o = root->findByName(name);
    ASSERT_NE(o, nullptr) << name;
    const int x = o->mX + o->mWidth / 2, y = o->mY + o->mHeight / 2;
    mouse(SDL_MOUSEBUTTONDOWN, x, y, MainAppWindow->id);
    mouse(SDL_MOUSEBUTTONUP, x, y, MainAppWindow->id);
  }
  GuiImageButton* button(const std::string& name) {
    return dynamic_cast<GuiImageButton*>(root->findByName(name));
  }
  // Exactly the button of tool t is pressed and highlighted.
  void expectToolBarShows(Tool t) {
    for (size_t i = 0; i < 7; ++i) {
      GuiImageButton* b = button(kToolNames[i]);
      ASSERT_NE(b, nullptr);
      const bool on = i == static_cast<size_t>(t);
      EXPECT_EQ(b->mPressed, on) << kToolNames[i];
      EXPECT_TRUE(sameColor(b->mBackground, on ? Velmaris::kHighlight : SDL_Color{0, 0, 0, 0})) << kToolNames[i];
    }
    EXPECT_EQ(panel->getTool(), t);
  }
  std::string value(const std::string& name) {
    std::string v;
    GuiObject* o = root->findByName(name);
    EXPECT_TRUE(o && o->getValueText(v)) << name;
    return v;
  }
};

TEST_F(MainWindowTest, BuildsWindowPanelMenuAndToolBar) {
  EXPECT_EQ(MainAppWindow->w, 1024);
  EXPECT_EQ(MainAppWindow->h, 768);
  EXPECT_EQ(MainAppWindow->title, "Velmaris");
  EXPECT_EQ(GlobalGuiEngine, app);
  EXPECT_NE(GlobalMap, nullptr);
  EXPECT_NE(GlobalSettings, nullptr);

  EXPECT_EQ(root->findByName("canvas"), panel);
  EXPECT_EQ(panel->mX, 10);
  EXPECT_EQ(panel->mY, 170);
  EXPECT_EQ(panel->mWidth, 1004);
  EXPECT_EQ(panel->mHeight, 588);
  EXPECT_EQ(root->mFocus, panel);
  EXPECT_TRUE(app->mFramesOnDemand);

  ASSERT_NE(menubar1, nullptr);
  EXPECT_EQ(root->findMenuBar(), menubar1);
  ASSERT_EQ(menubar1->mTopMenus.size(), 1u);
  EXPECT_EQ(menubar1->mTopMenus[0].label, "&Datei");
  GuiMenu* file = menubar1->mTopMenus[0].menu;
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->mName, "file");
  EXPECT_TRUE(file->mOwnedByBar);
  struct Item {
    int id;
    const char* label;
    const char* name;
    bool submenu;
  };
  const Item items[] = {{257, "Neu", "file_new", false},
                        {258, "\xC3\x96" "ffnen...", "file_open", false},
                        {0, "Z&uletzt verwendet", "file_recent", true},
                        {65535, "Beenden", "file_quit", false}};
  ASSERT_EQ(file->mItems.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(file->mItems[i]->mId, items[i].id);
    EXPECT_EQ(file->mItems[i]->mLabel, items[i].label);
    EXPECT_EQ(file->mItems[i]->mName, items[i].name);
    EXPECT_EQ(file->mItems[i]->mHasSubmenu, items[i].submenu);
  }

  for (size_t i = 0; i < 7; ++i) {
    GuiImageButton* b = button(kToolNames[i]);
    ASSERT_NE(b, nullptr) << kToolNames[i];
    EXPECT_EQ(b->mX, 10 + 30 * static_cast<int>(i));
    EXPECT_EQ(b->mY, 30);
    EXPECT_EQ(b->mWidth, 28);
    EXPECT_EQ(b->mHeight, 28);
    EXPECT_EQ(b->mImageWidth, 20) << "icon of " << kToolNames[i];
    EXPECT_EQ(b->mImageHeight, 20);
    EXPECT_EQ(app->mToolButtons[i], b);
    EXPECT_FALSE(b->mTooltip.empty()) << "an icon-only button explains itself";
  }
  GuiImageButton* mode = button("mode_shape");
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(mode->mX, 230);
  EXPECT_EQ(mode->mImagePath, "data/icons/resize20x20.png");
  EXPECT_EQ(mode->mImageWidth, 20);
  EXPECT_FALSE(mode->mPressed);
  expectToolBarShows(Tool::Select);
}

TEST_F(MainWindowTest, StartSizeResizesMenuBarAndCanvasWithTheWindow) {
  std::string a0 = "velmaris", a1 = "--window-size", a2 = "800x600";
  char* argv[] = {a0.data(), a1.data(), a2.data(), nullptr};
  int argc = 3;
  ASSERT_TRUE(app->takeCommandLineOptions(argc, argv));
  app->applyStartWindowSize();
  EXPECT_EQ(MainAppWindow->w, 800);
  EXPECT_EQ(MainAppWindow->h, 600);
  EXPECT_EQ(menubar1->mWidth, 800);
  // The canvas keeps its position and its right and bottom margins.
  EXPECT_EQ(panel->mX, 10);
  EXPECT_EQ(panel->mY, 170);
  EXPECT_EQ(panel->mWidth, 780);
  EXPECT_EQ(panel->mHeight, 420);
  EXPECT_EQ(button("mode_shape")->mX, 230);
}

TEST_F(MainWindowTest, ToolButtonsSelectToolsLikeRadioButtons) {
  for (int t = 1; t < 7; ++t) {
    clickOn(kToolNames[t]);
    expectToolBarShows(static_cast<Tool>(t));
    EXPECT_EQ(root->mFocus, panel) << "focus goes back to the canvas";
  }
  // Pressing the active tool again releases it and returns to the selection tool.
  clickOn("tool_image");
  expectToolBarShows(Tool::Select);
  // Pressing the selection tool while it is active leaves it active.
  clickOn("tool_select");
  expectToolBarShows(Tool::Select);
  EXPECT_EQ(value("tool_select"), "1");
}

TEST_F(MainWindowTest, ToolChangesOfThePanelShowInTheToolBar) {
  panel->setTool(Tool::Circle);
  expectToolBarShows(Tool::Circle);
  // Escape with a shape tool returns to the selection tool; the bar follows.
  key(SDLK_ESCAPE);
  expectToolBarShows(Tool::Select);
  EXPECT_FALSE(app->mQuitRequested);
  // A screenplay's "set" on a button works like a click.
  ASSERT_TRUE(button("tool_triangle")->setValueText("1"));
  expectToolBarShows(Tool::Triangle);
  // Escape with the selection tool ends the application.
  key(SDLK_ESCAPE);
  key(SDLK_ESCAPE);
  EXPECT_TRUE(app->mQuitRequested);
}

TEST_F(MainWindowTest, ModeButtonAndF5KeepViewModeAndButtonInStep) {
  GuiImageButton* mode = button("mode_shape");
  std::string m;
  clickOn("mode_shape");
  EXPECT_EQ(panel->mViewMode, VIEW_MODE_SHAPE);
  EXPECT_TRUE(mode->mPressed);
  EXPECT_TRUE(sameColor(mode->mBackground, Velmaris::kHighlight));
  ASSERT_TRUE(panel->getValueTextOf("mode", m));
  EXPECT_EQ(m, "shape");
  EXPECT_EQ(root->mFocus, panel);

  key(SDLK_F5);
  EXPECT_EQ(panel->mViewMode, VIEW_MODE_CONNECTION);
  EXPECT_FALSE(mode->mPressed);
  EXPECT_TRUE(sameColor(mode->mBackground, SDL_Color{0, 0, 0, 0}));

  key(SDLK_F5);
  EXPECT_EQ(panel->mViewMode, VIEW_MODE_SHAPE);
  EXPECT_TRUE(mode->mPressed);
  clickOn("mode_shape");
  EXPECT_EQ(panel->mViewMode, VIEW_MODE_CONNECTION);
  EXPECT_EQ(value("mode_shape"), "0");
}

TEST_F(MainWindowTest, AltDOpensFileMenuAndRecentSubmenuHasThreeEntriesEachTime) {
  GuiMenu* file = menubar1->mTopMenus[0].menu;
  key(SDLK_d, KMOD_LALT);
  ASSERT_EQ(root->mPopups.size(), 1u);
  EXPECT_EQ(root->mPopups.back(), file);
  EXPECT_EQ(menubar1->mOpenIndex, 0);
  EXPECT_EQ(panel->mViewMode, VIEW_MODE_CONNECTION);  // the d did not reach the canvas

  for (int round = 0; round < 2; ++round) {
    key(SDLK_u);  // mnemonic of "Zuletzt verwendet"
    ASSERT_EQ(root->mPopups.size(), 2u);
    GuiMenu* sub = dynamic_cast<GuiMenu*>(root->mPopups.back());
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(sub->mItems.size(), 3u);
    EXPECT_EQ(sub->mItems[0]->mName, "recent1");
    EXPECT_EQ(sub->mItems[1]->mLabel, "Didel &2");
    EXPECT_EQ(sub->mItems[2]->mId, 1102);
    key(SDLK_LEFT);
    ASSERT_EQ(root->mPopups.size(), 1u);
  }
  key(SDLK_ESCAPE);
  EXPECT_TRUE(root->mPopups.empty());
  EXPECT_EQ(menubar1->mOpenIndex, -1);
  EXPECT_FALSE(app->mQuitRequested);  // Escape went to the menu, not to the canvas
}

TEST_F(MainWindowTest, OnlyTheQuitItemEndsTheApplication) {
  struct Case {
    int upPresses;  // from no highlight, Up reaches the last item first
    bool quits;
  };
  const Case cases[] = {{4, false} /* Neu */, {3, false} /* Öffnen... */, {1, true} /* Beenden */};
  for (const Case& c : cases) {
    app->mQuitRequested = false;
    key(SDLK_d, KMOD_RALT);
    for (int i = 0; i < c.upPresses; ++i) key(SDLK_UP);
    key(SDLK_RETURN);
    EXPECT_TRUE(root->mPopups.empty());
    EXPECT_EQ(app->mQuitRequested, c.quits) << "after " << c.upPresses << " x Up";
  }
}

TEST_F(MainWindowTest, KeysReachTheCanvasAgainAfterTheMenuWasUsedByMouse) {
  GuiMenu* file = menubar1->mTopMenus[0].menu;
  SDL_Rect title{0, 0, 0, 0};
  ASSERT_TRUE(menubar1->partRect("file", title));
  mouse(SDL_MOUSEBUTTONDOWN, title.x + 5, 10, MainAppWindow->id);
  mouse(SDL_MOUSEBUTTONUP, title.x + 5, 10, MainAppWindow->id);
  ASSERT_EQ(root->mPopups.size(), 1u);
  SDL_Rect item{0, 0, 0, 0};
  ASSERT_TRUE(file->partRect("file_new", item));
  mouse(SDL_MOUSEBUTTONDOWN, item.x + 20, item.y + 3, MainAppWindow->id);
  mouse(SDL_MOUSEBUTTONUP, item.x + 20, item.y + 3, MainAppWindow->id);
  EXPECT_TRUE(root->mPopups.empty());
  EXPECT_EQ(root->mFocus, panel);
  key(SDLK_F5);
  EXPECT_EQ(panel->mViewMode, VIEW_MODE_SHAPE);
}

TEST_F(MainWindowTest, ShiftOTogglesProfiling) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  ckSetDebugOut(out);
  key(SDLK_o, KMOD_LSHIFT);
  key(SDLK_o, KMOD_RSHIFT);
  key(SDLK_o);  // without Shift: nothing
  ckSetDebugOut(stdout);
  std::fflush(out);
  std::rewind(out);
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, out)) > 0) text.append(buf, n);
  std::fclose(out);
  const size_t on = text.find("Profiling enabled");
  const size_t off = text.find("Profiling disabled");
  ASSERT_NE(on, std::string::npos) << text;
  ASSERT_NE(off, std::string::npos) << text;
  EXPECT_LT(on, off);
  EXPECT_EQ(text.find("Profiling enabled", on + 1), std::string::npos);
}

TEST_F(MainWindowTest, WhileADialogIsModalTheMainWindowGetsNothing) {
  for (const SDL_Keycode answer : {SDLK_RETURN, SDLK_ESCAPE}) {
    AppWindow* dlg = app->createAppDialog(app, "Frage", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 300, 150,
                                          SDL_WINDOW_HIDDEN, SDL_Color{220, 220, 220, 255});
    ASSERT_NE(dlg, nullptr);
    const Uint32 dlgId = dlg->id;
    app->openModal(dlg->main_window);
    ASSERT_EQ(app->mModalWindow, dlg->main_window);

    // A click on a tool button of the main window reaches nothing.
    clickOn("tool_rectangle");
    expectToolBarShows(Tool::Select);
    // Keys for the main window are dropped too.
    key(SDLK_ESCAPE);
    EXPECT_FALSE(app->mQuitRequested);

    // Return accepts and Escape cancels; either way the dialog window is disposed of.
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = dlgId;
    e.key.keysym.sym = answer;
    GuiEvent ge;
    ge.window_id = dlgId;
    ge.raw = &e;
    app->onEvent(dlg, ge);
    EXPECT_EQ(app->mModalWindow, nullptr);
    app->processDestroyRequests();
    EXPECT_EQ(GuiFindWindowById(dlgId), nullptr);
  }
  // Afterwards the main window works again.
  clickOn("tool_rectangle");
  expectToolBarShows(Tool::Rectangle);
}

// The main window object with a count of the close notifications it is given.
class CountingVelmaris : public Velmaris {
 public:
  int closeNotifications = 0;
  void onEvent(AppWindow* window, GuiEvent& event) override {
    if (event.type == GE_RawSDL && event.raw && event.raw->type == SDL_WINDOWEVENT &&
        event.raw->window.event == SDL_WINDOWEVENT_CLOSE)
      ++closeNotifications;
    Velmaris::onEvent(window, event);
  }
};

TEST_F(MainWindowTest, ClosingTheWindowEndsTheMainLoopWithOneCloseNotification) {
  delete app;  // replaced by the counting variant, in the same working directory
  CountingVelmaris* counting = new CountingVelmaris;
  app = counting;
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = MainAppWindow->id;
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  app->mInjectedEvents.push_back(e);
  app->run();  // returns once the quit has gone round
  EXPECT_TRUE(app->mQuitRequested);
  EXPECT_EQ(counting->closeNotifications, 1);
  EXPECT_NE(MainAppWindow, nullptr);  // the window goes with the object
}

TEST_F(MainWindowTest, QuitRequestFromOutsideEndsTheMainLoop) {
  // SIGINT and SIGTERM reach the program as SDL_QUIT; it must end like a closed window,
  // also while a screenplay-free editor sits idle.
  delete app;
  CountingVelmaris* counting = new CountingVelmaris;
  app = counting;
  SDL_Event e{};
  e.type = SDL_QUIT;
  app->mInjectedEvents.push_back(e);
  app->run();
  EXPECT_TRUE(app->mQuitRequested);
  EXPECT_EQ(counting->closeNotifications, 1);
}

TEST_F(MainWindowTest, FrameShowsTheSelectedToolHighlighted) {
  clickOn("tool_diamond");
  SDL_Renderer* r = MainAppWindow->renderer;
  root->render(r);
  auto pixel = [&](int x, int y) {
    Uint32 p = 0;
    SDL_Rect rect{x, y, 1, 1};
    SDL_RenderReadPixels(r, &rect, SDL_PIXELFORMAT_ARGB8888, &p, 4);
    return SDL_Color{Uint8(p >> 16), Uint8(p >> 8), Uint8(p), 255};
  };
  // The face of a highlighted button starts two pixels inside its frame.
  EXPECT_TRUE(sameColor(pixel(70 + 2, 30 + 2), Velmaris::kHighlight));
  EXPECT_TRUE(sameColor(pixel(70 + 26, 30 + 26), Velmaris::kHighlight));
  EXPECT_FALSE(sameColor(pixel(10 + 2, 30 + 2), Velmaris::kHighlight));
  EXPECT_FALSE(sameColor(pixel(40 + 2, 30 + 2), Velmaris::kHighlight));
  // The menu bar runs white across the top.
  EXPECT_TRUE(sameColor(pixel(900, 10), SDL_Color{255, 255, 255, 255}));
}

}  // namespace
