// Drawing entry table and device-pixel helpers for the diagram canvas.
// All diagram drawing calls Cairo through the gfx_ pointers below, so the
// drawing backend can be exchanged in this one place. The helpers give line
// widths and rectangle edges in device pixels whatever the view transform.
#pragma once

#include <cairo.h>
#include <cairo-ft.h>
#include <cairo-pdf.h>

// One process-wide pointer per Cairo operation, statically initialised to the
// Cairo function of the same name. Nothing reassigns them at run time.
#define VELMARIS_GFX_ENTRIES(X)                 \
  X(ft_font_face_create_for_ft_face)            \
  X(image_surface_get_format)                   \
  X(surface_status)                             \
  X(surface_write_to_png)                       \
  X(image_surface_create)                       \
  X(image_surface_create_for_data)              \
  X(image_surface_create_from_png_stream)       \
  X(pdf_surface_create)                         \
  X(create)                                     \
  X(image_surface_get_height)                   \
  X(image_surface_get_width)                    \
  X(image_surface_get_data)                     \
  X(arc)                                        \
  X(close_path)                                 \
  X(destroy)                                    \
  X(fill)                                       \
  X(fill_preserve)                              \
  X(line_to)                                    \
  X(move_to)                                    \
  X(new_sub_path)                               \
  X(paint)                                      \
  X(rectangle)                                  \
  X(rel_line_to)                                \
  X(restore)                                    \
  X(rotate)                                     \
  X(save)                                       \
  X(scale)                                      \
  X(select_font_face)                           \
  X(set_font_face)                              \
  X(set_font_size)                              \
  X(set_line_cap)                               \
  X(set_line_join)                              \
  X(set_line_width)                             \
  X(set_source_rgb)                             \
  X(set_source_rgba)                            \
  X(set_source_surface)                         \
  X(set_dash)                                   \
  X(show_text)                                  \
  X(stroke)                                     \
  X(surface_destroy)                            \
  X(surface_flush)                              \
  X(surface_mark_dirty)                         \
  X(text_extents)                               \
  X(translate)

#define VELMARIS_GFX_DECLARE(name) extern decltype(&cairo_##name) gfx_##name;
VELMARIS_GFX_ENTRIES(VELMARIS_GFX_DECLARE)
#undef VELMARIS_GFX_DECLARE

// Process-wide drawing switches of the diagram. The program never changes
// them: shadows and filled bodies are on, node numbering is off.
extern bool global_draw_shadow; // drop shadows of the shapes
extern bool global_draw_body;   // fill the shape bodies
extern bool global_draw_ids;    // number connection node markers and arrow corners

// Number of entries in the drawing table.
constexpr int GFX_ENTRY_COUNT = 44;

// The user-space length that covers px device pixels under the current
// matrix (the smaller of the two axis scales wins). px <= 0 counts as 1.
double user_width_for_device_px(cairo_t* cr, double px);

// Line width of px device pixels (0.5 user units if that comes out as 0 or less).
void my_set_line_width_px(cairo_t* cr, double px);
void gfx_set_line_width_px(cairo_t* cr, double px);

// Line width of width_user user units, but never thinner than min_px device pixels.
void gfx_set_line_width_min_px(cairo_t* cr, double width_user, double min_px);

// Adds a rectangle whose edges lie on device pixel centres (sharp 1-pixel strokes).
void gfx_pixel_rect_path(cairo_t* cr, double x, double y, double width, double height);
// Adds a rectangle whose edges lie on device pixel edges (fills, even widths).
void gfx_pixel_rect_path_even(cairo_t* cr, double x, double y, double width, double height);

// Moves a user x (or y) so that it falls on a device pixel centre.
void snap_x_half(cairo_t* cr, double& x);
void snap_y_half(cairo_t* cr, double& y);

// Draws the world grid visible in the device rectangle (0,0)-(view_w,view_h):
// minor lines every step, a major line every majorN-th line, each kind skipped
// when its lines would be closer than 0.9 device pixels. At most four strokes.
void draw_world_grid_fast(cairo_t* cr, double view_w, double view_h, double step_x, double step_y,
                          int majorN, double gray_minor, double gray_major);
