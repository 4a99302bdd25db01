// Buttons, button groups, image buttons, label, status bar, Cairo panel and the
// render cache, driven through the real loop and checked by reading pixels back.
#include "GuiTestSupport.h"

#include "GuiButton.h"
#include "GuiCairoPanel.h"
#include "GuiImageButton.h"
#include "GuiLabel.h"
#include "GuiStatusBar.h"

#include <cairo.h>
#include <unistd.h>

#include <filesystem>

using namespace guitest;

namespace {

const SDL_Color kGrey{192, 192, 192, 255};
const SDL_Color kWindow{200, 200, 200, 255};

struct WidgetFixture : public ::testing::Test {
  TestApp app;
  AppWindow* win = nullptr;
  GuiWindow* root = nullptr;
  Uint32 id = 0;
  void SetUp() override {
    win = app.open(400, 300, kWindow);
    ASSERT_NE(win, nullptr);
    root = win->main_window;
    id = win->id;
    app.runStart();
    app.settle();
  }
  void click(int x, int y, int rx, int ry) {
    app.send(down(id, x, y));
    app.send(up(id, rx, ry));
  }
  int buttonCommands(int sourceId) const {
    int n = 0;
    for (const auto& c : app.commands) n += c.cmd_id == GUI_CMD_BUTTON && c.source_id == sourceId;
    return n;
  }
};

// Number of pixels in a rectangle darker than the given level (text pixels).
int darkPixels(const Frame& f, SDL_Rect r, int below = 100) {
  int n = 0;
  for (int y = r.y; y < r.y + r.h; ++y)
    for (int x = r.x; x < r.x + r.w; ++x) {
      SDL_Color c = f.at(x, y);
      n += c.r < below && c.g < below && c.b < below;
    }
  return n;
}

int leftmostDarkColumn(const Frame& f, SDL_Rect r) {
  for (int x = r.x; x < r.x + r.w; ++x)
    for (int y = r.y; y < r.y + r.h; ++y) {
      SDL_Color c = f.at(x, y);
      if (c.r < 100 && c.g < 100 && c.b < 100) return x;
    }
  return -1;
}

}  // namespace

// ---------------------------------------------------------------------------
// Push and toggle buttons

TEST_F(WidgetFixture, PushButtonClicksOnlyWhenReleasedStrictlyInside) {
  auto* b = root->addChild(new GuiButton(nullptr, 17, 100, 100, 80, 30, kGrey, "OK", GuiDefaultFont, 0));
  struct Case {
    const char* what;
    int rx, ry;
    int clicks;
  } cases[] = {
      {"inside", 140, 115, 1},        {"one inside left edge", 101, 115, 1},
      {"left column", 100, 115, 0},   {"right column", 179, 115, 1},
      {"top row", 140, 100, 0},       {"outside", 250, 250, 0},
      {"bottom row", 140, 129, 1},    {"one below", 140, 130, 0},
  };
  for (const Case& c : cases) {
    app.commands.clear();
    click(140, 115, c.rx, c.ry);
    EXPECT_EQ(buttonCommands(17), c.clicks) << c.what;
    EXPECT_FALSE(b->mPressed) << c.what;
  }
  ASSERT_EQ(app.commands.size(), 0u);
  click(140, 115, 140, 115);
  ASSERT_EQ(app.commands.size(), 1u);
  EXPECT_EQ(app.commands[0].source, b);
  EXPECT_EQ(app.commands[0].param, 0);
  std::string v;
  EXPECT_FALSE(b->getValueText(v)) << "push buttons have no value";
  EXPECT_FALSE(b->setValueText("1"));
}

TEST_F(WidgetFixture, ReleaseWithoutAPressOnTheButtonIsNoClick) {
  auto* b = root->addChild(new GuiButton(nullptr, 5, 100, 100, 80, 30, kGrey, "OK", GuiDefaultFont, 0));
  root->setFocus(b);
  app.send(down(id, 10, 10));    // on no widget: no capture
  app.send(up(id, 140, 115));    // reaches the focused button
  EXPECT_EQ(buttonCommands(5), 0);
}

TEST_F(WidgetFixture, AutoRepeatFiresAfter400msThenAtTheIntervalAndNotOnRelease) {
  root->addChild(new GuiButton(nullptr, 9, 10, 10, 40, 20, kGrey, "+", GuiDefaultFont, GuiButton::BUTTON_AUTOREPEAT));
  const Uint32 pressed = Clock::now;
  app.send(down(id, 20, 20));
  std::vector<Uint32> times;
  app.commandHook = [&](AppWindow*, GuiEvent& e) {
    if (e.cmd.cmd_id == GUI_CMD_BUTTON) times.push_back(Clock::now - pressed);
  };
  while (Clock::now - pressed < 1000) {
    Clock::now += 16;  // one loop period
    app.runTurn();
  }
  app.send(up(id, 20, 20));
  ASSERT_GE(times.size(), 2u);
  EXPECT_EQ(times[0], 400u);
  for (size_t i = 1; i < times.size(); ++i) EXPECT_EQ(times[i] - times[i - 1], 64u) << "60 ms at 16 ms granularity";
  EXPECT_EQ(times.size(), 10u);
  EXPECT_EQ(buttonCommands(9), 10) << "the release after repeats sends nothing";

  // A short press of the same button is an ordinary click.
  app.commands.clear();
  app.send(down(id, 20, 20));
  Clock::now += 100;
  app.runTurn();
  app.send(up(id, 20, 20));
  EXPECT_EQ(buttonCommands(9), 1);
}

TEST_F(WidgetFixture, ToggleButtonTellsListenersAndSendsNoCommand) {
  auto* t = root->addChild(new GuiButton(nullptr, 3, 10, 10, 40, 20, kGrey, "B", GuiDefaultFont, GuiButton::BUTTON_TOGGLE));
  std::vector<bool> heard;
  t->mListeners.push_back([&](GuiButton* b, bool on) {
    EXPECT_EQ(b, t);
    heard.push_back(on);
  });
  click(20, 20, 20, 20);
  click(20, 20, 20, 20);
  EXPECT_EQ(heard, (std::vector<bool>{true, false}));
  EXPECT_TRUE(app.commands.empty());

  heard.clear();
  struct Step {
    const char* text;
    bool ok;
    bool pressed;
    size_t heardCount;
  } steps[] = {{"true", true, true, 1}, {"1", true, true, 1},   {"yes", false, true, 1},
               {"0", true, false, 2},   {"False", false, false, 2}, {"false", true, false, 2}};
  for (const Step& s : steps) {
    EXPECT_EQ(t->setValueText(s.text), s.ok) << s.text;
    EXPECT_EQ(t->mPressed, s.pressed) << s.text;
    EXPECT_EQ(heard.size(), s.heardCount) << s.text;
  }
  std::string v;
  ASSERT_TRUE(t->getValueText(v));
  EXPECT_EQ(v, "0");
}

TEST_F(WidgetFixture, GroupedToggleButtonsBehaveLikeRadioButtons) {
  GuiButtonGroup group;
  GuiButton* b[3];
  for (int i = 0; i < 3; ++i) {
    b[i] = root->addChild(new GuiButton(nullptr, i, 10 + 40 * i, 10, 30, 30, kGrey, "", nullptr, GuiButton::BUTTON_TOGGLE));
    group.add(b[i]);
  }
  // The application's listener, appended after the group's, sees the others released.
  bool othersReleasedFirst = false;
  b[1]->mListeners.push_back([&](GuiButton*, bool) { othersReleasedFirst = !b[0]->mPressed && !b[2]->mPressed; });
  b[0]->setValueText("1");
  b[2]->mPressed = true;
  click(65, 25, 65, 25);
  EXPECT_TRUE(othersReleasedFirst);
  EXPECT_FALSE(b[0]->mPressed);
  EXPECT_TRUE(b[1]->mPressed);
  EXPECT_FALSE(b[2]->mPressed);
  EXPECT_EQ(group.getSelected(), b[1]);
  click(65, 25, 65, 25);
  EXPECT_EQ(group.getSelected(), nullptr) << "pressing the selected button turns it off";
}

TEST_F(WidgetFixture, ButtonBevelFollowsThePressedState) {
  root->addChild(new GuiButton(nullptr, 1, 20, 20, 80, 30, kGrey, "", nullptr, 0));
  auto* flat = root->addChild(new GuiButton(nullptr, 2, 150, 20, 80, 30, kGrey, "", nullptr, 0));
  flat->setBackgroundColor(SDL_Color{150, 190, 240, 255});
  Frame f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(21, 21), 0, 0, 0)) << "outline";
  EXPECT_TRUE(sameRGB(f.at(20, 20), 200, 200, 200)) << "clipped corner";
  EXPECT_TRUE(sameRGB(f.at(22, 22), 255, 255, 255)) << "light edge";
  EXPECT_TRUE(sameRGB(f.at(98, 35), 128, 128, 128)) << "dark edge " << rgb(f.at(98, 35));
  EXPECT_TRUE(sameRGB(f.at(50, 35), 200, 200, 200)) << "the face shows the window";
  EXPECT_TRUE(sameRGB(f.at(160, 30), 150, 190, 240)) << "flat face";
  EXPECT_TRUE(sameRGB(f.at(151, 30), 0, 0, 0));

  app.send(down(id, 50, 35));
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(22, 22), 192, 192, 192)) << rgb(f.at(22, 22));
  EXPECT_TRUE(sameRGB(f.at(98, 35), 192, 192, 192));
  app.send(up(id, 50, 35));
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(22, 22), 255, 255, 255)) << "released buttons redraw (invalidate)";
}

TEST_F(WidgetFixture, ButtonLabelIsCentredAndMovesDownWhilePressed) {
  if (!GuiDefaultFont) GTEST_SKIP() << "no font";
  root->addChild(new GuiButton(nullptr, 1, 20, 20, 120, 40, kGrey, "Hallo", GuiDefaultFont, 0));
  int tw = 0, th = 0;
  TTF_SizeUTF8(GuiDefaultFont, "Hallo", &tw, &th);
  const SDL_Rect face{24, 24, 112, 32};
  Frame f = Frame::of(win);
  ASSERT_GT(darkPixels(f, face), 10);
  const int left = leftmostDarkColumn(f, face);
  EXPECT_NEAR(left, 20 + (120 - tw) / 2, 2);
  int topUp = -1, topDown = -1;
  for (int y = face.y; y < face.y + face.h && topUp < 0; ++y)
    if (darkPixels(f, SDL_Rect{face.x, y, face.w, 1}) > 0) topUp = y;
  app.send(down(id, 80, 40));
  Frame g = Frame::of(win);
  for (int y = face.y; y < face.y + face.h && topDown < 0; ++y)
    if (darkPixels(g, SDL_Rect{face.x, y, face.w, 1}) > 0) topDown = y;
  EXPECT_EQ(topDown, topUp + 1);
}

// ---------------------------------------------------------------------------
// Image buttons

TEST_F(WidgetFixture, ImageButtonShowsBuiltInPictureAndLoadedFiles) {
  auto* ib = root->addChild(new GuiImageButton(nullptr, -1, 10, 30, 28, 28, kGrey, win->renderer, GuiButton::BUTTON_TOGGLE));
  EXPECT_EQ(ib->mImageWidth, 48);
  EXPECT_EQ(ib->mImageHeight, 48);
  EXPECT_TRUE(ib->mImagePath.empty());
  EXPECT_FALSE(ib->wantsRenderCache());
  Frame f = Frame::of(win);
  // The built-in picture (blue tile) fills the 20 x 20 inner area.
  SDL_Color c = f.at(10 + 14, 30 + 9);
  EXPECT_FALSE(sameRGB(c, 200, 200, 200, 10)) << rgb(c);

  EXPECT_FALSE(ib->loadPNG(win->renderer, "data/icons/does-not-exist.png"));
  EXPECT_EQ(ib->mImage, nullptr);
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(24, 44), 200, 200, 200)) << "a failed load leaves only the frame";

  namespace fs = std::filesystem;
  const fs::path png = fs::temp_directory_path() / ("velmaris-icon-" + std::to_string(::getpid()) + ".png");
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 20, 20);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 1, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  ASSERT_EQ(cairo_surface_write_to_png(s, png.c_str()), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(s);
  ASSERT_TRUE(ib->loadPNG(win->renderer, png.string()));
  EXPECT_EQ(ib->mImagePath, png.string());
  f = Frame::of(win);
  // A 20 x 20 icon on a 28 x 28 button is drawn unscaled at offset 4, 4.
  EXPECT_TRUE(sameRGB(f.at(14, 34), 255, 0, 0)) << rgb(f.at(14, 34));
  EXPECT_TRUE(sameRGB(f.at(33, 53), 255, 0, 0));
  EXPECT_FALSE(sameRGB(f.at(13, 33), 255, 0, 0));
  EXPECT_FALSE(sameRGB(f.at(34, 54), 255, 0, 0));
  // Pressed: one pixel lower.
  click(20, 40, 20, 40);
  f = Frame::of(win);
  EXPECT_FALSE(sameRGB(f.at(14, 34), 255, 0, 0));
  EXPECT_TRUE(sameRGB(f.at(14, 35), 255, 0, 0));
  fs::remove(png);

  ib->clearImage();
  EXPECT_EQ(ib->mImage, nullptr);
  EXPECT_TRUE(ib->mImagePath.empty());
}

TEST_F(WidgetFixture, ImageButtonWithoutRendererHasNoPicture) {
  GuiImageButton ib(nullptr, -1, 0, 0, 28, 28, kGrey, nullptr, 0);
  EXPECT_EQ(ib.mImage, nullptr);
  EXPECT_FALSE(ib.loadPNG(nullptr, "data/icons/x.png"));
}

// ---------------------------------------------------------------------------
// Label

TEST_F(WidgetFixture, LabelShortensLongPathsAtASeparator) {
  if (!GuiDefaultFont) GTEST_SKIP() << "no font";
  const std::string path = "/home/user/projects/diagram/final.vlm";
  auto* l = root->addChild(new GuiLabel(nullptr, -1, 10, 10, 100, 20, kWindow, path, GuiDefaultFont, GuiLabel::LABEL_ELIDE));
  const std::string shown = l->displayText();
  ASSERT_EQ(shown.rfind("\xE2\x80\xA6/", 0), 0u) << shown;
  int w = 0, h = 0;
  TTF_SizeUTF8(GuiDefaultFont, shown.c_str(), &w, &h);
  EXPECT_LE(w, 100);
  EXPECT_EQ(path.substr(path.size() - (shown.size() - 3)), shown.substr(3)) << "a tail of the path";
  std::string v;
  ASSERT_TRUE(l->getValueText(v));
  EXPECT_EQ(v, path);

  // A wider label shows a longer tail; the cache follows the width.
  l->mWidth = 200;
  EXPECT_GT(l->displayText().size(), shown.size());

  struct Case {
    std::string text;
    int width;
    bool unchanged;
  } cases[] = {
      {"kurz", 100, true},
      {"/a/b", 5, false},
  };
  for (const Case& c : cases) {
    GuiLabel x(nullptr, -1, 0, 0, c.width, 20, kWindow, c.text, GuiDefaultFont, GuiLabel::LABEL_ELIDE);
    if (c.unchanged)
      EXPECT_EQ(x.displayText(), c.text);
    else
      EXPECT_EQ(x.displayText(), "\xE2\x80\xA6") << "narrower than the ellipsis and the last character";
  }
  // Without the flag nothing is shortened.
  GuiLabel plain(nullptr, -1, 0, 0, 10, 20, kWindow, path, GuiDefaultFont, 0);
  EXPECT_EQ(plain.displayText(), path);
}

TEST_F(WidgetFixture, LabelNeverCutsAMultiByteCharacter) {
  if (!GuiDefaultFont) GTEST_SKIP() << "no font";
  std::string text;
  for (int i = 0; i < 30; ++i) text += "\xC3\xA4\xE2\x82\xAC";  // ä€ repeated
  GuiLabel l(nullptr, -1, 0, 0, 70, 20, kWindow, text, GuiDefaultFont, GuiLabel::LABEL_ELIDE);
  const std::string shown = l.displayText();
  ASSERT_GT(shown.size(), 3u);
  const std::string tail = shown.substr(3);
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  const unsigned char first = static_cast<unsigned char>(tail[0]);
  EXPECT_FALSE(first >= 0x80 && first <= 0xBF) << "the tail starts at a character boundary";
}

TEST_F(WidgetFixture, LabelDrawsLeftAlignedOrCentredAndFollowsItsValue) {
  if (!GuiDefaultFont) GTEST_SKIP() << "no font";
  auto* left = root->addChild(new GuiLabel(nullptr, -1, 10, 10, 300, 20, kWindow, "Links", GuiDefaultFont, GuiLabel::LABEL_LEFT));
  auto* mid = root->addChild(new GuiLabel(nullptr, -1, 10, 40, 300, 20, kWindow, "Mitte", GuiDefaultFont, 0));
  int tw = 0, th = 0;
  TTF_SizeUTF8(GuiDefaultFont, "Mitte", &tw, &th);
  Frame f = Frame::of(win);
  EXPECT_NEAR(leftmostDarkColumn(f, SDL_Rect{10, 10, 300, 20}), 10, 2);
  EXPECT_NEAR(leftmostDarkColumn(f, SDL_Rect{10, 40, 300, 20}), 10 + (300 - tw) / 2, 2);
  EXPECT_TRUE(left->setValueText(""));
  mid->setValueText("Mitte");
  f = Frame::of(win);
  EXPECT_EQ(darkPixels(f, SDL_Rect{10, 10, 300, 20}), 0) << "an empty text draws nothing";
  EXPECT_FALSE(left->wantsRenderCache());
}

// ---------------------------------------------------------------------------
// Status bar

TEST(StatusBarLayout, FieldWidthsAreSharedAsSpecified) {
  struct Case {
    int width;
    std::vector<int> requested;
    std::vector<std::pair<int, int>> fields;  // left, width
  } cases[] = {
      {300, {100, -1, -1}, {{0, 100}, {100, 100}, {200, 100}}},
      {301, {100, -1, -1}, {{0, 100}, {100, 100}, {200, 101}}},
      {100, {80, 50, -1}, {{0, 80}, {80, 50}, {130, 0}}},
      {10, {-1, -1, -1}, {{0, 3}, {3, 3}, {6, 4}}},
      {200, {50, 60}, {{0, 50}, {50, 60}}},
  };
  for (const Case& c : cases) {
    GuiStatusBar bar(nullptr, -1, kWindow, nullptr);
    bar.mWidth = c.width;
    bar.setFieldWidths(c.requested);
    ASSERT_EQ(bar.mFields.size(), c.fields.size());
    for (size_t i = 0; i < c.fields.size(); ++i) {
      EXPECT_EQ(bar.mFields[i].mLeft, c.fields[i].first) << c.width << " field " << i;
      EXPECT_EQ(bar.mFields[i].mActualWidth, c.fields[i].second) << c.width << " field " << i;
    }
  }
}

TEST(StatusBarLayout, TextsAndFieldCount) {
  GuiStatusBar bar(nullptr, -1, kWindow, nullptr);
  EXPECT_EQ(bar.mWidth, 100);
  EXPECT_EQ(bar.mHeight, 22);
  ASSERT_EQ(bar.mFields.size(), 1u);
  bar.setFieldCount(3);
  bar.setText("eins", 0);
  bar.setText("drei", 2);
  bar.setText("fuenf", 5);
  EXPECT_EQ(bar.getText(0), "eins");
  EXPECT_EQ(bar.getText(1), "");
  EXPECT_EQ(bar.getText(2), "drei");
  EXPECT_EQ(bar.getText(5), "");
  bar.setFieldCount(2);
  EXPECT_EQ(bar.mFields.size(), 2u);
  EXPECT_EQ(bar.getText(0), "eins");
  bar.setFieldWidths({40, -1});
  EXPECT_EQ(bar.getText(0), "") << "new widths drop the texts";
}

TEST_F(WidgetFixture, StatusBarDrawsFieldsAndFollowsTheWindow) {
  auto* bar = root->addChild(new GuiStatusBar(nullptr, -1, SDL_Color{230, 230, 230, 255}, GuiDefaultFont));
  EXPECT_EQ(bar->mWidth, 400) << "takes the window's width when added";
  bar->setFieldWidths({100, -1});
  bar->setText("Bereit", 0);
  root->resize(win->renderer, 400, 300);  // places the bar at the bottom
  EXPECT_EQ(bar->mY, 278);
  Frame f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(50, 278), 0, 0, 0)) << "top line";
  EXPECT_TRUE(sameRGB(f.at(99, 285), 160, 160, 160)) << "separator " << rgb(f.at(99, 285));
  EXPECT_TRUE(sameRGB(f.at(250, 290), 230, 230, 230));
  if (GuiDefaultFont) {
    EXPECT_GT(darkPixels(f, SDL_Rect{0, 280, 99, 18}), 10);
    EXPECT_NEAR(leftmostDarkColumn(f, SDL_Rect{0, 280, 99, 18}), 6, 2);
  }
  // Text wider than its field is clipped to the field.
  bar->setText(std::string(60, 'W'), 0);
  f = Frame::of(win);
  EXPECT_EQ(darkPixels(f, SDL_Rect{100, 280, 300, 18}), 0);

  // A window resize keeps the bar at the bottom with the new width.
  ASSERT_TRUE(app.resizeWindow(win, 500, 350));
  EXPECT_EQ(bar->mY, 328);
  EXPECT_EQ(bar->mWidth, 500);
  EXPECT_EQ(bar->mFields[1].mActualWidth, 400);
}

// ---------------------------------------------------------------------------
// Cairo panel

namespace {

void paint(GuiCairoPanel* p, double r, double g, double b) {
  cairo_set_source_rgb(p->mCairo, r, g, b);
  cairo_paint(p->mCairo);
}

}  // namespace

TEST(CairoPanelRate, TargetFpsGivesTheUploadInterval) {
  struct Case {
    int fps;
    Uint32 interval;
  } cases[] = {{30, 33}, {60, 16}, {1, 1000}, {1000, 1}, {2000, 0}, {0, 0}, {-5, 0}};
  for (const Case& c : cases) {
    GuiCairoPanel p(nullptr, -1, 0, 0, 4, 4, kWindow, nullptr);
    p.setTargetFPS(c.fps);
    EXPECT_EQ(p.mFrameInterval, c.interval) << c.fps;
  }
}

TEST_F(WidgetFixture, CairoPanelUploadsOnlyChangedContentAtItsRate) {
  auto* p = root->addChild(new GuiCairoPanel(nullptr, -1, 10, 10, 100, 80, kWindow, win->renderer));
  EXPECT_FALSE(p->wantsRenderCache());
  p->setUploadOnlyWhenChanged(true);
  p->setTargetFPS(30);
  paint(p, 1, 0, 0);
  p->contentChanged();
  Frame f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(50, 50), 255, 0, 0)) << rgb(f.at(50, 50));
  const Uint32 uploaded = p->mLastUpload;
  EXPECT_EQ(uploaded, Clock::now);

  // Drawn but not declared changed: frames only copy the old texture.
  paint(p, 0, 0, 1);
  Clock::now += 100;
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(50, 50), 255, 0, 0));

  // Declared changed, but within the interval: still the old picture.
  p->contentChanged();
  Clock::now = p->mLastUpload + 32;
  EXPECT_FALSE(p->needsRedraw());
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(50, 50), 255, 0, 0));
  Clock::now = p->mLastUpload + 33;
  EXPECT_TRUE(p->needsRedraw());
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(50, 50), 0, 0, 255));

  // Without the limit every frame may upload; without the mode every allowed frame does.
  p->setTargetFPS(0);
  p->setUploadOnlyWhenChanged(false);
  paint(p, 0, 1, 0);
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(50, 50), 0, 255, 0));
  EXPECT_TRUE(sameRGB(f.at(5, 5), 200, 200, 200)) << "the panel stays in its rectangle";
}

TEST_F(WidgetFixture, CairoPanelUploadsAfterResizeWithoutBeingTold) {
  auto* p = root->addChild(new GuiCairoPanel(nullptr, -1, 10, 10, 100, 80, kWindow, win->renderer));
  p->setUploadOnlyWhenChanged(true);
  paint(p, 1, 0, 0);
  Frame f = Frame::of(win);
  EXPECT_FALSE(p->mContentChanged);
  p->resize(win->renderer, 150, 120);
  EXPECT_EQ(cairo_image_surface_get_width(p->mSurface), 150);
  EXPECT_EQ(cairo_image_surface_get_height(p->mSurface), 120);
  EXPECT_EQ(p->mStride, cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, 150));
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(155, 125), 200, 200, 200)) << "background until the owner draws: " << rgb(f.at(155, 125));
  Clock::now += 1;
  p->resize(win->renderer, 150, 120);
  paint(p, 0, 1, 0);  // the owner redraws; contentChanged() is not needed after a resize
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(155, 125), 0, 255, 0)) << rgb(f.at(155, 125));
  EXPECT_TRUE(sameRGB(f.at(165, 135), 200, 200, 200));
}

TEST_F(WidgetFixture, CairoPanelFollowsTheWindowKeepingItsMargins) {
  auto* p = root->addChild(new GuiCairoPanel(nullptr, -1, 10, 10, 370, 270, kWindow, win->renderer));
  ASSERT_TRUE(app.resizeWindow(win, 500, 400));
  EXPECT_EQ(p->mWidth, 470);
  EXPECT_EQ(p->mHeight, 370);
  EXPECT_EQ(cairo_image_surface_get_width(p->mSurface), 470);
  EXPECT_EQ(p->mX, 10) << "the position stays";

  // Narrower than its left offset plus margin: one pixel wide, never less.
  root->resize(win->renderer, 15, 15);
  EXPECT_EQ(p->mWidth, 1);
  EXPECT_EQ(p->mHeight, 1);
  EXPECT_EQ(cairo_image_surface_get_width(p->mSurface), 1);
  // A panel that does not follow the height keeps it.
  p->mFollowHeight = false;
  root->resize(win->renderer, 115, 215);
  EXPECT_EQ(p->mWidth, 101);
  EXPECT_EQ(p->mHeight, 1);
  // Unchanged sizes do not remake the buffers.
  cairo_surface_t* s = p->mSurface;
  p->mFollowWidth = false;
  root->resize(win->renderer, 300, 300);
  EXPECT_EQ(p->mSurface, s);
}

// ---------------------------------------------------------------------------
// Render cache

TEST_F(WidgetFixture, CachedWidgetIsRedrawnOnlyAfterInvalidate) {
  auto* b = root->addChild(new GuiButton(nullptr, 1, 20, 20, 80, 30, kGrey, "", nullptr, 0));
  Frame f = Frame::of(win);
  if (!root->mCacheSupported) {
    // Software renderer: no cache, every frame draws the widget.
    EXPECT_EQ(b->mCacheTexture, nullptr);
    b->mPressed = true;
    f = Frame::of(win);
    EXPECT_TRUE(sameRGB(f.at(22, 22), 192, 192, 192));
    GTEST_SKIP() << "the render cache is off on the software renderer";
  }
  ASSERT_NE(b->mCacheTexture, nullptr);
  EXPECT_FALSE(b->mDirty);
  EXPECT_TRUE(sameRGB(f.at(22, 22), 255, 255, 255));
  EXPECT_TRUE(sameRGB(f.at(20 + 80, 35), 200, 200, 200)) << "the outline beyond the rectangle is cut by the cache";
  // Changing the look behind the widget's back: the cached picture stays.
  b->mPressed = true;
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(22, 22), 255, 255, 255));
  b->invalidate();
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(22, 22), 192, 192, 192));

  // After a resize the next 15 frames draw without the cache.
  root->resize(win->renderer, 400, 300);
  b->mPressed = false;
  for (int i = 0; i < 15; ++i) {
    f = Frame::of(win);
    EXPECT_TRUE(sameRGB(f.at(22, 22), 255, 255, 255)) << "frame " << i;
  }
  EXPECT_EQ(root->mCacheCooldown, 0);
  // Then the cache is used again: it still holds the pressed look, because the change
  // above was never announced with invalidate().
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(22, 22), 192, 192, 192)) << rgb(f.at(22, 22));

  // A widget reaching outside the window is drawn directly.
  auto* edge = root->addChild(new GuiButton(nullptr, 2, 370, 20, 80, 30, kGrey, "", nullptr, 0));
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(372, 22), 255, 255, 255));
  edge->mPressed = true;
  f = Frame::of(win);
  EXPECT_TRUE(sameRGB(f.at(372, 22), 192, 192, 192));

  // Cache textures of deleted widgets go through the retire ring.
  const size_t before = GuiRetiredTextureCount(win->renderer);
  b->requestDestroy();
  root->processDestroyQueue();
  EXPECT_EQ(GuiRetiredTextureCount(win->renderer), before + 1);
}
