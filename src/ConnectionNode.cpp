#include "ConnectionNode.h"

#include "ShapeDrawing.h"
#include "gfx.h"

#include "Shape.h"

ConnectionNode::ConnectionNode(Shape* parent, double x, double y, int id)
    : Node(parent, x, y, id), mEdge(0), mPercent(50)
{
}

ConnectionNode::ConnectionNode(Shape* parent, int edge, int id, double percent)
    : Node(parent, 0, 0, id), mEdge(edge), mPercent(percent)
{
}

// The parent shape's preview in the connection view, then a pink 12-pixel
// square on the node.
void ConnectionNode::drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int)
{
    if (mParentShape)
        mParentShape->drawSelectionPreview(cr, cursorX, cursorY, shape_connection_view_mode());
    shape_draw_node_square(cr, this, 12, 1, 0.5, 0.5);
}
