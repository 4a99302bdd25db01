#include "ShapePolygon.h"

#include <algorithm>

#include "corekitc.h"

ShapePolygon::ShapePolygon(double x1, double y1, double x2, double y2)
{
    CK_TRACE();
    addNode(x1, y1, 0);
    addNode(x2, y1, 1);
    addNode(x2, y2, 2);
    addNode(x1, y2, 3);
    for (int k = 0; k < 4; ++k)
        addConnectionNode(k, k, 50.0);
    recalcConnectionNodes();
}

ShapePolygon::~ShapePolygon() { CK_TRACE(); }

// Drawing is added by the rendering module.
void ShapePolygon::drawSelectionPreview(cairo_t*, int, int, int) {}
void ShapePolygon::draw(cairo_t*) {}

void ShapePolygon::recalcConnectionNodes() { Shape::recalcConnectionNodes(); }

void ShapePolygon::moveNode(Node* node, double x, double y)
{
    // Any corner, without limits; nodes of other shapes are not touched.
    if (std::find(mShapeNodes.begin(), mShapeNodes.end(), node) == mShapeNodes.end())
        return;
    node->mX = x;
    node->mY = y;
}
