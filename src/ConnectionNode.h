// ConnectionNode: a point on a shape's outline where connections attach,
// described by the outline edge it lies on and its position along that edge.
// Owned by its shape; connections only refer to it.
#pragma once

#include "Node.h"

class ConnectionNode final : public Node {
public:
    // Outline edge: edge i runs from vertex node i to vertex node (i+1) mod n.
    int mEdge;
    // Position along the edge in percent of its length (0 = vertex i,
    // 100 = vertex i+1).
    double mPercent;

    // At (x, y), on edge 0 at 50 percent.
    ConnectionNode(Shape* parent, double x, double y, int id);
    // On `edge` at `percent`, at (0, 0) until the shape places it with its
    // next connection-node recalculation.
    ConnectionNode(Shape* parent, int edge, int id, double percent);

    // Hover preview of a connection point: the parent shape's preview in
    // connection view, then a marker square on the node.
    void drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode) override;
};
