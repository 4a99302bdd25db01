// ShapeNode: a vertex of a shape's outline (the shape's vertex list) or of its
// enlarged border outline (the border list). Owned by its shape.
#pragma once

#include "Node.h"

class ShapeNode final : public Node {
public:
    ShapeNode(Shape* parent, double x, double y, int id);

    // Hover preview of a resize handle: the parent shape's preview, then a
    // marker square on the node.
    void drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode) override;
};
