// Drawing entry table and device-pixel helpers; see gfx.h.
#include "gfx.h"

#include <algorithm>
#include <cmath>
#include <utility>

#define VELMARIS_GFX_DEFINE(name) decltype(&cairo_##name) gfx_##name = &cairo_##name;
VELMARIS_GFX_ENTRIES(VELMARIS_GFX_DEFINE)
#undef VELMARIS_GFX_DEFINE

bool global_draw_shadow = true;
bool global_draw_body = true;
bool global_draw_ids = false;

#define VELMARIS_GFX_COUNT(name) +1
static_assert(0 VELMARIS_GFX_ENTRIES(VELMARIS_GFX_COUNT) == GFX_ENTRY_COUNT,
              "the drawing table has a fixed number of entries");
#undef VELMARIS_GFX_COUNT

double user_width_for_device_px(cairo_t* cr, double px)
{
  if (px <= 0)
    px = 1;
  double ux = 1, uy = 0;
  cairo_device_to_user_distance(cr, &ux, &uy);
  double vx = 0, vy = 1;
  cairo_device_to_user_distance(cr, &vx, &vy);
  const double sx = std::hypot(ux, uy);
  const double sy = std::hypot(vx, vy);
  return px * std::min(sx, sy);
}

void my_set_line_width_px(cairo_t* cr, double px)
{
  double w = user_width_for_device_px(cr, px);
  if (!(w > 0))
    w = 0.5;
  gfx_set_line_width(cr, w);
}

void gfx_set_line_width_px(cairo_t* cr, double px)
{
  my_set_line_width_px(cr, px);
}

void gfx_set_line_width_min_px(cairo_t* cr, double width_user, double min_px)
{
  double dx = width_user, dy = 0;
  cairo_user_to_device_distance(cr, &dx, &dy);
  const double d = std::hypot(dx, dy);
  if (min_px > d)
    my_set_line_width_px(cr, min_px);
  else
    gfx_set_line_width(cr, width_user);
}

// Converts both corners to device space, snaps them with `snap` and adds the
// rectangle between the snapped corners (back in user space) to the path.
template <typename Snap>
static void pixel_rect_path(cairo_t* cr, double x, double y, double width, double height, Snap snap)
{
  double x1 = x, y1 = y, x2 = x + width, y2 = y + height;
  cairo_user_to_device(cr, &x1, &y1);
  cairo_user_to_device(cr, &x2, &y2);
  x1 = snap(x1);
  y1 = snap(y1);
  x2 = snap(x2);
  y2 = snap(y2);
  cairo_device_to_user(cr, &x1, &y1);
  cairo_device_to_user(cr, &x2, &y2);
  gfx_rectangle(cr, x1, y1, x2 - x1, y2 - y1);
}

void gfx_pixel_rect_path(cairo_t* cr, double x, double y, double width, double height)
{
  pixel_rect_path(cr, x, y, width, height, [](double v) { return std::floor(v) + 0.5; });
}

void gfx_pixel_rect_path_even(cairo_t* cr, double x, double y, double width, double height)
{
  pixel_rect_path(cr, x, y, width, height, [](double v) { return std::floor(v + 0.5); });
}

void snap_x_half(cairo_t* cr, double& x)
{
  double dx = x, dy = 0;
  cairo_user_to_device(cr, &dx, &dy);
  dx = std::floor(dx) + 0.5;
  cairo_device_to_user(cr, &dx, &dy);
  x = dx;
}

void snap_y_half(cairo_t* cr, double& y)
{
  double dx = 0, dy = y;
  cairo_user_to_device(cr, &dx, &dy);
  dy = std::floor(dy) + 0.5;
  cairo_device_to_user(cr, &dx, &dy);
  y = dy;
}

namespace {

constexpr double GRID_EPS = 1e-9;
constexpr double GRID_MIN_PX = 0.9;

// Index modulo n, always non-negative, so lines left of or above the origin
// are classified like the ones right of or below it.
long long positive_mod(long long k, long long n)
{
  long long r = k % n;
  return r < 0 ? r + n : r;
}

} // namespace

void draw_world_grid_fast(cairo_t* cr, double view_w, double view_h, double step_x, double step_y,
                          int majorN, double gray_minor, double gray_major)
{
  if (!(step_x > 0) || !(step_y > 0))
    return;

  double x0 = 0, y0 = 0, x1 = view_w, y1 = view_h;
  cairo_device_to_user(cr, &x0, &y0);
  cairo_device_to_user(cr, &x1, &y1);
  if (x0 > x1)
    std::swap(x0, x1);
  if (y0 > y1)
    std::swap(y0, y1);

  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  const double sx = std::hypot(m.xx, m.yx);
  const double sy = std::hypot(m.xy, m.yy);
  if (!(sx > 0) || !(sy > 0))
    return;
  const double px = sx * step_x;
  const double py = sy * step_y;

  const bool minorV = px >= GRID_MIN_PX;
  const bool minorH = py >= GRID_MIN_PX;
  const bool majorV = majorN > 1 && majorN * px >= GRID_MIN_PX;
  const bool majorH = majorN > 1 && majorN * py >= GRID_MIN_PX;
  if (!minorV && !minorH && !majorV && !majorH)
    return;

  const long long k0x = static_cast<long long>(std::floor(x0 / step_x));
  const long long k0y = static_cast<long long>(std::floor(y0 / step_y));
  const double startX = k0x * step_x;
  const double startY = k0y * step_y;

  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
  gfx_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  gfx_set_line_join(cr, CAIRO_LINE_JOIN_MITER);

  if (minorV) {
    gfx_set_source_rgba(cr, gray_minor, gray_minor, gray_minor, 1);
    gfx_set_line_width(cr, 1.0 / sx);
    const long long iFrom = static_cast<long long>(std::ceil((x0 - startX - GRID_EPS) / step_x));
    const long long iTo = static_cast<long long>(std::floor((x1 - startX + GRID_EPS) / step_x));
    for (long long i = iFrom; i <= iTo; ++i) {
      if (majorV && positive_mod(k0x + i, majorN) == 0)
        continue;
      double x = startX + i * step_x;
      snap_x_half(cr, x);
      gfx_move_to(cr, x, y0);
      gfx_line_to(cr, x, y1);
    }
    gfx_stroke(cr);
  }
  if (minorH) {
    gfx_set_source_rgba(cr, gray_minor, gray_minor, gray_minor, 1);
    gfx_set_line_width(cr, 1.0 / sy);
    const long long iFrom = static_cast<long long>(std::ceil((y0 - startY - GRID_EPS) / step_y));
    const long long iTo = static_cast<long long>(std::floor((y1 - startY + GRID_EPS) / step_y));
    for (long long i = iFrom; i <= iTo; ++i) {
      if (majorH && positive_mod(k0y + i, majorN) == 0)
        continue;
      double y = startY + i * step_y;
      snap_y_half(cr, y);
      gfx_move_to(cr, x0, y);
      gfx_line_to(cr, x1, y);
    }
    gfx_stroke(cr);
  }
  if (majorV) {
    gfx_set_source_rgba(cr, gray_major, gray_major, gray_major, 1);
    gfx_set_line_width(cr, 1.0 / sx);
    const double M = majorN * step_x;
    // Counted by index rather than by accumulating M, so far from the
    // origin the lines neither drift nor stall.
    const long long kFrom = static_cast<long long>(std::ceil((x0 - GRID_EPS) / M));
    for (long long k = kFrom; k * M <= x1 + GRID_EPS; ++k) {
      double x = k * M;
      snap_x_half(cr, x);
      gfx_move_to(cr, x, y0);
      gfx_line_to(cr, x, y1);
    }
    gfx_stroke(cr);
  }
  if (majorH) {
    gfx_set_source_rgba(cr, gray_major, gray_major, gray_major, 1);
    gfx_set_line_width(cr, 1.0 / sy);
    const double M = majorN * step_y;
    const long long kFrom = static_cast<long long>(std::ceil((y0 - GRID_EPS) / M));
    for (long long k = kFrom; k * M <= y1 + GRID_EPS; ++k) {
      double y = k * M;
      snap_y_half(cr, y);
      gfx_move_to(cr, x0, y);
      gfx_line_to(cr, x1, y);
    }
    gfx_stroke(cr);
  }
}
