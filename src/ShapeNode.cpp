#include "ShapeNode.h"

#include "Shape.h"

ShapeNode::ShapeNode(Shape* parent, double x, double y, int id) : Node(parent, x, y, id) {}

// Drawing of the node preview is added by the rendering module.
void ShapeNode::drawSelectionPreview(cairo_t*, int, int, int) {}
