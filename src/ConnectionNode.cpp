#include "ConnectionNode.h"

#include "Shape.h"

ConnectionNode::ConnectionNode(Shape* parent, double x, double y, int id)
    : Node(parent, x, y, id), mEdge(0), mPercent(50)
{
}

ConnectionNode::ConnectionNode(Shape* parent, int edge, int id, double percent)
    : Node(parent, 0, 0, id), mEdge(edge), mPercent(percent)
{
}

// Drawing of the node preview is added by the rendering module.
void ConnectionNode::drawSelectionPreview(cairo_t*, int, int, int) {}
