#include "ShapeRectangle.h"

#include "ShapeDrawing.h"
#include "gfx.h"
#include <cmath>

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
    insetSideConnectionNodes();
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

// Rounded corners of radius height / mCurve, with the drop shadow.
void ShapeRectangle::drawRounded(cairo_t* cr)
{
    if (mShapeNodes.size() < 4 || mCurve <= 0)
        return;
    const double x = mShapeNodes[0]->mX;
    const double y = mShapeNodes[0]->mY;
    const double w = mShapeNodes[1]->mX - x;
    const double h = mShapeNodes[3]->mY - y;
    const double r = h / mCurve;
    const double deg = M_PI / 180.0;
    auto roundedPath = [&](double ox, double oy) {
        gfx_new_sub_path(cr);
        gfx_arc(cr, ox + w - r, oy + r, r, -90 * deg, 0 * deg);
        gfx_arc(cr, ox + w - r, oy + h - r, r, 0 * deg, 90 * deg);
        gfx_arc(cr, ox + r, oy + h - r, r, 90 * deg, 180 * deg);
        gfx_arc(cr, ox + r, oy + r, r, 180 * deg, 270 * deg);
        gfx_close_path(cr);
    };
    // The outline width is set before the shadow too, so the shadow does not
    // depend on what was drawn before this shape.
    gfx_set_line_width_min_px(cr, mBorderWidth, 1);
    if (global_draw_shadow) {
        roundedPath(x + SHAPE_SHADOW_OFFSET, y + SHAPE_SHADOW_OFFSET);
        gfx_set_source_rgb(cr, SHAPE_SHADOW_GREY, SHAPE_SHADOW_GREY, SHAPE_SHADOW_GREY);
        if (global_draw_body)
            gfx_fill_preserve(cr);
        gfx_stroke(cr);
    }
    roundedPath(x, y);
    gfx_set_source_rgb(cr, mFillRed, mFillGreen, mFillBlue);
    if (global_draw_body)
        gfx_fill_preserve(cr);
    gfx_set_source_rgb(cr, mBorderRed, mBorderGreen, mBorderBlue);
    gfx_stroke(cr);

    shape_draw_caption(cr, this, x, y, mShapeNodes[2]->mX, mShapeNodes[2]->mY);
    if (!mBorderNodes.empty())
        shape_draw_position_print(cr, this, mBorderNodes[0]->mX - 10, mBorderNodes[0]->mY - 10);
}
