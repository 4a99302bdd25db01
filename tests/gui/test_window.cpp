// Root window: routing to capture, hover, focus, wheel targets and popups, deferred
// deletion, tooltips, value texts, lookup by name and locate.
#include "GuiTestSupport.h"

#include "GuiButton.h"

using namespace guitest;

namespace {

struct RootFixture : public ::testing::Test {
  TestApp app;
  AppWindow* win = nullptr;
  GuiWindow* root = nullptr;
  Uint32 id = 0;
  void SetUp() override {
    win = app.open(400, 300);
    ASSERT_NE(win, nullptr);
    root = win->main_window;
    id = win->id;
    app.runStart();
    app.settle();
  }
};

// A popup that records what reaches it.
class Popup : public Probe {
 public:
  using Probe::Probe;
};

}  // namespace

// ---------------------------------------------------------------------------
// Hover and capture

TEST_F(RootFixture, MovingBetweenWidgetsGivesOneLeaveAndOneEnterBeforeTheMotion) {
  auto* a = root->addChild(new Probe(10, 10, 100, 50));
  auto* b = root->addChild(new Probe(150, 10, 100, 50));
  app.send(motion(id, 20, 30));
  app.send(motion(id, 30, 35));
  app.send(motion(id, 160, 25));
  EXPECT_EQ(a->log, (std::vector<std::string>{"enter 10 20", "event 1024", "event 1024", "leave"}));
  EXPECT_EQ(b->log, (std::vector<std::string>{"enter 10 15", "event 1024"}));
  ASSERT_EQ(b->events.size(), 1u);
  EXPECT_EQ(b->events[0].x, 10);
  EXPECT_EQ(b->events[0].y, 15);
  EXPECT_EQ(b->events[0].object, b);
  EXPECT_EQ(root->mHover, b);

  // Leaving every widget ends the hover without delivering the motion.
  app.send(motion(id, 300, 200));
  EXPECT_EQ(b->log.back(), "leave");
  EXPECT_EQ(b->count(SDL_MOUSEMOTION), 1);
  EXPECT_EQ(root->mHover, nullptr);
}

TEST_F(RootFixture, PressDragAndReleaseStayWithTheCapturingWidget) {
  auto* a = root->addChild(new Probe(10, 10, 100, 50));
  auto* b = root->addChild(new Probe(150, 10, 100, 50));
  app.send(motion(id, 20, 20));
  app.send(down(id, 20, 20));
  EXPECT_EQ(root->mCapture, a);
  EXPECT_EQ(root->mFocus, a);
  EXPECT_TRUE(a->mFocused);
  app.send(motion(id, 200, 30));  // over b
  app.send(motion(id, 5, 2));     // left of and above a
  app.send(up(id, 180, 40));
  EXPECT_TRUE(b->events.empty()) << "nothing reaches b during the drag";
  EXPECT_EQ(root->mHover, a) << "hover does not change during the drag";
  ASSERT_EQ(a->events.size(), 5u);
  EXPECT_EQ(a->events[2].x, 190);
  EXPECT_EQ(a->events[3].x, -5);
  EXPECT_EQ(a->events[3].y, -8);
  EXPECT_EQ(a->events[4].type, static_cast<Uint32>(SDL_MOUSEBUTTONUP));
  EXPECT_EQ(a->events[4].x, 170);
  EXPECT_EQ(root->mCapture, nullptr);
}

TEST_F(RootFixture, KeysGoToTheFocusWidgetOrAreDropped) {
  auto* a = root->addChild(new Probe(10, 10, 100, 50));
  app.send(key(id, SDLK_x));
  EXPECT_TRUE(a->events.empty());
  root->setFocus(a);
  app.send(key(id, SDLK_x));
  EXPECT_EQ(a->count(SDL_KEYDOWN), 1);
  // A release without capture goes to the focus widget with a relative position.
  app.send(up(id, 30, 40));
  ASSERT_EQ(a->count(SDL_MOUSEBUTTONUP), 1);
  EXPECT_EQ(a->events.back().x, 20);
}

TEST_F(RootFixture, FocusMovesWithLoseFocusOnTheOldWidget) {
  auto* a = root->addChild(new Probe(10, 10, 100, 50));
  auto* b = root->addChild(new Probe(150, 10, 100, 50));
  root->setFocus(a);
  root->setFocus(a);
  root->setFocus(b);
  EXPECT_EQ(a->log, (std::vector<std::string>{"lose"}));
  EXPECT_FALSE(a->mFocused);
  EXPECT_TRUE(b->mFocused);
  root->setFocus(nullptr);
  EXPECT_FALSE(b->mFocused);
  EXPECT_EQ(root->mFocus, nullptr);
}

TEST_F(RootFixture, WheelGoesToTheWidgetThatWantsItElseToTheFocus) {
  auto* list = root->addChild(new Probe(10, 10, 100, 100));
  list->wheel = true;
  auto* text = root->addChild(new Probe(150, 10, 100, 30));
  auto* plain = root->addChild(new Probe(150, 100, 100, 30));
  root->setFocus(text);
  app.send(wheel(id, 50, 50, 1));
  app.send(wheel(id, 160, 110, 1));
  app.send(wheel(id, 390, 290, 1));
  EXPECT_EQ(list->count(SDL_MOUSEWHEEL), 1);
  EXPECT_EQ(text->count(SDL_MOUSEWHEEL), 2);
  EXPECT_EQ(plain->count(SDL_MOUSEWHEEL), 0);
}

TEST_F(RootFixture, PressOnNothingChangesNothing) {
  auto* a = root->addChild(new Probe(10, 10, 100, 50));
  root->setFocus(a);
  app.send(down(id, 300, 250));
  EXPECT_EQ(root->mFocus, a);
  EXPECT_EQ(root->mCapture, nullptr);
  EXPECT_TRUE(a->events.empty());
}

// ---------------------------------------------------------------------------
// Popups

TEST_F(RootFixture, ClickOutsideAnOpenPopupClosesItAndReachesTheWidgetBelow) {
  auto* a = root->addChild(new Probe(10, 10, 100, 50));
  int popupDeleted = 0;
  auto* p = new Popup(200, 100, 100, 100);
  p->deletedFlag = &popupDeleted;
  root->openPopup(p);
  EXPECT_EQ(root->mActivePopup, p);
  EXPECT_EQ(p->mParent, root);
  app.send(key(id, SDLK_DOWN));
  EXPECT_EQ(p->count(SDL_KEYDOWN), 1) << "keys go to the active popup";
  app.send(down(id, 20, 20));
  EXPECT_EQ(popupDeleted, 1);
  EXPECT_TRUE(root->mPopups.empty());
  EXPECT_EQ(root->mActivePopup, nullptr);
  EXPECT_EQ(a->count(SDL_MOUSEBUTTONDOWN), 1);
  EXPECT_EQ(root->mFocus, a);
  EXPECT_EQ(root->mCapture, a);
}

TEST_F(RootFixture, PressInsideAPopupGoesToItWithRelativePosition) {
  auto* a = root->addChild(new Probe(0, 0, 400, 300));
  auto* low = new Popup(50, 50, 200, 200);
  auto* high = new Popup(100, 100, 50, 50);
  root->openPopup(low);
  root->openPopup(high);
  app.send(down(id, 60, 70));
  EXPECT_TRUE(a->events.empty());
  EXPECT_EQ(root->mPopups.size(), 2u);
  ASSERT_EQ(high->count(SDL_MOUSEBUTTONDOWN), 1) << "the active popup gets the press";
  EXPECT_EQ(high->events.back().x, -40);
  // Motion over the lower popup makes it the active one; it reads the SDL position.
  app.send(motion(id, 60, 70));
  EXPECT_EQ(root->mActivePopup, low);
  ASSERT_EQ(low->count(SDL_MOUSEMOTION), 1);
  app.send(key(id, SDLK_a));
  EXPECT_EQ(low->count(SDL_KEYDOWN), 1);
  // Closing the top popup makes the one below active again.
  root->closeTopPopup(false);
  app.send(key(id, SDLK_a));
  EXPECT_EQ(root->mPopups.size(), 1u);
  EXPECT_EQ(root->mActivePopup, low);
}

TEST_F(RootFixture, LosingWindowFocusClosesPopupsAndEndsHover) {
  auto* a = root->addChild(new Probe(10, 10, 100, 50));
  app.send(motion(id, 20, 20));
  ASSERT_EQ(root->mHover, a);
  int deleted = 0;
  auto* p = new Popup(200, 100, 100, 100);
  p->deletedFlag = &deleted;
  root->openPopup(p);
  app.send(windowEvent(id, SDL_WINDOWEVENT_FOCUS_LOST));
  EXPECT_EQ(deleted, 1);
  EXPECT_TRUE(root->mPopups.empty());
  EXPECT_EQ(root->mHover, nullptr);
  EXPECT_EQ(a->log[a->log.size() - 2], "leave");
  EXPECT_EQ(a->count(SDL_WINDOWEVENT), 1) << "every child hears window events";
}

TEST_F(RootFixture, ClosingPopupsAfterOneKeepsThatOne) {
  auto* p1 = new Popup(0, 0, 10, 10);
  auto* p2 = new Popup(20, 0, 10, 10);
  auto* p3 = new Popup(40, 0, 10, 10);
  root->openPopup(p1);
  root->openPopup(p2);
  root->openPopup(p3);
  EXPECT_EQ(root->topmostPopupAt(45, 5), p3);
  EXPECT_FALSE(root->pointInAnyPopup(15, 5));
  root->closePopupsAfter(p1);
  root->processDestroyQueue();
  ASSERT_EQ(root->mPopups.size(), 1u);
  EXPECT_EQ(root->mPopups[0], p1);
  EXPECT_EQ(root->mActivePopup, p1);
  EXPECT_EQ(root->mChildren.size(), 1u);
}

// ---------------------------------------------------------------------------
// Deferred deletion

TEST_F(RootFixture, WidgetDeletingItselfIsGoneAfterTheEvent) {
  int deleted = 0;
  auto* a = root->addChild(new Probe(10, 10, 100, 50));
  a->deleteSelfOnPress = true;
  a->deletedFlag = &deleted;
  app.send(motion(id, 20, 20));
  app.send(down(id, 20, 20));
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(root->mFocus, nullptr);
  EXPECT_EQ(root->mHover, nullptr);
  EXPECT_EQ(root->mCapture, nullptr);
  EXPECT_TRUE(root->mChildren.empty());
  // The release that follows finds no holder and must not touch the deleted widget.
  app.send(up(id, 20, 20));
  app.send(motion(id, 25, 25));
}

TEST_F(RootFixture, DeletingAPopupThroughTheQueueTakesItOffTheStack) {
  int deleted = 0;
  auto* p = new Popup(0, 0, 50, 50);
  p->deletedFlag = &deleted;
  root->openPopup(p);
  p->requestDestroy();
  p->requestDestroy();  // queued once
  root->processDestroyQueue();
  EXPECT_EQ(deleted, 1);
  EXPECT_TRUE(root->mPopups.empty());
  EXPECT_EQ(root->mActivePopup, nullptr);
  app.send(motion(id, 10, 10));  // a stale popup pointer would be used here
}

// ---------------------------------------------------------------------------
// Commands

TEST_F(RootFixture, DispatchedCommandsReachTheApplicationSynchronously) {
  auto* a = root->addChild(new Probe(10, 10, 100, 50));
  bool seenInside = false;
  app.commandHook = [&](AppWindow* w, GuiEvent& e) {
    seenInside = w == win && e.window_id == id && e.raw == nullptr && e.mId == -1;
  };
  root->dispatchCommand(GUI_CMD_MENU, 42, 7, a);
  EXPECT_TRUE(seenInside);
  ASSERT_EQ(app.commands.size(), 1u);
  EXPECT_EQ(app.commands[0].cmd_id, GUI_CMD_MENU);
  EXPECT_EQ(app.commands[0].source_id, 42);
  EXPECT_EQ(app.commands[0].param, 7);
  EXPECT_EQ(app.commands[0].source, a);
  root->dispatchCommand(GUI_CMD_BUTTON, 1, 0, nullptr);
  EXPECT_EQ(app.commands[1].source, root) << "no source means the root";
}

// ---------------------------------------------------------------------------
// Tooltips

TEST_F(RootFixture, TooltipAppearsAfterTheWidgetHasBeenRestedOnForMoreThan499ms) {
  auto* a = root->addChild(new Probe(10, 10, 100, 50));
  a->mTooltip = "Rechteck";
  auto* b = root->addChild(new Probe(150, 10, 100, 50));
  app.send(motion(id, 20, 20));
  const Uint32 start = Clock::now;
  root->update(Clock::now);
  Clock::now = start + 499;
  root->update(Clock::now);
  EXPECT_FALSE(root->mTooltipVisible);
  Clock::now = start + 500;
  root->update(Clock::now);
  EXPECT_TRUE(root->mTooltipVisible);

  // A press hides it and restarts the timer.
  app.send(down(id, 20, 20));
  app.send(up(id, 20, 20));
  root->update(Clock::now);
  EXPECT_FALSE(root->mTooltipVisible);

  // A widget without tooltip text shows none however long it is rested on.
  app.send(motion(id, 160, 20));
  root->update(Clock::now);
  Clock::now += 2000;
  root->update(Clock::now);
  EXPECT_FALSE(root->mTooltipVisible);
  (void)b;

  // Not while a popup is open.
  app.send(motion(id, 20, 20));
  root->update(Clock::now);
  root->openPopup(new Popup(300, 200, 50, 50));
  Clock::now += 2000;
  root->update(Clock::now);
  EXPECT_FALSE(root->mTooltipVisible);
}

TEST_F(RootFixture, TooltipIsDrawnInsideTheWindowNearTheEdges) {
  if (!GuiDefaultFont) GTEST_SKIP() << "no font";
  auto* a = root->addChild(new Probe(0, 0, 400, 300, SDL_Color{50, 50, 50, 255}));
  a->mTooltip = "Ein ziemlich langer Hinweistext";
  int tw = 0, th = 0;
  TTF_SizeUTF8(GuiDefaultFont, a->mTooltip.c_str(), &tw, &th);
  struct Case {
    int mx, my;
    int boxX, boxY;
  } cases[] = {
      {20, 20, 34, 38},                            // below right of the pointer
      {390, 20, 400 - (tw + 12), 38},              // pushed left at the right edge
      {20, 290, 34, 300 - th - 6},                 // pushed up at the bottom edge
  };
  for (const Case& c : cases) {
    app.send(motion(id, c.mx, c.my));
    root->update(Clock::now);
    Clock::now += 600;
    root->update(Clock::now);
    ASSERT_TRUE(root->mTooltipVisible);
    Frame f = Frame::of(win);
    // Outline at the box's corners, pale yellow inside, widget colour outside.
    EXPECT_TRUE(sameRGB(f.at(c.boxX, c.boxY), 0, 0, 0)) << c.mx << "," << c.my << ": " << rgb(f.at(c.boxX, c.boxY));
    EXPECT_TRUE(sameRGB(f.at(c.boxX + tw + 11, c.boxY + th + 5), 0, 0, 0));
    EXPECT_TRUE(sameRGB(f.at(c.boxX + 2, c.boxY + 2), 255, 255, 225));
    if (c.boxX > 0) {
      EXPECT_TRUE(sameRGB(f.at(c.boxX - 1, c.boxY + 2), 50, 50, 50));
    }
    EXPECT_LE(c.boxX + tw + 12, 400);
    EXPECT_LE(c.boxY + th + 6, 300);
  }
}

// ---------------------------------------------------------------------------
// Lookup and locate

TEST_F(RootFixture, FindByNameMatchesExactlyAndFirstWins) {
  auto* a = root->addChild(new Probe(0, 0, 10, 10));
  auto* b = root->addChild(new Probe(20, 0, 10, 10));
  a->setName("ok");
  b->setName("ok");
  root->setName("root");
  EXPECT_EQ(root->findByName("ok"), a);
  EXPECT_EQ(root->findByName("OK"), nullptr);
  EXPECT_EQ(root->findByName(""), nullptr);
  EXPECT_EQ(root->findByName("root"), root);
  GuiObject* owner = nullptr;
  SDL_Rect r;
  EXPECT_FALSE(root->findPart("anything", owner, r));
}

TEST_F(RootFixture, LocateReportsOnlyVisibleObjects) {
  GuiButton* ok = root->addChild(new GuiButton(nullptr, 1, 100, 100, 80, 30, SDL_Color{192, 192, 192, 255}, "OK",
                                               GuiDefaultFont, 0));
  GuiLocation loc;
  ASSERT_TRUE(root->locate(ok, loc));
  EXPECT_EQ(loc.rect.x, 100);
  EXPECT_EQ(loc.rect.w, 80);
  EXPECT_EQ(loc.center.x, 140);
  EXPECT_EQ(loc.center.y, 115);
  int wx = 0, wy = 0;
  SDL_GetWindowPosition(win->window, &wx, &wy);
  EXPECT_EQ(loc.screen_rect.x, 100 + wx);
  EXPECT_EQ(loc.screen_rect.y, 100 + wy);

  // Partly outside the window: only the visible part counts.
  GuiButton* edge = root->addChild(new GuiButton(nullptr, 2, 360, 10, 80, 30, SDL_Color{192, 192, 192, 255}, "E",
                                                 GuiDefaultFont, 0));
  ASSERT_TRUE(root->locate(edge, loc));
  EXPECT_EQ(loc.rect.w, 40);
  EXPECT_EQ(loc.center.x, 380);

  // Covered by an open drop-down list.
  root->openPopup(new Popup(90, 90, 120, 60));
  EXPECT_FALSE(root->locate(ok, loc));
  // Not in this root at all.
  GuiButton loose(nullptr, 3, 0, 0, 10, 10, SDL_Color{0, 0, 0, 0}, "", nullptr, 0);
  EXPECT_FALSE(root->locate(&loose, loc));
}

TEST_F(RootFixture, MoveReplacesChildrenFromTheirConstructedPositions) {
  auto* a = root->addChild(new Probe(10, 20, 5, 5));
  root->move(100, -1);
  EXPECT_EQ(root->mX, 100);
  EXPECT_EQ(root->mY, 0);
  EXPECT_EQ(a->mX, 110);
  EXPECT_EQ(a->mY, 20);
}

// ---------------------------------------------------------------------------
// Value texts

TEST(ValueText, FormatAndParseFollowTheClassicLocale) {
  struct Fmt {
    double v;
    const char* text;
  } fmts[] = {{1.5, "1.5"}, {1.0 / 3.0, "0.333333333333333"}, {1e20, "1e+20"}, {0.1, "0.1"}, {-2, "-2"}, {0, "0"}};
  for (const Fmt& f : fmts) EXPECT_EQ(GuiObject::formatValue(f.v), f.text);

  struct Num {
    const char* text;
    bool ok;
    double v;
  } nums[] = {{"2.5", true, 2.5}, {" 2.5", true, 2.5}, {"2.5 ", false, 0}, {"", false, 0},
              {"abc", false, 0},  {"1e3", true, 1000}, {"2,5", false, 0}, {"-0.25", true, -0.25}};
  for (const Num& n : nums) {
    double out = 99;
    EXPECT_EQ(GuiObject::parseValue(n.text, out), n.ok) << '"' << n.text << '"';
    EXPECT_DOUBLE_EQ(out, n.ok ? n.v : 99) << '"' << n.text << '"';
  }

  struct Bool {
    const char* text;
    bool ok, v;
  } bools[] = {{"1", true, true},    {"true", true, true},  {"0", true, false}, {"false", true, false},
               {"True", false, false}, {"yes", false, false}, {"", false, false}, {" 1", false, false}};
  for (const Bool& b : bools) {
    bool out = true;
    EXPECT_EQ(GuiObject::parseValue(b.text, out), b.ok) << b.text;
    EXPECT_EQ(out, b.ok ? b.v : true) << b.text;
  }
}
