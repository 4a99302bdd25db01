#include "ShapeDiamond.h"

#include "ShapeDrawing.h"
#include "gfx.h"

#include <algorithm>

#include "corekitc.h"

ShapeDiamond::ShapeDiamond(double x1, double y1, double x2, double y2)
{
    CK_TRACE();
    addNode(x1, y1, 0);                       // top
    addNode(x2, y2, 1);                       // right
    addNode(x1, y1 + 2 * (y2 - y1), 2);       // bottom
    addNode(x1 - (x2 - x1), y2, 3);           // left
    for (int k = 0; k < 4; ++k)
        addConnectionNode(k, k, 0.0);
    recalcConnectionNodes();
}

ShapeDiamond::~ShapeDiamond() { CK_TRACE(); }

double ShapeDiamond::getWidth() { return mShapeNodes[1]->mX - mShapeNodes[3]->mX; }

double ShapeDiamond::getHeight() { return mShapeNodes[2]->mY - mShapeNodes[0]->mY; }

void ShapeDiamond::setWidth(double width)
{
    const double x0 = mShapeNodes[0]->mX;
    mShapeNodes[1]->mX = x0 + width / 2;
    mShapeNodes[2]->mX = x0;
    mShapeNodes[3]->mX = x0 - width / 2;
}

void ShapeDiamond::setHeight(double height)
{
    const double y0 = mShapeNodes[0]->mY;
    mShapeNodes[1]->mY = y0 + height / 2;
    mShapeNodes[2]->mY = y0 + height;
    mShapeNodes[3]->mY = y0 + height / 2;
}

// Outline polygon closed on the top vertex; the caption fills the middle half
// of the diamond.
void ShapeDiamond::draw(cairo_t* cr)
{
    if (mShapeNodes.size() < 4)
        return;
    shape_draw_outline_polygon(cr, this, true);
    const double left = mShapeNodes[3]->mX, right = mShapeNodes[1]->mX;
    const double top = mShapeNodes[0]->mY, bottom = mShapeNodes[2]->mY;
    const double mx = (left + right) / 2, my = (top + bottom) / 2;
    const double qw = (right - left) / 4, qh = (bottom - top) / 4;
    shape_draw_caption(cr, this, mx - qw, my - qh, mx + qw, my + qh);
    shape_draw_position_print(cr, this, mShapeNodes[0]->mX - 10, mShapeNodes[0]->mY - 10);
}

std::vector<ShapeNode*> ShapeDiamond::getResizeNodes() { return {mShapeNodes[1], mShapeNodes[2]}; }

void ShapeDiamond::recalcConnectionNodes()
{
    Shape::recalcConnectionNodes();
    insetSideConnectionNodes();
}

void ShapeDiamond::recalcBorderNodes()
{
    const double w = getWidth(), h = getHeight();
    const double x0 = mShapeNodes[0]->mX, y0 = mShapeNodes[0]->mY;
    const double corners[4][2] = {{x0 - w / 2 - 10, y0 - 10},
                                  {x0 + w / 2 + 10, y0 - 10},
                                  {x0 + w / 2 + 10, y0 + h + 10},
                                  {x0 - w / 2 - 10, y0 + h + 10}};
    while (mBorderNodes.size() < 4)
        mBorderNodes.push_back(new ShapeNode(this, 0, 0, -1));
    for (int i = 0; i < 4; ++i) {
        mBorderNodes[i]->mX = corners[i][0];
        mBorderNodes[i]->mY = corners[i][1];
    }
}

void ShapeDiamond::moveNode(Node* node, double x, double y)
{
    // The handles change the size symmetrically about the centre.
    if (std::find(mShapeNodes.begin(), mShapeNodes.end(), node) == mShapeNodes.end())
        return;
    if (node->mId == 2) {
        const double d = mShapeNodes[2]->mY - y;
        node->mY = y;
        mShapeNodes[0]->mY += d;
    } else if (node->mId == 1) {
        const double d = mShapeNodes[1]->mX - x;
        node->mX = x;
        mShapeNodes[3]->mX += d;
    }
}
