#include "ShapePolygon.h"

#include "ShapeDrawing.h"
#include "gfx.h"
#include "CaptionLayout.h"

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

// The hover preview of the base.
void ShapePolygon::drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode)
{
    Shape::drawSelectionPreview(cr, cursorX, cursorY, viewMode);
}

// Outline polygon with shadow; the caption is plain text at the leftmost
// corner, shown only when it is not longer than that corner's next edge
// (otherwise reported on standard error).
void ShapePolygon::draw(cairo_t* cr)
{
    if (mShapeNodes.empty())
        return;
    shape_draw_outline_polygon(cr, this, false);
    CK_INFO("Testing");
    gfx_set_source_rgb(cr, 0, 0, 0);
    CaptionPoints points;
    for (ShapeNode* node : mShapeNodes)
        points.emplace_back(node->mX, node->mY);
    // The text layout is kept in the caption cache between frames.
    mCaptionLayout.drawAlongLeftmostEdge(cr, mCaption ? mCaption : "", points);
    if (!mBorderNodes.empty())
        shape_draw_position_print(cr, this, mBorderNodes[0]->mX - 10, mBorderNodes[0]->mY - 10);
}

void ShapePolygon::recalcConnectionNodes() { Shape::recalcConnectionNodes(); }

void ShapePolygon::moveNode(Node* node, double x, double y)
{
    // Any corner, without limits; nodes of other shapes are not touched.
    if (std::find(mShapeNodes.begin(), mShapeNodes.end(), node) == mShapeNodes.end())
        return;
    node->mX = x;
    node->mY = y;
}
