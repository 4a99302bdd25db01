// Drawing of connections and arrow heads, and the map's drawing entry points
// with their culling against the visible world rectangle.
#include "Arrow.h"
#include "CaptionLayout.h"
#include "Connection.h"
#include "ConnectionNode.h"
#include "Map.h"
#include "ShapeConnector.h"
#include "ShapeRectangle.h"
#include "VelmarisPanel.h"
#include "global.h"

#include "RenderFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const Rgb GREEN{0, 255, 0};

// A canvas whose world coordinates are shifted by half a pixel, so that a
// one-unit line on a whole coordinate covers whole pixels.
struct HalfCanvas : Canvas
{
  HalfCanvas() : Canvas(400, 300) { reset(); }
  void reset()
  {
    clear();
    cairo_translate(cr(), 0.5, 0.5);
  }
};

bool reddish(const Rgb& p) { return p.r > 150 && p.g < 100 && p.b < 100; }
bool greenish(const Rgb& p) { return p.g > 150 && p.r < 100 && p.b < 100; }
bool bluish(const Rgb& p) { return p.b > 150 && p.r < 100 && p.g < 100; }

// A map that is the process-wide map while the test runs (routing through
// connectors asks GlobalMap), showing the world rectangle (0,0)-(400,300).
class MapDrawing : public ::testing::Test
{
protected:
  void SetUp() override
  {
    map = new Map();
    GlobalMap = map;
    setView(0, 0, 400, 300);
  }
  void TearDown() override
  {
    GlobalMap = nullptr;
    map->clearAllSelections();
    map->clear();
    delete map;
  }
  void setView(double x1, double y1, double x2, double y2)
  {
    map->mViewBoundingBox[0] = x1;
    map->mViewBoundingBox[1] = y1;
    map->mViewBoundingBox[2] = x2;
    map->mViewBoundingBox[3] = y2;
  }
  // Left rectangle (40,100)-(140,150), right one (260,100)-(360,150),
  // joined from the middle of the left one's right side to the middle of
  // the right one's left side.
  Connection* sideBySide()
  {
    left = map->addRectangle(40, 100, 140, 150);
    right = map->addRectangle(260, 100, 360, 150);
    return map->addConnection(left, 1, right, 3);
  }

  Map* map = nullptr;
  ShapeRectangle* left = nullptr;
  ShapeRectangle* right = nullptr;
};

TEST_F(MapDrawing, DefaultStylesDrawAFilledHeadAtTheEndOnly)
{
  Connection* c = sideBySide();
  ASSERT_FALSE(c->mInvalidArrow1);
  ASSERT_FALSE(c->mInvalidArrow2);
  HalfCanvas canvas;
  c->draw(canvas.cr());
  // the line from the left shape's exit point
  EXPECT_TRUE(canvas.atUser(150, 125).isDark(120)) << canvas.atUser(150, 125);
  EXPECT_TRUE(canvas.atUser(200, 125).isDark(120)) << canvas.atUser(200, 125);
  // the filled head: its tip touches the right shape at x 259
  const double tipX = c->mArrow2X[0];
  EXPECT_NEAR(tipX, 259, 1.5);
  EXPECT_TRUE(canvas.atUser(tipX - 8, 127.5).isDark(120)) << canvas.atUser(tipX - 8, 127.5);
  EXPECT_TRUE(canvas.atUser(tipX - 8, 122.5).isDark(120)) << canvas.atUser(tipX - 8, 122.5);
  // no head at the start: just the one-unit line there
  EXPECT_TRUE(canvas.atUser(c->mArrow1X[0] + 6, 128).isWhite()) << canvas.atUser(c->mArrow1X[0] + 6, 128);
  // the line ends at the middle of the head's back
  EXPECT_DOUBLE_EQ(c->mDrawnX2, (c->mArrow2X[1] + c->mArrow2X[2]) / 2);
  EXPECT_DOUBLE_EQ(c->mDrawnX1, c->mArrow1X[0]);
}

TEST_F(MapDrawing, OutlinedHeadLeavesItsInsideEmpty)
{
  Connection* c = sideBySide();
  struct Case
  {
    int style;
    bool filled;
  };
  for (const Case k : {Case{2, true}, Case{3, false}}) {
    c->mArrow2Style = k.style;
    c->recalcPositions();
    HalfCanvas canvas;
    c->draw(canvas.cr());
    // the centroid of the head's triangle, beside the line
    const double cx = (c->mArrow2X[0] + c->mArrow2X[1] + c->mArrow2X[2]) / 3;
    EXPECT_EQ(canvas.atUser(cx, 123.2).isDark(120), k.filled) << k.style << canvas.atUser(cx, 123.2);
    EXPECT_TRUE(canvas.atUser(c->mArrow2X[1], c->mArrow2Y[1]).isDark(160)) << k.style;
  }
}

TEST_F(MapDrawing, PickedEndIsGreenAndTheOtherKeepsTheColour)
{
  Connection* c = sideBySide();
  c->mArrow1Style = 2;
  c->mBorderRed = 0;
  c->mBorderGreen = 0;
  c->mBorderBlue = 1;
  c->recalcPositions();
  c->mSelectedArrow = 1;
  HalfCanvas canvas;
  c->draw(canvas.cr());
  const double endX = (c->mArrow2X[0] * 2 + c->mArrow2X[1]) / 3;
  const double startX = (c->mArrow1X[0] * 2 + c->mArrow1X[1]) / 3;
  EXPECT_TRUE(greenish(canvas.atUser(endX, 123))) << canvas.atUser(endX, 123);
  EXPECT_TRUE(bluish(canvas.atUser(startX, 123))) << canvas.atUser(startX, 123);
  EXPECT_TRUE(bluish(canvas.atUser(200, 125))) << canvas.atUser(200, 125);
}

TEST_F(MapDrawing, InvalidEndsStopTheDrawingAndAreLogged)
{
  Connection* c = sideBySide();
  c->mArrow1Style = 2;
  c->recalcPositions();
  struct Case
  {
    bool invalid1, invalid2;
    const char* log;
    bool startHead;
  };
  const Case cases[] = {
      {true, false, "error: Invalid Arrow1", false},
      {true, true, "error: Invalid Arrow1", false},
      {false, true, "error: Invalid Arrow2", true},
  };
  for (const Case& k : cases) {
    c->mInvalidArrow1 = k.invalid1;
    c->mInvalidArrow2 = k.invalid2;
    c->mDrawnX1 = c->mDrawnY1 = c->mDrawnX2 = c->mDrawnY2 = -7;
    HalfCanvas canvas;
    testing::internal::CaptureStdout();
    c->draw(canvas.cr());
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find(k.log), std::string::npos) << log;
    EXPECT_EQ(canvas.inkIn(0, 0, 400, 300) > 0, k.startHead);
    EXPECT_TRUE(canvas.atUser(200, 125).isWhite()) << "no line";
    EXPECT_EQ(c->mDrawnX1, -7) << "drawn end points keep their old values";
  }
}

TEST_F(MapDrawing, AtAConnectorTheLineReachesItsCentreWithoutAHead)
{
  ShapeRectangle* rect = map->addRectangle(40, 100, 140, 150);
  ShapeConnector* link = map->addConnectorLink(300, 125);
  Connection* c = map->addConnection(rect, 1, link, 0);
  EXPECT_EQ(c->mArrow2Style, 0);
  HalfCanvas canvas;
  c->draw(canvas.cr());
  EXPECT_DOUBLE_EQ(c->mDrawnX2, 300);
  EXPECT_DOUBLE_EQ(c->mDrawnY2, 125);
  EXPECT_TRUE(canvas.atUser(298, 125).isDark(120)) << canvas.atUser(298, 125);
  EXPECT_TRUE(canvas.atUser(295, 130).isWhite()) << "no head";
  EXPECT_TRUE(canvas.atUser(303, 125).isWhite());
}

// Draws a connection between two connectors (no heads) with a caption.
Canvas* drawCaptionedLine(Map* map, double x1, double y1, double x2, double y2)
{
  ShapeConnector* a = map->addConnectorLink(x1, y1);
  ShapeConnector* b = map->addConnectorLink(x2, y2);
  Connection* c = map->addConnection(a, 0, b, 0);
  c->setCaption("Lieferung");
  Canvas* canvas = new Canvas(400, 300);
  cairo_set_font_size(canvas->cr(), 16);
  c->draw(canvas->cr());
  return canvas;
}

TEST_F(MapDrawing, CaptionReadsLeftToRightWhicheverWayTheLineRuns)
{
  // The same sloped line drawn in both directions gives the same picture:
  // the caption of the right-to-left line is turned by a further half turn.
  std::unique_ptr<Canvas> forward(drawCaptionedLine(map, 60, 220, 340, 120));
  map->clear();
  std::unique_ptr<Canvas> backward(drawCaptionedLine(map, 340, 120, 60, 220));
  int differing = 0, ink = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      if (!forward->at(x, y).near(backward->at(x, y), 40))
        ++differing;
      if (!forward->at(x, y).isWhite(8))
        ++ink;
    }
  EXPECT_GT(ink, 300);
  EXPECT_LT(differing, 30);
  // The text stands upright above the line: its ink lies above, not below.
  // Line: y = 220 - (x - 60) * 100 / 280.
  int above = 0, below = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 100; x < 300; ++x) {
      const double lineY = 220 - (x - 60) * 100.0 / 280;
      if (backward->at(x, y).isWhite(8) || std::abs(y - lineY) < 2)
        continue;
      (y < lineY ? above : below)++;
    }
  EXPECT_GT(above, 200);
  EXPECT_LT(below, 10);
}

TEST_F(MapDrawing, HorizontalRightToLeftCaptionIsNotUpsideDown)
{
  std::unique_ptr<Canvas> forward(drawCaptionedLine(map, 60, 150, 340, 150));
  map->clear();
  std::unique_ptr<Canvas> backward(drawCaptionedLine(map, 340, 150, 60, 150));
  EXPECT_GT(backward->inkIn(100, 120, 300, 146), 100);
  EXPECT_EQ(backward->inkIn(100, 152, 300, 200), 0);
  EXPECT_LT(std::abs(forward->inkIn(0, 0, 400, 300) - backward->inkIn(0, 0, 400, 300)), 20);
}

TEST_F(MapDrawing, SelectionShowsARedDotAndGreenNodeSquares)
{
  Connection* c = sideBySide();
  HalfCanvas canvas;
  c->draw(canvas.cr());
  canvas.reset();
  cairo_scale(canvas.cr(), 1.5, 1.5);
  c->drawSelection(canvas.cr());
  const double mx = (c->mDrawnX1 + c->mDrawnX2) / 2;
  EXPECT_TRUE(reddish(canvas.atUser(mx, 125))) << canvas.atUser(mx, 125);
  EXPECT_TRUE(reddish(canvas.atUser(mx + 5.5, 125))) << "a filled disc of radius 6";
  EXPECT_TRUE(canvas.atUser(mx + 6.5, 125).isWhite());
  // 6-pixel green squares on the connection nodes (139, 125) and (261, 125)
  for (ConnectionNode* node : c->mConnectionNodes) {
    double x = node->mX, y = node->mY;
    cairo_user_to_device(canvas.cr(), &x, &y);
    EXPECT_TRUE(greenish(canvas.at(static_cast<int>(x) - 3, static_cast<int>(y))))
        << node->mX << " " << canvas.at(static_cast<int>(x) - 3, static_cast<int>(y));
    EXPECT_TRUE(canvas.at(static_cast<int>(x) - 6, static_cast<int>(y)).isWhite());
  }
}

TEST_F(MapDrawing, PreviewRingsAtTheMiddleAndAtTheCursorFoot)
{
  Connection* c = sideBySide();
  HalfCanvas canvas;
  c->draw(canvas.cr());
  canvas.reset();
  c->drawSelectionPreview(canvas.cr(), 180, 170, VIEW_MODE_CONNECTION);
  const double mx = (c->mDrawnX1 + c->mDrawnX2) / 2;
  EXPECT_TRUE(reddish(canvas.atUser(mx, 115))) << canvas.atUser(mx, 115);
  EXPECT_TRUE(canvas.atUser(mx, 125).isWhite());
  // foot of the perpendicular from (180, 170): (180, 125); rings of radius 5 and 3
  EXPECT_TRUE(bluish(canvas.atUser(180, 120))) << canvas.atUser(180, 120);
  EXPECT_TRUE(bluish(canvas.atUser(180, 122))) << canvas.atUser(180, 122);
  EXPECT_TRUE(canvas.atUser(180, 125).isWhite());
}

TEST_F(MapDrawing, PreviewOfCoincidingNodesKeepsTheContextUsable)
{
  Connection* c = sideBySide();
  HalfCanvas canvas;
  c->mConnectionNodes[1] = c->mConnectionNodes[0];
  c->drawSelectionPreview(canvas.cr(), 180, 170, VIEW_MODE_CONNECTION);
  EXPECT_EQ(cairo_status(canvas.cr()), CAIRO_STATUS_SUCCESS);
  c->mConnectionNodes[1] = right->mConnectionNodes[3];
}

TEST_F(MapDrawing, CaptionsThatAreNotUtf8LeaveTheContextUsable)
{
  // Captions come from diagram files. Cairo's text calls stop a context for
  // good on bytes that are not UTF-8, which would freeze the editor's picture.
  Connection* c = sideBySide();
  c->setCaption("Liefer\xff\xfeung");
  ShapeConnector* link = map->addConnectorLink(200, 220);
  link->setCaption("\xc3(\nzwei");
  HalfCanvas canvas;
  c->draw(canvas.cr());
  link->draw(canvas.cr());
  EXPECT_EQ(cairo_status(canvas.cr()), CAIRO_STATUS_SUCCESS);
  // what comes after still draws
  cairo_set_source_rgb(canvas.cr(), 0, 0, 1);
  cairo_rectangle(canvas.cr(), 300, 250, 10, 10);
  cairo_fill(canvas.cr());
  EXPECT_TRUE(bluish(canvas.atUser(305, 255)));
  EXPECT_GT(canvas.inkIn(150, 100, 250, 124), 20) << "the connection's caption";
  EXPECT_GT(canvas.inkIn(170, 200, 230, 240), 20) << "the connector's text";
}

TEST_F(MapDrawing, ShapesAreCulledByTheirOutlineAgainstTheView)
{
  ShapeRectangle* inside = map->addRectangle(100, 100, 200, 150);
  ShapeRectangle* partly = map->addRectangle(-50, 200, 60, 260); // node 0 left of the view
  ShapeRectangle* outside = map->addRectangle(500, 100, 600, 150);
  inside->setFillColor(0, 0, 1, false);
  partly->setFillColor(0, 0, 1, false);
  outside->setFillColor(0, 0, 1, false);
  outside->setCaption("unsichtbar");
  HalfCanvas canvas;
  const unsigned long before = CaptionLayout::buildCount();
  map->drawShapes(canvas.cr(), VIEW_MODE_CONNECTION);
  EXPECT_TRUE(bluish(canvas.atUser(150, 125)));
  EXPECT_TRUE(bluish(canvas.atUser(30, 230))) << "a partly visible shape is drawn";
  EXPECT_EQ(CaptionLayout::buildCount(), before) << "a shape out of view does no caption work";
}

TEST_F(MapDrawing, SelectionMarksFollowTheShapesAndConnections)
{
  ShapeRectangle* shape = map->addRectangle(100, 100, 200, 150);
  map->addSelection(shape);
  HalfCanvas canvas;
  map->drawShapes(canvas.cr(), VIEW_MODE_SHAPE);
  EXPECT_TRUE(canvas.atUser(200, 150).near(GREEN, 30)) << canvas.atUser(200, 150);
  EXPECT_TRUE(canvas.atUser(210, 160).near(Rgb{255, 255, 0}, 30)) << canvas.atUser(210, 160);
}

TEST_F(MapDrawing, ConnectionsAreCulledByTheirLineAgainstTheView)
{
  setView(100, 0, 300, 300);
  Connection* c = sideBySide(); // ends at x 140 and 259
  HalfCanvas canvas;
  map->drawConnections(canvas.cr());
  EXPECT_TRUE(canvas.atUser(200, 125).isDark(120));

  // a line crossing the view with both ends outside it is drawn too
  setView(160, 0, 240, 300);
  canvas.reset();
  map->drawConnections(canvas.cr());
  EXPECT_TRUE(canvas.atUser(200, 125).isDark(120));

  // a line wholly outside is not
  setView(0, 200, 400, 300);
  canvas.reset();
  map->drawConnections(canvas.cr());
  EXPECT_EQ(canvas.ink(), 0);

  map->addSelection(c);
  setView(0, 0, 400, 300);
  canvas.reset();
  map->drawConnections(canvas.cr());
  EXPECT_TRUE(reddish(canvas.atUser((c->mDrawnX1 + c->mDrawnX2) / 2, 125)));
}

} // namespace
