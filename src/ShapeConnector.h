// ShapeConnector: the "link", a small 40 x 40 square through which
// connections are chained into paths with corners. Connections attach at its
// centre and get no arrow head there.
#pragma once

#include "Shape.h"

class ShapeConnector : public Shape {
public:
    // The square of side 40 centred on (x, y).
    ShapeConnector(double x, double y);
    virtual ~ShapeConnector();

    void drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode) override;
    void draw(cairo_t* cr) override;
    // A connector shows no selection mark.
    void drawSelection(cairo_t* cr, int viewMode) override;
    // The connection node sits at the centre.
    void recalcConnectionNodes() override;
};
