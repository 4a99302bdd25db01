#include "ShapeNode.h"

#include "ShapeDrawing.h"
#include "gfx.h"

#include "Shape.h"

ShapeNode::ShapeNode(Shape* parent, double x, double y, int id) : Node(parent, x, y, id) {}

// The parent shape's preview, then a red 14-pixel square on the handle.
void ShapeNode::drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode)
{
    if (mParentShape)
        mParentShape->drawSelectionPreview(cr, cursorX, cursorY, viewMode);
    shape_draw_node_square(cr, this, 14, 1, 0, 0);
}
