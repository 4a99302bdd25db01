#include "ShapeCircle.h"

#include "ShapeDrawing.h"
#include "gfx.h"
#include <cmath>

#include <cmath>

#include "corekit.h"

ShapeCircle::ShapeCircle(double x, double y, double radius)
    : mScaleHelperX(x), mScaleHelperY(y), mRadius(radius)
{
    CK_TRACE();
    addNode(x, y, 0);
    addConnectionNode(x, y, 0);
    recalcConnectionNodes();
}

ShapeCircle::~ShapeCircle() { CK_TRACE(); }

// A red ring 2 world units wide, 2 units outside the circle, then the node
// markers or handles by view mode.
void ShapeCircle::drawSelectionPreview(cairo_t* cr, int, int, int viewMode)
{
    if (!mShapeNodes.empty()) {
        const double cx = mShapeNodes[0]->mX + mRadius, cy = mShapeNodes[0]->mY + mRadius;
        gfx_set_line_width(cr, 2.0);
        gfx_new_sub_path(cr);
        gfx_arc(cr, cx, cy, mRadius + 2, 0, 2 * M_PI);
        gfx_set_source_rgb(cr, 1, 0, 0);
        gfx_stroke(cr);
    }
    shape_draw_node_markers(cr, this, viewMode);
}

// The circle without shadow; the caption in the square inscribed in it.
void ShapeCircle::draw(cairo_t* cr)
{
    if (mShapeNodes.empty())
        return;
    const double x = mShapeNodes[0]->mX, y = mShapeNodes[0]->mY, r = mRadius;
    gfx_set_line_width_min_px(cr, mBorderWidth, 1);
    gfx_move_to(cr, x + 2 * r, y + r);
    gfx_set_source_rgb(cr, mFillRed, mFillGreen, mFillBlue);
    gfx_arc(cr, x + r, y + r, r, 0, 2 * M_PI);
    if (global_draw_body)
        gfx_fill_preserve(cr);
    gfx_set_source_rgb(cr, mBorderRed, mBorderGreen, mBorderBlue);
    gfx_stroke(cr);
    const double h = r / std::sqrt(2.0);
    shape_draw_caption(cr, this, x + r - h, y + r - h, x + r + h, y + r + h);
}

void ShapeCircle::setWidth(double) {}
void ShapeCircle::setHeight(double) {}
double ShapeCircle::getWidth() { return 0; }
double ShapeCircle::getHeight() { return 0; }

int ShapeCircle::hitTest(double x, double y)
{
    const double cx = mShapeNodes[0]->mX + mRadius;
    const double cy = mShapeNodes[0]->mY + mRadius;
    // Distances in whole units, as the hit test has always measured them.
    const double dx = std::trunc(x - cx);
    const double dy = std::trunc(y - cy);
    return mRadius * mRadius >= dx * dx + dy * dy ? 1 : 0;
}

std::string ShapeCircle::serialize()
{
    return Shape::serialize() + "Radius: " + corekit::ToString(mRadius, 0) + "\n";
}

void ShapeCircle::recalcConnectionNodes()
{
    Shape::recalcConnectionNodes();
    if (!mConnectionNodes.empty()) {
        mConnectionNodes[0]->mX = mShapeNodes[0]->mX + mRadius;
        mConnectionNodes[0]->mY = mShapeNodes[0]->mY + mRadius;
    }
    recalcBorderNodes();
}

void ShapeCircle::recalcBorderNodes()
{
    for (ShapeNode* node : mBorderNodes)
        delete node;
    mBorderNodes.clear();
    const double x = mShapeNodes[0]->mX, y = mShapeNodes[0]->mY, d = 2 * mRadius;
    mBorderNodes.push_back(new ShapeNode(this, x - 10, y - 10, -1));
    mBorderNodes.push_back(new ShapeNode(this, x + d + 10, y - 10, -1));
    mBorderNodes.push_back(new ShapeNode(this, x + d + 10, y + d + 10, -1));
    mBorderNodes.push_back(new ShapeNode(this, x - 10, y + d + 10, -1));
}

void ShapeCircle::moveNode(Node*, double x, double y)
{
    // The radius follows the direction of the drag, 5 units per axis and
    // move event; the handle itself stays where it is.
    if (x > mScaleHelperX)
        mRadius += 5;
    if (x < mScaleHelperX)
        mRadius -= 5;
    if (y > mScaleHelperY)
        mRadius += 5;
    if (y < mScaleHelperY)
        mRadius -= 5;
    mScaleHelperX = x;
    mScaleHelperY = y;
    if (mRadius < 10)
        mRadius = 10;
}
