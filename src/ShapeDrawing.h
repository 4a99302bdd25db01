// Drawing steps shared by the shape kinds: the outline polygon with its drop
// shadow, the caption and position print, the selection mark, resize handles,
// connection node markers and hover frames. Shapes draw in world units under
// the editor's view transform; marker squares, handles and hover frames are
// sized in device pixels so they look the same at every zoom.
#pragma once

#include <cairo.h>

class Node;
class Shape;

// Shadow grey and the offset of the drop shadow, in world units.
constexpr double SHAPE_SHADOW_GREY = 0.8;
constexpr double SHAPE_SHADOW_OFFSET = 2.0;

// Adds a square of sidePx device pixels centred on (x, y), edges on pixel centres.
void gfx_marker_square_path(cairo_t* cr, double x, double y, double sidePx);

// Outline polygon of the vertex nodes: drop shadow (when enabled), body in the
// fill colour (when enabled) and outline in the border colour, at least one
// device pixel wide. With closeOnFirstCorner the outline ends on vertex node 0,
// otherwise half an outline width above it.
void shape_draw_outline_polygon(cairo_t* cr, Shape* shape, bool closeOnFirstCorner);
// The caption, always in black, centred in the box.
void shape_draw_caption(cairo_t* cr, Shape* shape, double x1, double y1, double x2, double y2);
// "x : y" of vertex node 0 with two decimals at (x, y), when the shape shows its position.
void shape_draw_position_print(cairo_t* cr, Shape* shape, double x, double y);
// Connection node markers in the connection view, resize handles in the shape view.
void shape_draw_node_markers(cairo_t* cr, Shape* shape, int viewMode);
// True for the view mode that offers resize handles.
bool shape_view_offers_handles(int viewMode);
// The connection view mode, for previews that always show connection nodes.
int shape_connection_view_mode();
// Red hover frame, 2 device pixels, around the border outline grown by 1.
void shape_draw_hover_frame(cairo_t* cr, Shape* shape);
// Hover square of a single node: filled in (r, g, b), outlined in black.
void shape_draw_node_square(cairo_t* cr, Node* node, double sidePx, double r, double g, double b);
