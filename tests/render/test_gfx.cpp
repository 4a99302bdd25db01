// Device-pixel line widths, pixel-aligned rectangles and the world grid.
#include "gfx.h"

#include "RenderFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct WidthCase
{
  const char* name;
  double sx, sy;
  double px;
  double expected;
};

TEST(PixelLineWidth, FollowsTheSmallerScaleOfTheMatrix)
{
  const WidthCase cases[] = {
      {"one pixel at zoom 4", 4, 4, 1, 0.25},
      {"two pixels at zoom 4", 4, 4, 2, 0.5},
      {"uneven scale takes the larger zoom", 2, 8, 1, 1.0 / 8},
      {"zero counts as one pixel", 4, 4, 0, 0.25},
      {"negative counts as one pixel", 4, 4, -3, 0.25},
      {"zoomed out", 0.25, 0.25, 1, 4},
  };
  Canvas canvas(8, 8);
  for (const WidthCase& c : cases) {
    cairo_identity_matrix(canvas.cr());
    cairo_scale(canvas.cr(), c.sx, c.sy);
    gfx_set_line_width_px(canvas.cr(), c.px);
    EXPECT_DOUBLE_EQ(cairo_get_line_width(canvas.cr()), c.expected) << c.name;
  }
}

TEST(PixelLineWidth, MeasuresRotatedMatricesByLength)
{
  Canvas canvas(8, 8);
  cairo_scale(canvas.cr(), 2, 2);
  cairo_rotate(canvas.cr(), 0.7);
  EXPECT_NEAR(user_width_for_device_px(canvas.cr(), 1), 0.5, 1e-12);
}

TEST(PixelLineWidth, MinimumPixelsOnlyWhenTheUserWidthIsThinner)
{
  Canvas canvas(8, 8);
  gfx_set_line_width_min_px(canvas.cr(), 0.1, 1);
  EXPECT_DOUBLE_EQ(cairo_get_line_width(canvas.cr()), 1.0);

  cairo_identity_matrix(canvas.cr());
  cairo_scale(canvas.cr(), 20, 20);
  gfx_set_line_width_min_px(canvas.cr(), 0.1, 1);
  EXPECT_DOUBLE_EQ(cairo_get_line_width(canvas.cr()), 0.1);

  cairo_identity_matrix(canvas.cr());
  cairo_scale(canvas.cr(), 0.25, 0.25);
  gfx_set_line_width_min_px(canvas.cr(), 1.0, 1);
  EXPECT_DOUBLE_EQ(cairo_get_line_width(canvas.cr()), 4.0);
}

// The single rectangle of the current path, in device coordinates.
std::vector<double> pathRectDevice(cairo_t* cr)
{
  double x1, y1, x2, y2;
  cairo_path_extents(cr, &x1, &y1, &x2, &y2);
  cairo_user_to_device(cr, &x1, &y1);
  cairo_user_to_device(cr, &x2, &y2);
  cairo_new_path(cr);
  return {x1, y1, x2, y2};
}

TEST(PixelRectPath, CentresAndEdgesUnderIdentity)
{
  Canvas canvas(32, 32);
  gfx_pixel_rect_path(canvas.cr(), 0.2, 0.2, 10, 10);
  EXPECT_EQ(pathRectDevice(canvas.cr()), (std::vector<double>{0.5, 0.5, 10.5, 10.5}));
  gfx_pixel_rect_path_even(canvas.cr(), 0.2, 0.2, 10, 10);
  EXPECT_EQ(pathRectDevice(canvas.cr()), (std::vector<double>{0, 0, 10, 10}));
  gfx_pixel_rect_path_even(canvas.cr(), 0.6, 0.4, 10, 10);
  EXPECT_EQ(pathRectDevice(canvas.cr()), (std::vector<double>{1, 0, 11, 10}));
}

TEST(PixelRectPath, SnapsInDeviceSpaceUnderZoomAndPan)
{
  Canvas canvas(64, 64);
  cairo_translate(canvas.cr(), 3.3, 7.9);
  cairo_scale(canvas.cr(), 2.5, 2.5);
  gfx_pixel_rect_path(canvas.cr(), 1.1, 1.1, 4, 4);
  // corners at device 6.05 / 10.65 and 16.05 / 20.65
  const std::vector<double> r = pathRectDevice(canvas.cr());
  EXPECT_NEAR(r[0], 6.5, 1e-9);
  EXPECT_NEAR(r[1], 10.5, 1e-9);
  EXPECT_NEAR(r[2], 16.5, 1e-9);
  EXPECT_NEAR(r[3], 20.5, 1e-9);
}

TEST(PixelRectPath, OnePixelStrokeIsSharp)
{
  Canvas canvas(32, 32);
  cairo_scale(canvas.cr(), 3, 3);
  cairo_set_source_rgb(canvas.cr(), 0, 0, 0);
  gfx_set_line_width_px(canvas.cr(), 1);
  gfx_pixel_rect_path(canvas.cr(), 1.1, 1.1, 6, 6);
  cairo_stroke(canvas.cr());
  // Device edge at 3.3 -> pixel column 3 fully black, its neighbours untouched.
  EXPECT_TRUE(canvas.at(3, 10).near(Rgb{0, 0, 0}, 0)) << canvas.at(3, 10);
  EXPECT_TRUE(canvas.at(2, 10).isWhite(0)) << canvas.at(2, 10);
  EXPECT_TRUE(canvas.at(4, 10).isWhite(0)) << canvas.at(4, 10);
}

TEST(SnapHalf, PutsCoordinatesOnPixelCentres)
{
  Canvas canvas(8, 8);
  cairo_translate(canvas.cr(), 10, 20);
  cairo_scale(canvas.cr(), 4, 2);
  double x = 1.0, y = 1.0;
  snap_x_half(canvas.cr(), x); // device 14 -> 14.5
  snap_y_half(canvas.cr(), y); // device 22 -> 22.5
  EXPECT_DOUBLE_EQ(x, 1.125);
  EXPECT_DOUBLE_EQ(y, 1.25);
}

// Grid of the editor: step 10, a major line every 10th, greys 0.9 and 0.7.
void drawGrid(Canvas& canvas)
{
  draw_world_grid_fast(canvas.cr(), canvas.width(), canvas.height(), 10, 10, 10, 0.9, 0.7);
}

const Rgb MINOR = rgb8(0.9, 0.9, 0.9);
const Rgb MAJOR = rgb8(0.7, 0.7, 0.7);

TEST(WorldGrid, MajorLinesAtMultiplesOfHundredAlsoNegative)
{
  Canvas canvas(300, 300);
  cairo_translate(canvas.cr(), 250, 250); // world -250..50 visible
  drawGrid(canvas);
  for (int world : {-200, -100, 0}) {
    const int d = world + 250;
    EXPECT_TRUE(canvas.at(d, 7).near(MAJOR, 2)) << "vertical " << world << " " << canvas.at(d, 7);
    EXPECT_TRUE(canvas.at(7, d).near(MAJOR, 2)) << "horizontal " << world << " " << canvas.at(7, d);
  }
  for (int world : {-190, -110, -90, -10, 10}) {
    const int d = world + 250;
    EXPECT_TRUE(canvas.at(d, 7).near(MINOR, 2)) << "vertical " << world << " " << canvas.at(d, 7);
    EXPECT_TRUE(canvas.at(7, d).near(MINOR, 2)) << "horizontal " << world << " " << canvas.at(7, d);
  }
  // Between the lines the surface stays white; one pixel beside a line too.
  EXPECT_TRUE(canvas.at(255, 255).isWhite(0));
  EXPECT_TRUE(canvas.at(149, 7).isWhite(0));
  EXPECT_TRUE(canvas.at(151, 7).isWhite(0));
  // Where a major line crosses a minor one the major grey wins.
  EXPECT_TRUE(canvas.at(150, 160).near(MAJOR, 2)) << canvas.at(150, 160);
}

TEST(WorldGrid, ZoomedLinesStayOneDevicePixel)
{
  Canvas canvas(200, 200);
  cairo_translate(canvas.cr(), 0.3, 0.3);
  cairo_scale(canvas.cr(), 4, 4); // world line x=10 at device 40.3
  drawGrid(canvas);
  EXPECT_TRUE(canvas.at(40, 5).near(MINOR, 2)) << canvas.at(40, 5);
  EXPECT_TRUE(canvas.at(39, 5).isWhite(0));
  EXPECT_TRUE(canvas.at(41, 5).isWhite(0));
}

TEST(WorldGrid, ThresholdsDropKindsTooDenseToSee)
{
  struct Case
  {
    const char* name;
    double scale;
    bool minor, major;
  };
  const Case cases[] = {
      {"step 1 px: all lines", 0.1, true, true},
      {"step 0.91 px: still minor lines", 0.091, true, true},
      {"step 0.89 px: major lines only", 0.089, false, true},
      {"step 0.5 px: major lines only", 0.05, false, true},
      {"step 0.05 px: nothing", 0.005, false, false},
  };
  for (const Case& c : cases) {
    Canvas canvas(400, 40);
    cairo_scale(canvas.cr(), c.scale, c.scale);
    drawGrid(canvas);
    int minorPixels = 0, majorPixels = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 400; ++x) {
        const Rgb p = canvas.at(x, y);
        if (p.near(MINOR, 2))
          ++minorPixels;
        else if (p.near(MAJOR, 2))
          ++majorPixels;
      }
    EXPECT_EQ(minorPixels > 0, c.minor) << c.name << " minor pixels " << minorPixels;
    EXPECT_EQ(majorPixels > 0, c.major) << c.name << " major pixels " << majorPixels;
    if (!c.minor && !c.major) {
      EXPECT_EQ(canvas.ink(), 0) << c.name;
    }
  }
}

TEST(WorldGrid, MajorLinesOnlyAreSpacedByTheMajorStep)
{
  Canvas canvas(100, 10);
  cairo_scale(canvas.cr(), 0.05, 0.05); // majors every 5 device pixels
  drawGrid(canvas);
  for (int x = 0; x < 100; ++x)
    EXPECT_EQ(canvas.at(x, 7).near(MAJOR, 2), x % 5 == 0) << x << " " << canvas.at(x, 7);
}

TEST(WorldGrid, InvalidStepsDrawNothing)
{
  for (double step : {0.0, -10.0}) {
    Canvas canvas(50, 50);
    draw_world_grid_fast(canvas.cr(), 50, 50, step, 10, 10, 0.9, 0.7);
    draw_world_grid_fast(canvas.cr(), 50, 50, 10, step, 10, 0.9, 0.7);
    EXPECT_EQ(canvas.ink(), 0) << step;
  }
}

TEST(WorldGrid, FarFromTheOriginLinesStayOnTheirPlaces)
{
  Canvas canvas(200, 20);
  cairo_translate(canvas.cr(), -1e7 + 50, 0); // world 9999950..10000150
  drawGrid(canvas);
  EXPECT_TRUE(canvas.at(50, 10).near(MAJOR, 2)) << canvas.at(50, 10);  // 10000000
  EXPECT_TRUE(canvas.at(150, 10).near(MAJOR, 2)) << canvas.at(150, 10); // 10000100
  EXPECT_TRUE(canvas.at(60, 10).near(MINOR, 2)) << canvas.at(60, 10);
}

TEST(WorldGrid, MirroredMatrixStillCoversTheView)
{
  Canvas canvas(100, 100);
  cairo_translate(canvas.cr(), 100, 100);
  cairo_scale(canvas.cr(), -1, -1); // world 0..100, drawn mirrored
  drawGrid(canvas);
  // world 100 lies on device 0, world 10 on device 90
  EXPECT_TRUE(canvas.at(0, 50).near(MAJOR, 2)) << canvas.at(0, 50);
  EXPECT_TRUE(canvas.at(90, 50).near(MINOR, 2)) << canvas.at(90, 50);
  EXPECT_TRUE(canvas.at(45, 0).near(MAJOR, 2)) << canvas.at(45, 0); // horizontal world 100
  EXPECT_TRUE(canvas.at(45, 90).near(MINOR, 2)) << canvas.at(45, 90);
}

} // namespace
