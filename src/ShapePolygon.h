// ShapePolygon: four freely movable corners, starting as a rectangle. Its
// caption is written along its leftmost edge.
#pragma once

#include "Shape.h"

class ShapePolygon : public Shape {
public:
    ShapePolygon(double x1, double y1, double x2, double y2);
    virtual ~ShapePolygon();

    void drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode) override;
    void draw(cairo_t* cr) override;
    void recalcConnectionNodes() override;
    void moveNode(Node* node, double x, double y) override;
};
