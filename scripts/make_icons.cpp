// Draws the 20 x 20 tool bar icons of the main window with Cairo and writes them as
// PNG files into the directory given as the only argument (data/icons of the source
// tree). Run it again after changing a picture:
//   g++ -std=c++20 scripts/make_icons.cpp $(pkg-config --cflags --libs cairo) -o /tmp/make_icons
//   /tmp/make_icons data/icons
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

namespace {

const double kLine = 1.5;

void outline(cairo_t* cr) {
  cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
  cairo_set_line_width(cr, kLine);
  cairo_stroke(cr);
}

void fill_and_outline(cairo_t* cr, double r, double g, double b) {
  cairo_set_source_rgb(cr, r, g, b);
  cairo_fill_preserve(cr);
  outline(cr);
}

void cursor(cairo_t* cr) {
  // Classic arrow pointer, tip at the top left.
  cairo_move_to(cr, 5, 2);
  cairo_line_to(cr, 5, 16);
  cairo_line_to(cr, 8.5, 12.5);
  cairo_line_to(cr, 11, 18);
  cairo_line_to(cr, 13.2, 17);
  cairo_line_to(cr, 10.8, 11.6);
  cairo_line_to(cr, 15.5, 11.6);
  cairo_close_path(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  fill_and_outline(cr, 1, 1, 1);
}

void rectangle(cairo_t* cr) {
  cairo_rectangle(cr, 2.5, 5.5, 15, 9);
  fill_and_outline(cr, 0.55, 0.75, 0.95);
}

void diamond(cairo_t* cr) {
  cairo_move_to(cr, 10, 2);
  cairo_line_to(cr, 18, 10);
  cairo_line_to(cr, 10, 18);
  cairo_line_to(cr, 2, 10);
  cairo_close_path(cr);
  fill_and_outline(cr, 0.95, 0.8, 0.45);
}

void circle(cairo_t* cr) {
  cairo_arc(cr, 10, 10, 7.5, 0, 2 * M_PI);
  fill_and_outline(cr, 0.6, 0.88, 0.6);
}

void triangle(cairo_t* cr) {
  cairo_move_to(cr, 10, 2.5);
  cairo_line_to(cr, 18, 17);
  cairo_line_to(cr, 2, 17);
  cairo_close_path(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  fill_and_outline(cr, 0.95, 0.6, 0.55);
}

void polygon(cairo_t* cr) {
  // A free quadrilateral with its four corner handles.
  const double px[4] = {3, 16, 18, 5};
  const double py[4] = {4, 2.5, 15, 17.5};
  cairo_move_to(cr, px[0], py[0]);
  for (int i = 1; i < 4; ++i) cairo_line_to(cr, px[i], py[i]);
  cairo_close_path(cr);
  fill_and_outline(cr, 0.8, 0.65, 0.95);
  for (int i = 0; i < 4; ++i) {
    cairo_rectangle(cr, px[i] - 1.5, py[i] - 1.5, 3, 3);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_fill(cr);
  }
}

void image(cairo_t* cr) {
  // A star, the picture every image shape shows.
  for (int i = 0; i < 10; ++i) {
    const double a = -M_PI / 2 + i * M_PI / 5;
    const double r = (i % 2 == 0) ? 8.5 : 3.6;
    const double x = 10 + r * std::cos(a), y = 10.8 + r * std::sin(a);
    if (i == 0) cairo_move_to(cr, x, y); else cairo_line_to(cr, x, y);
  }
  cairo_close_path(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_source_rgb(cr, 1.0, 0.85, 0.1);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.15, 0.55, 0.15);
  cairo_set_line_width(cr, kLine);
  cairo_stroke(cr);
}

void resize(cairo_t* cr) {
  // A box with a diagonal double arrow from its resize handle: the shape view mode.
  cairo_rectangle(cr, 2.5, 2.5, 10, 10);
  cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_move_to(cr, 8, 8);
  cairo_line_to(cr, 17, 17);
  outline(cr);
  auto head = [&](double tx, double ty, double dx, double dy) {
    cairo_move_to(cr, tx, ty);
    cairo_line_to(cr, tx + dx * 5, ty);
    cairo_line_to(cr, tx, ty + dy * 5);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_fill(cr);
  };
  head(6.5, 6.5, 1, 1);
  head(18.5, 18.5, -1, -1);
  cairo_rectangle(cr, 10.5, 10.5, 4, 4);
  cairo_set_source_rgb(cr, 0.2, 0.45, 0.9);
  cairo_fill(cr);
}

bool write_icon(const std::string& dir, const char* name, const std::function<void(cairo_t*)>& draw) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 20, 20);
  cairo_t* cr = cairo_create(s);
  draw(cr);
  cairo_destroy(cr);
  const std::string path = dir + "/" + name;
  const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  ok &= write_icon(dir, "cursor20x20.png", cursor);
  ok &= write_icon(dir, "rectangle20x20.png", rectangle);
  ok &= write_icon(dir, "diamond20x20.png", diamond);
  ok &= write_icon(dir, "circle20x20.png", circle);
  ok &= write_icon(dir, "triangle20x20.png", triangle);
  ok &= write_icon(dir, "polygon20x20.png", polygon);
  ok &= write_icon(dir, "image20x20.png", image);
  ok &= write_icon(dir, "resize20x20.png", resize);
  return ok ? 0 : 1;
}
