// Node: a point in world coordinates that belongs to a shape. Its id is its
// index in the shape's node list (or -1 for border nodes and probe nodes),
// never a map id. Owned by its shape.
#pragma once

#include <string>

#include "Object.h"

class Shape;

class Node : public Object {
public:
    double mX;
    double mY;
    // Owning shape; null only for a temporary probe node.
    Shape* mParentShape;

    Node(Shape* parent, double x, double y, int id);

    // One-line text dump "Node: <type> <id> <x> <y>\n" for diagnostics.
    std::string serialize();
};
