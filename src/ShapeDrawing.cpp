// Drawing steps shared by the shape kinds; see ShapeDrawing.h.
#include "ShapeDrawing.h"

#include "Shape.h"
#include "VelmarisPanel.h"
#include "gfx.h"

#include <algorithm>
#include <cstdio>

void gfx_marker_square_path(cairo_t* cr, double x, double y, double sidePx)
{
  const double half = user_width_for_device_px(cr, sidePx / 2);
  gfx_pixel_rect_path(cr, x - half, y - half, 2 * half, 2 * half);
}

void shape_draw_outline_polygon(cairo_t* cr, Shape* shape, bool closeOnFirstCorner)
{
  if (shape->mShapeNodes.empty())
    return;
  const ShapeNode* first = shape->mShapeNodes[0];
  gfx_set_line_width_min_px(cr, shape->mBorderWidth, 1);
  gfx_move_to(cr, first->mX + SHAPE_SHADOW_OFFSET, first->mY + SHAPE_SHADOW_OFFSET);
  if (global_draw_shadow) {
    gfx_set_source_rgb(cr, SHAPE_SHADOW_GREY, SHAPE_SHADOW_GREY, SHAPE_SHADOW_GREY);
    for (const ShapeNode* node : shape->mShapeNodes)
      gfx_line_to(cr, node->mX + SHAPE_SHADOW_OFFSET, node->mY + SHAPE_SHADOW_OFFSET);
    if (global_draw_body)
      gfx_fill_preserve(cr);
    gfx_stroke(cr);
  }
  gfx_set_source_rgb(cr, shape->mFillRed, shape->mFillGreen, shape->mFillBlue);
  gfx_move_to(cr, first->mX, first->mY);
  for (const ShapeNode* node : shape->mShapeNodes)
    gfx_line_to(cr, node->mX, node->mY);
  // The outline is left open; its last short segment runs up into the
  // first corner (or onto it), so that corner needs no join.
  if (closeOnFirstCorner)
    gfx_line_to(cr, first->mX, first->mY);
  else
    gfx_line_to(cr, first->mX, first->mY - shape->mHalfBorderWidth);
  if (global_draw_body)
    gfx_fill_preserve(cr);
  gfx_set_source_rgb(cr, shape->mBorderRed, shape->mBorderGreen, shape->mBorderBlue);
  gfx_stroke(cr);
}

void shape_draw_caption(cairo_t* cr, Shape* shape, double x1, double y1, double x2, double y2)
{
  // Shape captions are black whatever the font colour; only the connector's
  // plain text uses the font colour.
  gfx_set_source_rgb(cr, 0, 0, 0);
  shape->mCaptionLayout.drawCentered(cr, shape->mCaption ? shape->mCaption : "", x1, y1, x2, y2);
}

void shape_draw_position_print(cairo_t* cr, Shape* shape, double x, double y)
{
  if (shape->mShowPosition < 1 || shape->mShapeNodes.empty())
    return;
  char text[64];
  std::snprintf(text, sizeof text, "%0.2lf : %0.2lf", shape->mShapeNodes[0]->mX, shape->mShapeNodes[0]->mY);
  gfx_set_source_rgb(cr, 0, 0, 0);
  gfx_move_to(cr, x, y);
  gfx_show_text(cr, text);
}

bool shape_view_offers_handles(int viewMode)
{
  return viewMode == VIEW_MODE_SHAPE;
}

int shape_connection_view_mode()
{
  return VIEW_MODE_CONNECTION;
}

void shape_draw_node_markers(cairo_t* cr, Shape* shape, int viewMode)
{
  if (viewMode == VIEW_MODE_CONNECTION)
    shape->drawConnectionNodes(cr);
  else if (viewMode == VIEW_MODE_SHAPE)
    shape->drawResizeNodes(cr);
}

void shape_draw_hover_frame(cairo_t* cr, Shape* shape)
{
  if (shape->mBorderNodes.empty())
    return;
  double x1 = shape->mBorderNodes[0]->mX, y1 = shape->mBorderNodes[0]->mY;
  double x2 = x1, y2 = y1;
  for (const ShapeNode* node : shape->mBorderNodes) {
    x1 = std::min(x1, node->mX);
    y1 = std::min(y1, node->mY);
    x2 = std::max(x2, node->mX);
    y2 = std::max(y2, node->mY);
  }
  gfx_set_line_width_px(cr, 2);
  gfx_pixel_rect_path_even(cr, x1 - 1, y1 - 1, x2 - x1 + 2, y2 - y1 + 2);
  gfx_set_source_rgb(cr, 1, 0, 0);
  gfx_stroke(cr);
}

void shape_draw_node_square(cairo_t* cr, Node* node, double sidePx, double r, double g, double b)
{
  gfx_set_line_width_px(cr, 1);
  gfx_marker_square_path(cr, node->mX, node->mY, sidePx);
  gfx_set_source_rgb(cr, r, g, b);
  gfx_fill_preserve(cr);
  gfx_set_source_rgb(cr, 0, 0, 0);
  gfx_stroke(cr);
}
