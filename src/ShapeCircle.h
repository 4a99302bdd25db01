// ShapeCircle: a circle given by the top-left corner of its bounding square
// (its only vertex node) and its radius. Connections attach at the centre.
#pragma once

#include "Shape.h"

class ShapeCircle : public Shape {
public:
    // Last position passed to moveNode; the radius follows the drag direction.
    double mScaleHelperX, mScaleHelperY;
    double mRadius;

    ShapeCircle(double x, double y, double radius);
    virtual ~ShapeCircle();

    void drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode) override;
    // A circle has no width or height of its own: the setters do nothing and
    // the getters return 0.
    void setWidth(double width) override;
    void setHeight(double height) override;
    double getWidth() override;
    double getHeight() override;
    int hitTest(double x, double y) override;
    void draw(cairo_t* cr) override;
    std::string serialize() override;
    void recalcConnectionNodes() override;
    // The bounding square grown by 10.
    void recalcBorderNodes() override;
    // Grows or shrinks the radius by 5 per direction of the drag; at least 10.
    void moveNode(Node* node, double x, double y) override;
};
