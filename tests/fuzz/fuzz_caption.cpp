// Fuzz target: arbitrary bytes as a caption, as a diagram file may carry it.
// Parsing, laying out and drawing it (shape caption, polygon edge caption,
// connection text) must never crash, hang or leave the context unusable.
#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "CaptionLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 120, 80);
  // The first two bytes choose the box and the zoom, the rest is the caption.
  const double width = size > 0 ? data[0] % 150 : 60;
  const double scale = size > 1 ? 0.25 + (data[1] % 16) / 4.0 : 1;
  const std::string html(reinterpret_cast<const char*>(data) + (size > 2 ? 2 : size), size > 2 ? size - 2 : 0);

  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  cairo_set_source_rgb(cr, 0, 0, 0);
  CaptionLayout layout;
  layout.drawCentered(cr, html, 5, 5, 5 + width, 45);
  layout.drawCentered(cr, html, 5, 5, 5 + width, 45);

  TextSegmentList segments = ParseHtmlToTextSegments(html);
  draw_text_along_leftmost_edge(cr, segments, {{100, 10}, {100, 60}, {10, 60}, {10, 10}});
  FreeSegments(segments);

  const std::string text = ValidUtf8Text(html);
  cairo_move_to(cr, 10, 70);
  cairo_show_text(cr, text.c_str());
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
    std::abort();
  cairo_destroy(cr);
  return 0;
}
