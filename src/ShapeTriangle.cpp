#include "ShapeTriangle.h"

#include "ShapeDrawing.h"
#include "gfx.h"

#include <algorithm>

#include "corekitc.h"

ShapeTriangle::ShapeTriangle(double x1, double y1, double x2, double y2, double x3, double y3)
{
    CK_TRACE();
    addNode(x1, y1, 0);
    addNode(x2, y2, 1);
    addNode(x3, y3, 2);
    for (int k = 0; k < 3; ++k)
        addConnectionNode(k, k, 50.0);
    recalcConnectionNodes();
}

ShapeTriangle::~ShapeTriangle() { CK_TRACE(); }

// The hover preview of the base.
void ShapeTriangle::drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode)
{
    Shape::drawSelectionPreview(cr, cursorX, cursorY, viewMode);
}

void ShapeTriangle::recalcConnectionNodes() { Shape::recalcConnectionNodes(); }

void ShapeTriangle::moveNode(Node* node, double x, double y)
{
    // Any vertex, without limits; nodes of other shapes are not touched.
    if (std::find(mShapeNodes.begin(), mShapeNodes.end(), node) == mShapeNodes.end())
        return;
    node->mX = x;
    node->mY = y;
}

void ShapeTriangle::scale(double sx, double sy)
{
    if (mShapeNodes.empty())
        return;
    const double x0 = mShapeNodes[0]->mX, y0 = mShapeNodes[0]->mY;
    for (ShapeNode* node : mShapeNodes) {
        node->mX *= sx;
        node->mY *= sy;
    }
    recalcConnectionNodes();
    setPosition(x0, y0);
    // setPosition leaves the border outline behind; rebuild it where the
    // triangle now is.
    recalcBorderNodes();
}
