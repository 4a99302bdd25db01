// Menus and the menu bar driven through a real root window (dummy video driver):
// mnemonic parsing, layout, keyboard and pointer navigation, submenus built on demand,
// the commands they send and what they draw.
#include "GuiEngine.h"
#include "GuiMenu.h"
#include "GuiMenuBar.h"
#include "GuiMenuItem.h"
#include "GuiMnemonic.h"
#include "GuiWindow.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Mnemonic rule

struct MnemonicCase {
  const char* label;
  const char* clean;
  int offset;
  int length;
};

TEST(ParseMnemonic, CleansLabelsAndLocatesTheMarkedCharacter) {
  const MnemonicCase cases[] = {
      {"&Datei", "Datei", 0, 1},
      {"A&&B", "A&B", -1, 0},
      {"&", "", -1, 0},
      {"Ende&", "Ende", -1, 0},
      {"&a&b", "ab", 1, 1},                     // a later marker replaces the earlier one
      {"Datei &\xC3\xB6" "ffnen", "Datei \xC3\xB6" "ffnen", 6, 2},  // UTF-8 character as a whole
      {"&&&x", "&x", 1, 1},
      {"Z&uletzt verwendet", "Zuletzt verwendet", 1, 1},
      {"a&\xE2\x82", "a\xE2\x82", 1, 2},        // character cut off by the end of the label
      {"", "", -1, 0},
      {"\xE2\x82\xAC&1", "\xE2\x82\xAC" "1", 3, 1},  // offsets count bytes of the clean text
  };
  for (const MnemonicCase& c : cases) {
    std::string clean = "stale";
    int offset = 99, length = 99;
    parse_mnemonic(c.label, clean, offset, length);
    EXPECT_EQ(clean, c.clean) << "label " << c.label;
    EXPECT_EQ(offset, c.offset) << "label " << c.label;
    EXPECT_EQ(length, c.length) << "label " << c.label;
  }
}

// ---------------------------------------------------------------------------
// A small application with a menu bar of two menus; the first has a submenu that is
// built on demand.

class MenuApp : public GuiEngine {
 public:
  std::vector<GuiCommandPayload> commands;
  void onFrame(AppWindow*) override {}
  void onEvent(AppWindow* window, GuiEvent& event) override {
    if (event.type == GE_Command) {
      commands.push_back(event.cmd);
      return;
    }
    if (window && window->main_window) window->main_window->handleEvent(event);
  }
};

class MenuTest : public ::testing::Test {
 protected:
  MenuApp* app = nullptr;
  AppWindow* win = nullptr;
  GuiWindow* root = nullptr;
  GuiMenuBar* bar = nullptr;
  GuiMenu* file = nullptr;
  GuiMenu* edit = nullptr;
  int builds = 0;
  std::vector<GuiMenu*> builtMenus;

  void SetUp() override {
    // The engine opens its font relative to the working directory.
    ASSERT_EQ(::chdir(VELMARIS_RUNTIME_DIR), 0);
    app = new MenuApp;
    win = app->createAppWindow(app, "Menus", 0, 0, 640, 480, SDL_WINDOW_HIDDEN, SDL_Color{200, 200, 200, 255});
    ASSERT_NE(win, nullptr);
    ASSERT_NE(GuiDefaultFont, nullptr) << "data/fonts missing in " VELMARIS_RUNTIME_DIR;
    root = win->main_window;
    bar = new GuiMenuBar(nullptr, -1, SDL_Color{192, 192, 192, 255}, "MenuBar", GuiDefaultFont);
    root->addChild(bar);

    file = new GuiMenu(nullptr, -1, 0, 0, 220, 0, SDL_Color{255, 255, 255, 255}, "Datei", GuiDefaultFont);
    file->setName("file");
    file->mItems = {
        (new GuiMenuItem(257, "&Neu", false, nullptr))->setName("new"),
        (new GuiMenuItem(258, "\xC3\x96" "ffnen...", false, nullptr))->setName("open"),
        (new GuiMenuItem(0, "Z&uletzt verwendet", true,
                         [this](GuiMenu& m) {
                           ++builds;
                           builtMenus.push_back(&m);
                           for (GuiMenuItem* i : m.mItems) delete i;
                           m.mItems.clear();
                           m.mItems.push_back((new GuiMenuItem(1100, "Didel &1", false, nullptr))->setName("r1"));
                           m.mItems.push_back((new GuiMenuItem(1101, "Didel &2", false, nullptr))->setName("r2"));
                           m.mItems.push_back((new GuiMenuItem(1102, "Didel &3", false, nullptr))->setName("r3"));
                         }))->setName("recent"),
        (new GuiMenuItem(65535, "Beenden", false, nullptr))->setName("quit"),
    };
    bar->addTopMenu("&Datei", file);

    edit = new GuiMenu(nullptr, -1, 0, 0, 200, 0, SDL_Color{255, 255, 255, 255}, "Bearbeiten", GuiDefaultFont);
    edit->setName("edit");
    edit->mItems = {(new GuiMenuItem(513, "&R\xC3\xBC" "ckg\xC3\xA4ngig", false, nullptr))->setName("undo")};
    bar->addTopMenu("&Bearbeiten", edit);
  }

  void TearDown() override {
    if (root) {
      root->closeAllPopups(false);
      root->processDestroyQueue();
    }
    delete file;
    delete edit;
    delete app;
  }

  // Routes one raw event through the root, as the engine's loop does.
  void route(SDL_Event& e) {
    GuiEvent ge;
    ge.type = GE_RawSDL;
    ge.window_id = win->id;
    ge.raw = &e;
    app->onEvent(win, ge);
  }
  void key(SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = win->id;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
    e.key.keysym.mod = mod;
    route(e);
  }
  void motion(int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = win->id;
    e.motion.x = x;
    e.motion.y = y;
    route(e);
  }
  void button(Uint32 type, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.windowID = win->id;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    route(e);
  }
  void click(int x, int y) {
    button(SDL_MOUSEBUTTONDOWN, x, y);
    button(SDL_MOUSEBUTTONUP, x, y);
  }
  SDL_Rect part(GuiObject* o, const std::string& name) {
    SDL_Rect r{0, 0, 0, 0};
    EXPECT_TRUE(o->partRect(name, r)) << name;
    return r;
  }
  GuiMenu* topPopup() const {
    return root->mPopups.empty() ? nullptr : dynamic_cast<GuiMenu*>(root->mPopups.back());
  }
};

// ---------------------------------------------------------------------------
// Layout and automation rectangles

TEST_F(MenuTest, BarLaysOutTitlesFromTheLeftAcrossTheWindowWidth) {
  EXPECT_EQ(bar->mWidth, 640);
  EXPECT_EQ(bar->mHeight, 25);
  int w1 = 0, w2 = 0, h = 0;
  TTF_SizeUTF8(GuiDefaultFont, "Datei", &w1, &h);
  TTF_SizeUTF8(GuiDefaultFont, "Bearbeiten", &w2, &h);
  ASSERT_EQ(bar->mTopMenus.size(), 2u);
  EXPECT_EQ(bar->mTopMenus[0].x, 0);
  EXPECT_EQ(bar->mTopMenus[0].width, w1 + 24);
  EXPECT_EQ(bar->mTopMenus[1].x, w1 + 24);
  EXPECT_EQ(bar->mTopMenus[1].width, w2 + 24);

  const SDL_Rect r = part(bar, "edit");
  EXPECT_EQ(r.x, w1 + 24);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.w, w2 + 24);
  EXPECT_EQ(r.h, 25);
  SDL_Rect unused;
  EXPECT_FALSE(bar->partRect("", unused));
  EXPECT_FALSE(bar->partRect("nothing", unused));

  EXPECT_EQ(bar->hitTopIndex(0, 0), 0);
  EXPECT_EQ(bar->hitTopIndex(w1 + 23, 24), 0);
  EXPECT_EQ(bar->hitTopIndex(w1 + 24, 10), 1);
  EXPECT_EQ(bar->hitTopIndex(w1 + w2 + 48, 10), -1);  // right of the last title
  EXPECT_EQ(bar->hitTopIndex(5, 25), -1);             // below the bar
}

TEST_F(MenuTest, MenuItemRowsByNameAndHeightFollowsTheItemCount) {
  ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
  const int lh = file->lineHeight();
  EXPECT_EQ(lh, TTF_FontLineSkip(GuiDefaultFont) + 5);
  EXPECT_EQ(file->mHeight, 4 * lh);
  const SDL_Rect r = part(file, "recent");
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 25 + 2 * lh);
  EXPECT_EQ(r.w, 220);
  EXPECT_EQ(r.h, lh);
  SDL_Rect unused;
  EXPECT_FALSE(file->partRect("", unused));
  // The root finds items of open menus and titles of the bar.
  GuiObject* owner = nullptr;
  ASSERT_TRUE(root->findPart("quit", owner, unused));
  EXPECT_EQ(owner, file);
  ASSERT_TRUE(root->findPart("edit", owner, unused));
  EXPECT_EQ(owner, bar);
}

// ---------------------------------------------------------------------------
// Opening by label, index and pointer

TEST_F(MenuTest, OpeningTitlesPlacesTheMenuBelowItsTitle) {
  EXPECT_FALSE(bar->openTopMenuLabel("Datei"));  // the raw label with "&" is required
  EXPECT_FALSE(bar->openTopMenuIndex(2));
  EXPECT_EQ(bar->mOpenIndex, -1);
  EXPECT_TRUE(root->mPopups.empty());

  ASSERT_TRUE(bar->openTopMenuIndex(1));
  EXPECT_EQ(topPopup(), edit);
  EXPECT_EQ(edit->mX, bar->mTopMenus[1].x);
  EXPECT_EQ(edit->mY, 25);
  EXPECT_TRUE(edit->mOwnedByBar);
  EXPECT_EQ(bar->mOpenIndex, 1);

  // Switching titles closes the old menu first; it survives because the bar owns it.
  ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
  ASSERT_EQ(root->mPopups.size(), 1u);
  EXPECT_EQ(topPopup(), file);
  EXPECT_EQ(bar->mOpenIndex, 0);
  root->closeAllPopups(true);
  root->processDestroyQueue();
  EXPECT_EQ(bar->mOpenIndex, -1);
  EXPECT_EQ(edit->mParent, nullptr);
  EXPECT_EQ(edit->mItems.size(), 1u);  // not deleted
}

TEST_F(MenuTest, PointerOpensTitlesAndFollowsAlongTheBar) {
  const SDL_Rect datei = part(bar, "file");
  const SDL_Rect bearbeiten = part(bar, "edit");
  button(SDL_MOUSEBUTTONDOWN, datei.x + 5, 10);
  EXPECT_EQ(topPopup(), file);
  EXPECT_EQ(bar->mOpenIndex, 0);
  button(SDL_MOUSEBUTTONUP, datei.x + 5, 10);
  motion(bearbeiten.x + 5, 10);
  EXPECT_EQ(topPopup(), edit);
  EXPECT_EQ(bar->mOpenIndex, 1);
  ASSERT_EQ(root->mPopups.size(), 1u);
  // A press outside every popup closes them and resets the bar.
  click(600, 400);
  EXPECT_TRUE(root->mPopups.empty());
  EXPECT_EQ(bar->mOpenIndex, -1);
  EXPECT_TRUE(app->commands.empty());
}

// ---------------------------------------------------------------------------
// Keyboard navigation

TEST_F(MenuTest, ArrowKeysWrapAroundTheItems) {
  ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
  key(SDLK_UP);  // from no highlight to the last item
  EXPECT_EQ(file->mHovered, 3);
  key(SDLK_DOWN);  // after the last: the first again
  EXPECT_EQ(file->mHovered, 0);
  key(SDLK_UP);  // from the first: the last
  EXPECT_EQ(file->mHovered, 3);
  key(SDLK_UP);
  EXPECT_EQ(file->mHovered, 2);
  root->closeAllPopups(true);
  ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
  key(SDLK_DOWN);  // a reopened menu starts without highlight
  EXPECT_EQ(file->mHovered, 0);
}

TEST_F(MenuTest, ReturnOnHighlightedItemSendsOneCommandAndClosesEverything) {
  ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
  key(SDLK_RETURN);  // nothing highlighted: nothing happens
  EXPECT_TRUE(app->commands.empty());
  EXPECT_EQ(root->mPopups.size(), 1u);
  key(SDLK_DOWN);
  key(SDLK_DOWN);
  key(SDLK_RETURN);
  ASSERT_EQ(app->commands.size(), 1u);
  EXPECT_EQ(app->commands[0].cmd_id, GUI_CMD_MENU);
  EXPECT_EQ(app->commands[0].source_id, 258);
  EXPECT_EQ(app->commands[0].param, 0);
  EXPECT_EQ(app->commands[0].source, file);
  EXPECT_TRUE(root->mPopups.empty());
  EXPECT_EQ(bar->mOpenIndex, -1);
}

TEST_F(MenuTest, MnemonicLetterActivatesItsItemWithShiftButNotWithCtrlOrAlt) {
  struct Case {
    Uint16 mod;
    bool activates;
  };
  const Case cases[] = {{KMOD_NONE, true}, {KMOD_LSHIFT, true}, {KMOD_LCTRL, false}, {KMOD_RALT, false},
                        {KMOD_LGUI, false}};
  for (const Case& c : cases) {
    app->commands.clear();
    root->closeAllPopups(true);
    root->processDestroyQueue();
    ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
    key(SDLK_n, c.mod);
    if (c.activates) {
      ASSERT_EQ(app->commands.size(), 1u) << "mod " << c.mod;
      EXPECT_EQ(app->commands[0].source_id, 257);
      EXPECT_TRUE(root->mPopups.empty());
    } else {
      EXPECT_TRUE(app->commands.empty()) << "mod " << c.mod;
      EXPECT_EQ(topPopup(), file);
    }
  }
}

TEST_F(MenuTest, EscapeClosesAllPopupsAndResetsTheBar) {
  ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
  key(SDLK_u);  // the mnemonic of the submenu item opens the submenu
  ASSERT_EQ(root->mPopups.size(), 2u);
  key(SDLK_ESCAPE);
  root->processDestroyQueue();
  EXPECT_TRUE(root->mPopups.empty());
  EXPECT_EQ(bar->mOpenIndex, -1);
  EXPECT_EQ(file->mOpenSubmenu, nullptr);
  EXPECT_TRUE(app->commands.empty());
}

TEST_F(MenuTest, RightAndLeftWalkAlongTheBarFromPlainItems) {
  ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
  key(SDLK_DOWN);  // "Neu" has no submenu
  key(SDLK_RIGHT);
  EXPECT_EQ(topPopup(), edit);
  EXPECT_EQ(bar->mOpenIndex, 1);
  key(SDLK_RIGHT);  // from the last title it wraps to the first
  EXPECT_EQ(topPopup(), file);
  EXPECT_EQ(bar->mOpenIndex, 0);
  key(SDLK_LEFT);  // and back again from the first to the last
  EXPECT_EQ(topPopup(), edit);
  EXPECT_EQ(bar->mOpenIndex, 1);
  EXPECT_EQ(root->mPopups.size(), 1u);
}

// ---------------------------------------------------------------------------
// Submenus

TEST_F(MenuTest, SubmenuIsBuiltAfreshAtEveryOpeningWithExactlyItsItems) {
  ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
  for (int round = 1; round <= 2; ++round) {
    if (round == 1) {
      key(SDLK_UP);
      key(SDLK_UP);  // "Zuletzt verwendet"
    }
    ASSERT_EQ(file->mHovered, 2);  // closing the submenu keeps the parent's highlight
    key(SDLK_RIGHT);
    ASSERT_EQ(builds, round);
    GuiMenu* sub = topPopup();
    ASSERT_NE(sub, file);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub, builtMenus.back());
    EXPECT_EQ(sub->mItems.size(), 3u);
    EXPECT_EQ(sub->mTitle, "submenu");
    EXPECT_EQ(sub->mHovered, 0);  // opened by the keyboard: first item highlighted
    EXPECT_EQ(sub->mParentMenu, file);
    EXPECT_EQ(sub->mParentIndex, 2);
    EXPECT_EQ(file->mOpenSubmenu, sub);
    EXPECT_EQ(sub->mX, file->mX + file->mWidth - 2);
    EXPECT_EQ(sub->mY, file->mY + 2 * file->lineHeight());
    EXPECT_EQ(sub->mWidth, 240);
    key(SDLK_LEFT);  // closes only the submenu
    root->processDestroyQueue();
    EXPECT_EQ(topPopup(), file);
    EXPECT_EQ(root->mPopups.size(), 1u);
    EXPECT_EQ(file->mOpenSubmenu, nullptr);
  }
}

TEST_F(MenuTest, SubmenuItemSendsItsIdWithTheSubmenuAsSource) {
  ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
  key(SDLK_u);
  GuiMenu* sub = topPopup();
  ASSERT_NE(sub, file);
  EXPECT_EQ(sub->mHovered, -1);  // opened by a mnemonic: no highlight
  key(SDLK_2);
  ASSERT_EQ(app->commands.size(), 1u);
  EXPECT_EQ(app->commands[0].source_id, 1101);
  EXPECT_EQ(app->commands[0].source, sub);
  root->processDestroyQueue();
  EXPECT_TRUE(root->mPopups.empty());
  EXPECT_EQ(file->mOpenSubmenu, nullptr);
}

TEST_F(MenuTest, HoveringOpensSubmenuAndMovingToPlainItemClosesIt) {
  ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
  const SDL_Rect recent = part(file, "recent");
  motion(recent.x + 20, recent.y + recent.h / 2);
  ASSERT_EQ(root->mPopups.size(), 2u);
  GuiMenu* sub = topPopup();
  EXPECT_EQ(sub->mHovered, -1);  // opened by the pointer: no highlight
  EXPECT_EQ(sub->mX, 218);       // overlaps the menu by two pixels
  EXPECT_EQ(builds, 1);

  // Along the row into the submenu: the submenu becomes the active popup.
  const SDL_Rect r2 = part(sub, "r2");
  motion(r2.x + 30, recent.y + recent.h / 2);
  EXPECT_EQ(root->mActivePopup, sub);
  EXPECT_EQ(sub->mHovered, 0);
  motion(r2.x + 30, r2.y + 2);
  EXPECT_EQ(sub->mHovered, 1);

  // Back over a plain item of the parent: the submenu closes.
  const SDL_Rect quit = part(file, "quit");
  motion(quit.x + 20, quit.y + 3);
  root->processDestroyQueue();
  EXPECT_EQ(root->mPopups.size(), 1u);
  EXPECT_EQ(file->mHovered, 3);
  EXPECT_EQ(file->mOpenSubmenu, nullptr);
  EXPECT_EQ(builds, 1);
}

TEST_F(MenuTest, ClickOnPlainItemChoosesItClickOnSubmenuItemDoesNot) {
  ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
  const SDL_Rect recent = part(file, "recent");
  motion(recent.x + 20, recent.y + 3);
  click(recent.x + 20, recent.y + 3);
  EXPECT_TRUE(app->commands.empty());
  EXPECT_EQ(root->mPopups.size(), 2u);

  const SDL_Rect quit = part(file, "quit");
  motion(quit.x + 20, quit.y + 3);
  click(quit.x + 20, quit.y + 3);
  ASSERT_EQ(app->commands.size(), 1u);
  EXPECT_EQ(app->commands[0].source_id, 65535);
  root->processDestroyQueue();
  EXPECT_TRUE(root->mPopups.empty());
  EXPECT_EQ(bar->mOpenIndex, -1);
}

TEST_F(MenuTest, EmptyMenuIgnoresKeys) {
  GuiMenu* empty = new GuiMenu(nullptr, -1, 0, 0, 100, 0, SDL_Color{255, 255, 255, 255}, "leer", GuiDefaultFont);
  bar->addTopMenu("&Leer", empty);
  ASSERT_TRUE(bar->openTopMenuLabel("&Leer"));
  key(SDLK_DOWN);
  key(SDLK_RETURN);
  EXPECT_EQ(empty->mHovered, -1);
  EXPECT_EQ(topPopup(), empty);
  EXPECT_TRUE(app->commands.empty());
  root->closeAllPopups(false);
  delete empty;
}

// ---------------------------------------------------------------------------
// Drawing, read back from the window's renderer

struct Pixel {
  int r, g, b;
};

Pixel readPixel(SDL_Renderer* renderer, int x, int y) {
  Uint32 p = 0;
  SDL_Rect r{x, y, 1, 1};
  SDL_RenderReadPixels(renderer, &r, SDL_PIXELFORMAT_ARGB8888, &p, 4);
  return Pixel{static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
}

bool isDark(const Pixel& p) { return p.r < 90 && p.g < 90 && p.b < 90; }

TEST_F(MenuTest, MenuDrawsHighlightSubmenuArrowAndMnemonicUnderline) {
  SDL_Renderer* renderer = win->renderer;
  ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
  file->mHovered = 1;
  SDL_SetRenderDrawColor(renderer, 147, 187, 236, 255);
  SDL_RenderClear(renderer);
  file->render(renderer);
  const int lh = file->lineHeight();
  const int y0 = file->mY;

  const Pixel face = readPixel(renderer, 4, y0 + lh / 2);
  EXPECT_EQ(face.r, 255);
  EXPECT_EQ(face.b, 255);
  const Pixel hl = readPixel(renderer, 4, y0 + lh + lh / 2);
  EXPECT_EQ(hl.r, 0);
  EXPECT_EQ(hl.g, 0);
  EXPECT_EQ(hl.b, 150);
  const Pixel hlEdge = readPixel(renderer, 4, y0 + lh);
  EXPECT_EQ(hlEdge.r, 160);
  EXPECT_TRUE(isDark(readPixel(renderer, 100, y0 + 4 * lh - 1)));  // bottom line

  // Arrow of the submenu item: its tip at (x + width - 10, centre of the row).
  const int cy = y0 + 2 * lh + lh / 2;
  EXPECT_TRUE(isDark(readPixel(renderer, 210, cy)));
  EXPECT_FALSE(isDark(readPixel(renderer, 210, cy - 6)));

  // "&Neu": the underline runs under the N only, at text y + height - 2.
  int tw = 0, th = 0, nw = 0;
  TTF_SizeUTF8(GuiDefaultFont, "Neu", &tw, &th);
  TTF_SizeUTF8(GuiDefaultFont, "N", &nw, &th);
  const int uy = y0 + (lh - th) / 2 + th - 2;
  EXPECT_TRUE(isDark(readPixel(renderer, 8, uy)));
  EXPECT_TRUE(isDark(readPixel(renderer, 8 + nw - 1, uy)));
}

TEST_F(MenuTest, BarDrawsOpenTitleInverted) {
  SDL_Renderer* renderer = win->renderer;
  SDL_SetRenderDrawColor(renderer, 147, 187, 236, 255);
  SDL_RenderClear(renderer);
  bar->render(renderer);
  const SDL_Rect datei = part(bar, "file");
  const Pixel closedTitle = readPixel(renderer, datei.x + 3, 12);
  EXPECT_EQ(closedTitle.r, 255);
  EXPECT_EQ(closedTitle.b, 255);
  EXPECT_TRUE(isDark(readPixel(renderer, 300, 24)));  // bottom line of the bar

  ASSERT_TRUE(bar->openTopMenuLabel("&Datei"));
  SDL_RenderClear(renderer);
  bar->render(renderer);
  const Pixel openTitle = readPixel(renderer, datei.x + 3, 12);
  EXPECT_EQ(openTitle.r, 0);
  EXPECT_EQ(openTitle.b, 150);
  const Pixel outline = readPixel(renderer, datei.x, 12);
  EXPECT_EQ(outline.r, 160);
  // The D is underlined in black at text x = title x + 12.
  int dw = 0, th = 0;
  TTF_SizeUTF8(GuiDefaultFont, "D", &dw, &th);
  const int uy = (25 - th) / 2 + th - 2;
  EXPECT_TRUE(isDark(readPixel(renderer, datei.x + 12 + dw / 2, uy)));
  // Other titles stay white.
  const SDL_Rect bearbeiten = part(bar, "edit");
  EXPECT_EQ(readPixel(renderer, bearbeiten.x + 3, 12).b, 255);
  EXPECT_EQ(readPixel(renderer, bearbeiten.x + 3, 12).r, 255);
}

}  // namespace
