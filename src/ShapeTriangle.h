// ShapeTriangle: a free triangle; all three vertices are resize handles.
#pragma once

#include "Shape.h"

class ShapeTriangle : public Shape {
public:
    ShapeTriangle(double x1, double y1, double x2, double y2, double x3, double y3);
    virtual ~ShapeTriangle();

    void drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode) override;
    void recalcConnectionNodes() override;
    void moveNode(Node* node, double x, double y) override;
    // Scales about the first vertex.
    void scale(double sx, double sy) override;
};
