// ShapeDiamond: a rhombus given by its top vertex and its right vertex; the
// right and bottom vertices are resize handles that change the size
// symmetrically about the centre.
#pragma once

#include "Shape.h"

class ShapeDiamond : public Shape {
public:
    // Vertices top (x1, y1), right (x2, y2), bottom (x1, y1 + 2(y2 - y1)),
    // left (x1 - (x2 - x1), y2); connection nodes on the vertices.
    ShapeDiamond(double x1, double y1, double x2, double y2);
    virtual ~ShapeDiamond();

    void setWidth(double width) override;
    void setHeight(double height) override;
    double getWidth() override;
    double getHeight() override;
    void draw(cairo_t* cr) override;
    std::vector<ShapeNode*> getResizeNodes() override;
    void recalcConnectionNodes() override;
    // The bounding box grown by 10.
    void recalcBorderNodes() override;
    void moveNode(Node* node, double x, double y) override;
};
