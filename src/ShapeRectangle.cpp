#include "ShapeRectangle.h"

#include <cmath>

#include "corekitc.h"

ShapeRectangle::ShapeRectangle(double x1, double y1, double x2, double y2, double curve)
    : mCurve(0), realDraw(&ShapeRectangle::drawRectangle)
{
    CK_TRACE();
    addNode(x1, y1, 0);
    addNode(x2, y1, 1);
    addNode(x2, y2, 2);
    addNode(x1, y2, 3);
    for (int k = 0; k < 4; ++k)
        addConnectionNode(k, k, 50.0);
    setCurve(curve);
    recalcConnectionNodes();
}

ShapeRectangle::~ShapeRectangle() { CK_TRACE(); }

ShapeNode* ShapeRectangle::getShapeNodeNearPosition(double x, double y)
{
    if (mShapeNodes.size() < 3)
        return nullptr;
    ShapeNode* corner = mShapeNodes[2];
    if (std::fabs(corner->mX - x) < 5 && std::fabs(corner->mY - y) < 5)
        return corner;
    return nullptr;
}

void ShapeRectangle::draw(cairo_t* cr) { (this->*realDraw)(cr); }

std::vector<ShapeNode*> ShapeRectangle::getResizeNodes()
{
    if (mShapeNodes.size() < 3)
        return {};
    return {mShapeNodes[2]};
}

void ShapeRectangle::recalcConnectionNodes()
{
    Shape::recalcConnectionNodes();
    // One unit into the shape, so that the line walk of a connection starts
    // inside the outline.
    if (mConnectionNodes.size() < 4)
        return;
    mConnectionNodes[0]->mY += 1;
    mConnectionNodes[1]->mX -= 1;
    mConnectionNodes[2]->mY -= 1;
    mConnectionNodes[3]->mX += 1;
}

void ShapeRectangle::moveNode(Node* node, double x, double y)
{
    if (mShapeNodes.size() < 4 || node != mShapeNodes[2])
        return;
    // Minimum size 20 x 20.
    if (x < mShapeNodes[0]->mX + 20 || y < mShapeNodes[0]->mY + 20)
        return;
    mShapeNodes[2]->mX = x;
    mShapeNodes[2]->mY = y;
    mShapeNodes[1]->mX = x;
    mShapeNodes[3]->mY = y;
}

void ShapeRectangle::setCurve(double curve)
{
    mCurve = curve;
    if (curve > 0) {
        if (mCurve < 2)
            mCurve = 2;
        realDraw = &ShapeRectangle::drawRounded;
    } else {
        realDraw = &ShapeRectangle::drawRectangle;
    }
}

// Sharp corners: the outline polygon of the base.
void ShapeRectangle::drawRectangle(cairo_t* cr) { Shape::draw(cr); }

// Drawing of rounded corners is added by the rendering module.
void ShapeRectangle::drawRounded(cairo_t*) {}
