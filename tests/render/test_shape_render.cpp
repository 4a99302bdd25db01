// Drawing of the shape kinds: shadow, fill, outline, captions, position print,
// selection marks, handles, node markers and hover previews, read back as pixels.
#include "ConnectionNode.h"
#include "ShapeCircle.h"
#include "ShapeConnector.h"
#include "ShapeDiamond.h"
#include "ShapeImage.h"
#include "ShapeNode.h"
#include "ShapePolygon.h"
#include "ShapeRectangle.h"
#include "ShapeTriangle.h"
#include "VelmarisPanel.h"
#include "gfx.h"

#include "RenderFixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const Rgb WHITE{255, 255, 255};
const Rgb BLACK{0, 0, 0};
const Rgb SHADOW = rgb8(0.8, 0.8, 0.8);
const Rgb FILL = rgb8(0.2, 0.4, 1.0);
const Rgb RED{255, 0, 0};
const Rgb GREEN{0, 255, 0};
const Rgb YELLOW{255, 255, 0};
const Rgb PINK = rgb8(1, 0.5, 0.5);

bool reddish(const Rgb& p) { return p.r > 150 && p.g < 100 && p.b < 100; }

// Length of the run of pixels matching `pred` along a row, through x0.
template <typename Pred>
int runAlongRow(const Canvas& c, int x0, int y, Pred pred)
{
  if (!pred(c.at(x0, y)))
    return 0;
  int left = x0, right = x0;
  while (left > 0 && pred(c.at(left - 1, y)))
    --left;
  while (right < c.width() - 1 && pred(c.at(right + 1, y)))
    ++right;
  return right - left + 1;
}

TEST(ShapeDrawing, RectangleHasShadowFillAndOutline)
{
  Canvas canvas(300, 200);
  cairo_scale(canvas.cr(), 2, 2);
  ShapeRectangle rect(20, 20, 120, 70, 0);
  rect.setFillColor(0.2, 0.4, 1.0, false);
  rect.draw(canvas.cr());
  EXPECT_TRUE(canvas.atUser(70, 45).near(FILL)) << canvas.atUser(70, 45);
  // the shadow shows 2 units right of and below the body
  EXPECT_TRUE(canvas.atUser(121.2, 50).near(SHADOW)) << canvas.atUser(121.2, 50);
  EXPECT_TRUE(canvas.atUser(70, 71.2).near(SHADOW)) << canvas.atUser(70, 71.2);
  // ... but not left of or above it
  EXPECT_TRUE(canvas.atUser(18.5, 50).isWhite()) << canvas.atUser(18.5, 50);
  EXPECT_TRUE(canvas.atUser(70, 18.5).isWhite()) << canvas.atUser(70, 18.5);
  // outline in the border colour, one world unit (two pixels) wide
  EXPECT_TRUE(canvas.atUser(120, 45).near(BLACK, 40)) << canvas.atUser(120, 45);
  EXPECT_TRUE(canvas.atUser(70, 20).near(BLACK, 40)) << canvas.atUser(70, 20);
  EXPECT_TRUE(canvas.atUser(20, 45).near(BLACK, 40)) << canvas.atUser(20, 45);
  EXPECT_TRUE(canvas.atUser(125, 45).isWhite());
}

TEST(ShapeDrawing, ShadowAndBodySwitches)
{
  struct Case
  {
    bool shadow, body;
  };
  for (const Case c : {Case{false, true}, Case{true, false}}) {
    global_draw_shadow = c.shadow;
    global_draw_body = c.body;
    Canvas canvas(200, 120);
    ShapeRectangle rect(20, 20, 120, 70, 0);
    rect.setFillColor(0.2, 0.4, 1.0, false);
    rect.draw(canvas.cr());
    global_draw_shadow = true;
    global_draw_body = true;
    EXPECT_EQ(canvas.at(70, 45).near(FILL), c.body) << canvas.at(70, 45);
    // right of the outline: the shadow's fill or (without bodies) its outline
    EXPECT_EQ(!canvas.at(121, 50).isWhite(), c.shadow) << canvas.at(121, 50);
  }
}

TEST(ShapeDrawing, OutlineStaysOnePixelWhenZoomedOut)
{
  Canvas canvas(100, 100);
  cairo_scale(canvas.cr(), 0.25, 0.25);
  ShapeRectangle rect(40.5 * 4, 40.5 * 4 - 200, 40.5 * 4 + 200, 40.5 * 4, 0); // right edge at device 90.5
  rect.draw(canvas.cr());
  EXPECT_TRUE(canvas.at(90, 20).near(BLACK, 60)) << canvas.at(90, 20);
}

TEST(ShapeDrawing, RoundedCornersFollowTheCurveDivisor)
{
  struct Case
  {
    double curve;
    double probe; // offset from the top-left corner along the diagonal
    bool filled;
  };
  // 100 x 50: curve 5 gives radius 10, curve 2 radius 25 (half circles).
  const Case cases[] = {
      {0, 1.5, true}, {5, 1.5, false}, {5, 5, true}, {2, 5, false}, {2, 9, true},
  };
  for (const Case& c : cases) {
    Canvas canvas(200, 120);
    ShapeRectangle rect(20, 20, 120, 70, c.curve);
    rect.setFillColor(0.2, 0.4, 1.0, false);
    rect.draw(canvas.cr());
    const Rgb p = canvas.atUser(20 + c.probe, 20 + c.probe);
    if (c.filled)
      EXPECT_TRUE(p.near(FILL, 40)) << "curve " << c.curve << " probe " << c.probe << " " << p;
    else
      EXPECT_TRUE(p.isWhite()) << "curve " << c.curve << " probe " << c.probe << " " << p;
    EXPECT_TRUE(canvas.atUser(70, 45).near(FILL)) << c.curve;
    EXPECT_TRUE(canvas.atUser(121.5, 45).near(SHADOW)) << c.curve << " " << canvas.atUser(121.5, 45);
  }
}

TEST(ShapeDrawing, CaptionIsBlackWhateverTheFontColour)
{
  Canvas canvas(300, 200);
  const std::unique_ptr<Shape> shapes[] = {
      std::make_unique<ShapeRectangle>(50, 50, 250, 150, 0),
      std::make_unique<ShapeRectangle>(50, 50, 250, 150, 4),
      std::make_unique<ShapeDiamond>(150, 20, 280, 100),
      std::make_unique<ShapeCircle>(60, 10, 90),
      std::make_unique<ShapeTriangle>(50, 50, 250, 50, 250, 190),
  };
  for (const auto& shape : shapes) {
    canvas.clear();
    shape->setFillColor(1, 1, 1, false);
    shape->setFontColor(1, 0, 0);
    shape->setCaption("<b>Kunde</b> Auftrag");
    shape->draw(canvas.cr());
    int dark = 0;
    for (int y = 0; y < canvas.height(); ++y)
      for (int x = 0; x < canvas.width(); ++x) {
        const Rgb p = canvas.at(x, y);
        ASSERT_FALSE(p.r > p.g + 60) << GetObjectTypeName(shape.get()) << " reddish at " << x << "," << y << p;
        if (p.isDark() && x > 110 && x < 190 && y > 80 && y < 120)
          ++dark;
      }
    EXPECT_GT(dark, 20) << GetObjectTypeName(shape.get());
  }
}

TEST(ShapeDrawing, PositionPrintStartsAboveTheBorderOutline)
{
  Canvas canvas(200, 120);
  cairo_translate(canvas.cr(), 50, 0);
  ShapeRectangle rect(12.5, 40, 112.5, 90, 0);
  rect.setShowPosition(true);
  rect.draw(canvas.cr());
  // text from (-7.5, 20) rightwards, baseline at y 20
  const int x0 = 50 - 8, y0 = 20;
  EXPECT_GT(canvas.inkIn(x0, y0 - 10, x0 + 80, y0 + 1), 40);
  EXPECT_EQ(canvas.inkIn(0, 0, x0, 40), 0);
  EXPECT_EQ(canvas.inkIn(0, 0, 200, y0 - 12), 0);

  canvas.clear();
  cairo_translate(canvas.cr(), 50, 0);
  rect.setShowPosition(false);
  rect.draw(canvas.cr());
  EXPECT_EQ(canvas.inkIn(0, 0, 200, 30), 0);
}

TEST(ShapeDrawing, PositionPrintFormatsTwoDecimals)
{
  // The same text drawn directly must give the same pixels.
  Canvas a(200, 60), b(200, 60);
  cairo_translate(a.cr(), 50, 0);
  ShapeRectangle rect(12.5, 40, 112.5, 90, 0);
  rect.setShowPosition(true);
  rect.draw(a.cr());
  cairo_set_source_rgb(b.cr(), 0, 0, 0);
  cairo_move_to(b.cr(), 50 - 7.5, 20);
  cairo_show_text(b.cr(), "12.50 : 40.00");
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 200; ++x)
      ASSERT_TRUE(a.at(x, y).near(b.at(x, y), 2)) << x << "," << y;
}

TEST(ShapeDrawing, CircleHasNoShadow)
{
  Canvas canvas(200, 200);
  ShapeCircle circle(50, 50, 40); // centre (90, 90)
  circle.setFillColor(0.2, 0.4, 1.0, false);
  circle.draw(canvas.cr());
  EXPECT_TRUE(canvas.at(90, 90).near(FILL)) << canvas.at(90, 90);
  EXPECT_TRUE(canvas.at(90, 49).isDark(150) && canvas.at(90, 50).isDark(150)) << canvas.at(90, 50);
  EXPECT_TRUE(canvas.at(132, 90).isWhite()) << canvas.at(132, 90);
  EXPECT_TRUE(canvas.at(90, 132).isWhite()) << canvas.at(90, 132);
}

TEST(ShapeDrawing, DiamondClosesOnItsTopVertex)
{
  Canvas canvas(200, 120);
  ShapeDiamond diamond(100, 10, 150, 50); // top (100,10) right (150,50) bottom (100,90) left (50,50)
  diamond.setFillColor(0.2, 0.4, 1.0, false);
  diamond.draw(canvas.cr());
  EXPECT_TRUE(canvas.at(100, 50).near(FILL)) << canvas.at(100, 50);
  EXPECT_TRUE(canvas.at(60, 15).isWhite());
  EXPECT_TRUE(canvas.at(126, 52).near(FILL)) << canvas.at(126, 52);
  // the lower right edge crosses y 76 at x 117.5, its shadow at x 122
  EXPECT_TRUE(canvas.at(120, 76).near(SHADOW, 30)) << canvas.at(120, 76);
  EXPECT_TRUE(canvas.at(124, 76).isWhite()) << canvas.at(124, 76);
}

TEST(ShapeDrawing, ImagePaintsThePictureAtVertexNodeZero)
{
  Canvas canvas(200, 200);
  cairo_scale(canvas.cr(), 0.5, 0.5);
  ShapeImage image(100, 120, 0, 0);
  image.draw(canvas.cr());
  // nothing left of or above the picture; ink inside it
  EXPECT_EQ(canvas.inkIn(0, 0, 50, 200), 0);
  EXPECT_EQ(canvas.inkIn(0, 0, 200, 60), 0);
  EXPECT_GT(canvas.inkIn(50, 60, 50 + image.mWidth / 2, 60 + image.mHeight / 2), 500);
  EXPECT_EQ(canvas.inkIn(50 + image.mWidth / 2 + 1, 0, 200, 200), 0);
}

TEST(ShapeDrawing, FreeConnectorShowsARedDashedSquareOnly)
{
  struct Case
  {
    long connections;
    bool square;
  };
  for (const Case c : {Case{0, true}, Case{1, false}, Case{3, false}}) {
    Canvas canvas(120, 120);
    ShapeConnector link(60, 60); // square (40,40)-(80,80)
    link.mConnectionCount = c.connections;
    link.draw(canvas.cr());
    int red = 0, gaps = 0;
    for (int x = 42; x < 78; ++x) {
      const Rgb p = canvas.at(x, 40);
      if (reddish(p))
        ++red;
      else if (p.isWhite(60))
        ++gaps;
    }
    EXPECT_EQ(red > 5, c.square) << c.connections << " red " << red;
    if (c.square) {
      EXPECT_GT(gaps, 5) << "the square is dashed";
    } else {
      EXPECT_EQ(canvas.ink(), 0);
    }
  }
}

TEST(ShapeDrawing, ConnectorTextUsesTheFontColourAndNoMarkup)
{
  Canvas canvas(200, 120);
  ShapeConnector link(100, 60);
  link.mConnectionCount = 1;
  link.setFontColor(0, 0, 1);
  link.setCaption("A<b>\n\nB");
  link.draw(canvas.cr());
  int blue = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 200; ++x) {
      const Rgb p = canvas.at(x, y);
      EXPECT_GE(p.b, p.r) << x << "," << y << p;
      if (p.b > p.r + 100)
        ++blue;
    }
  EXPECT_GT(blue, 20);
  // two lines (the empty line vanishes), centred on the square's middle
  EXPECT_GT(canvas.inkIn(0, 40, 200, 60), 0);
  EXPECT_GT(canvas.inkIn(0, 60, 200, 80), 0);
  // "A<b>" is written as it stands: wider than "B" alone
  EXPECT_GT(canvas.inkIn(100, 40, 200, 58), canvas.inkIn(100, 62, 200, 80));
}

TEST(ShapeSelection, MarkAndHandlesStaySmallAtZoomFour)
{
  Canvas canvas(400, 300);
  cairo_scale(canvas.cr(), 4, 4);
  ShapeRectangle rect(10, 10, 60, 40, 0);
  rect.setFillColor(1, 1, 1, false);
  rect.drawSelection(canvas.cr(), VIEW_MODE_SHAPE);
  // the handle on node 2 (60, 40): green inside a black frame, 6 device pixels
  const int hx = 240, hy = 160;
  EXPECT_TRUE(canvas.at(hx, hy).near(GREEN, 30)) << canvas.at(hx, hy);
  const int green = runAlongRow(canvas, hx, hy, [](const Rgb& p) { return p.near(GREEN, 30); });
  EXPECT_GE(green, 4);
  EXPECT_LE(green, 6);
  // the selection mark on border node 2 (70, 50): yellow, also 6 pixels
  EXPECT_TRUE(canvas.at(280, 200).near(YELLOW, 30)) << canvas.at(280, 200);
  const int yellow = runAlongRow(canvas, 280, 200, [](const Rgb& p) { return p.near(YELLOW, 30); });
  EXPECT_GE(yellow, 4);
  EXPECT_LE(yellow, 6);
  EXPECT_TRUE(canvas.at(284, 200).near(BLACK, 30) || canvas.at(283, 200).near(BLACK, 30));
}

TEST(ShapeSelection, ConnectionViewShowsNoHandles)
{
  Canvas canvas(100, 100);
  ShapeRectangle rect(10, 10, 60, 40, 0);
  rect.drawSelection(canvas.cr(), VIEW_MODE_CONNECTION);
  EXPECT_FALSE(canvas.at(60, 40).near(GREEN, 30));
  EXPECT_TRUE(canvas.at(70, 50).near(YELLOW, 30)) << canvas.at(70, 50);
}

TEST(ShapeSelection, SelectedConnectorShowsNoMark)
{
  Canvas canvas(120, 120);
  ShapeConnector link(60, 60);
  link.drawSelection(canvas.cr(), VIEW_MODE_SHAPE);
  link.drawSelection(canvas.cr(), VIEW_MODE_CONNECTION);
  EXPECT_EQ(canvas.ink(), 0);
}

TEST(ShapePreview, ConnectionNodeSquaresStayTwelvePixelsAtZoomFour)
{
  Canvas canvas(400, 300);
  cairo_set_source_rgb(canvas.cr(), 0.5, 0.5, 0.5);
  cairo_paint(canvas.cr());
  cairo_scale(canvas.cr(), 4, 4);
  ShapeRectangle rect(10, 10, 60, 40, 0); // connection node 0 at (35, 11)
  rect.drawConnectionNodes(canvas.cr());
  const int cx = 140, cy = 44;
  // the red cross is a quarter pixel wide: a faint red tint on the node
  EXPECT_GT(canvas.at(cx, cy).r, canvas.at(cx, cy).g + 20) << canvas.at(cx, cy);
  const int white = runAlongRow(canvas, cx, cy - 4, [](const Rgb& p) { return p.isWhite(10); });
  EXPECT_GE(white, 10);
  EXPECT_LE(white, 12);
}

TEST(ShapePreview, HoverFrameAndMarkersByViewMode)
{
  Canvas canvas(200, 150);
  ShapeRectangle rect(30, 30, 130, 80, 0); // border outline (20,20)-(140,90)
  rect.drawSelectionPreview(canvas.cr(), 0, 0, VIEW_MODE_CONNECTION);
  EXPECT_TRUE(reddish(canvas.at(80, 19))) << canvas.at(80, 19);
  EXPECT_TRUE(reddish(canvas.at(141, 50))) << canvas.at(141, 50);
  EXPECT_TRUE(canvas.at(80, 36).isWhite()) << "node square at (80, 31)";
  EXPECT_FALSE(canvas.at(130, 80).near(GREEN, 30));

  canvas.clear();
  rect.drawSelectionPreview(canvas.cr(), 0, 0, VIEW_MODE_SHAPE);
  EXPECT_TRUE(canvas.at(130, 80).near(GREEN, 30)) << canvas.at(130, 80);
}

TEST(ShapePreview, CircleRingIsTwoWorldUnitsWide)
{
  Canvas canvas(400, 400);
  cairo_scale(canvas.cr(), 4, 4);
  ShapeCircle circle(10, 10, 30); // centre (40, 40), ring radius 32 -> device x 288
  circle.drawSelectionPreview(canvas.cr(), 0, 0, VIEW_MODE_CONNECTION);
  const int red = runAlongRow(canvas, 288, 160, reddish);
  EXPECT_GE(red, 7);
  EXPECT_LE(red, 9);
}

TEST(ShapePreview, ConnectorPreviewOffersNodesOnlyInConnectionView)
{
  Canvas canvas(120, 120);
  ShapeConnector link(60, 60);
  link.drawSelectionPreview(canvas.cr(), 0, 0, VIEW_MODE_SHAPE);
  EXPECT_TRUE(reddish(canvas.at(40, 60))) << canvas.at(40, 60);
  EXPECT_TRUE(canvas.at(60, 55).isWhite());
  link.drawSelectionPreview(canvas.cr(), 0, 0, VIEW_MODE_CONNECTION);
  EXPECT_TRUE(canvas.at(60, 55).isWhite(10) || canvas.at(60, 55).isDark()) << canvas.at(60, 55);
  EXPECT_GT(canvas.at(60, 60).r, canvas.at(60, 60).g + 20) << canvas.at(60, 60);
}

TEST(NodePreview, ShapeNodeAndConnectionNodeSquares)
{
  Canvas canvas(400, 300);
  cairo_scale(canvas.cr(), 2, 2);
  ShapeTriangle tri(20, 20, 120, 20, 70, 100);
  tri.mShapeNodes[1]->drawSelectionPreview(canvas.cr(), 0, 0, VIEW_MODE_SHAPE);
  const int red = runAlongRow(canvas, 240, 40, [](const Rgb& p) { return p.near(RED, 30); });
  EXPECT_GE(red, 12);
  EXPECT_LE(red, 14);

  canvas.clear();
  cairo_scale(canvas.cr(), 2, 2);
  ConnectionNode* node = tri.mConnectionNodes[0]; // middle of the top edge (70, 20)
  node->drawSelectionPreview(canvas.cr(), 0, 0, VIEW_MODE_SHAPE);
  const int pink = runAlongRow(canvas, 140, 38, [](const Rgb& p) { return p.near(PINK, 30); });
  EXPECT_GE(pink, 10);
  EXPECT_LE(pink, 12);
  // the parent's preview ran in the connection view: no green handles
  EXPECT_FALSE(canvas.at(240, 40).near(GREEN, 30));
}

TEST(ShapeDrawing, PolygonCaptionAtTheLeftmostCorner)
{
  Canvas canvas(300, 200);
  ShapePolygon poly(50, 50, 250, 150);
  poly.setCaption("Lager");
  testing::internal::CaptureStdout();
  poly.draw(canvas.cr());
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find("info: Testing"), std::string::npos) << log;
  // plain text from the top-left corner downwards, inside the body
  EXPECT_GT(canvas.inkIn(52, 52, 110, 70), 10);
  EXPECT_EQ(canvas.inkIn(120, 52, 240, 140), 0);
}

TEST(ShapeDrawing, PolygonCaptionIsLaidOutOncePerTextAndZoom)
{
  Canvas canvas(300, 200);
  ShapePolygon poly(50, 50, 250, 150);
  poly.setCaption("<b>Lager</b> Nord");
  testing::internal::CaptureStdout();
  auto frame = [&](double tx, double s) {
    canvas.clear();
    cairo_translate(canvas.cr(), tx, 0);
    cairo_scale(canvas.cr(), s, s);
    const unsigned long before = CaptionLayout::buildCount();
    poly.draw(canvas.cr());
    return CaptionLayout::buildCount() - before;
  };
  EXPECT_EQ(frame(0, 1), 1u);
  const int ink = canvas.inkIn(52, 52, 200, 70);
  EXPECT_EQ(frame(0, 1), 0u);
  EXPECT_EQ(canvas.inkIn(52, 52, 200, 70), ink) << "the kept layout draws the same text";
  EXPECT_EQ(frame(7, 1), 0u);
  EXPECT_EQ(frame(7, 1.2), 1u);
  poly.setCaption("Lager Nord und Süd");
  EXPECT_EQ(frame(7, 1.2), 1u);
  testing::internal::GetCapturedStdout();

  // A caption longer than the edge is reported on every frame, and not drawn.
  ShapePolygon narrow(50, 50, 70, 150);
  narrow.setCaption("viel zu lang");
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  canvas.clear();
  narrow.draw(canvas.cr());
  narrow.draw(canvas.cr());
  const std::string err = testing::internal::GetCapturedStderr();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(err, "Text is too long to fit on the line\nText is too long to fit on the line\n");
  EXPECT_EQ(canvas.inkIn(52, 52, 68, 148), 0);
}

} // namespace
