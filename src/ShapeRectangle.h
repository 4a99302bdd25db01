// ShapeRectangle: an axis-aligned rectangle, optionally with rounded corners.
// Only the bottom-right corner is a resize handle; the minimum size is 20 x 20.
#pragma once

#include "Shape.h"

class ShapeRectangle : public Shape {
public:
    // Rounded-corner divisor: 0 or less gives sharp corners, otherwise the
    // corner radius is the height divided by mCurve (at least 2).
    double mCurve;
    // Drawing routine chosen by setCurve: drawRectangle or drawRounded.
    void (ShapeRectangle::*realDraw)(cairo_t* cr);

    // Corners (x1, y1), (x2, y1), (x2, y2), (x1, y2); connection nodes in the
    // middle of each side.
    ShapeRectangle(double x1, double y1, double x2, double y2, double curve);
    virtual ~ShapeRectangle();

    // Only vertex node 2, within 5 units.
    ShapeNode* getShapeNodeNearPosition(double x, double y) override;
    void draw(cairo_t* cr) override;
    std::vector<ShapeNode*> getResizeNodes() override;
    // Base placement, then each node moved 1 unit into the shape.
    void recalcConnectionNodes() override;
    void moveNode(Node* node, double x, double y) override;

    void setCurve(double curve);
    void drawRectangle(cairo_t* cr);
    void drawRounded(cairo_t* cr);
};
