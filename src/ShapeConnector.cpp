#include "ShapeConnector.h"

#include "corekitc.h"

ShapeConnector::ShapeConnector(double x, double y)
{
    CK_TRACE();
    addNode(x - 20, y - 20, 0);
    addNode(x + 20, y - 20, 1);
    addNode(x + 20, y + 20, 2);
    addNode(x - 20, y + 20, 3);
    addConnectionNode(x, y, 0);
    recalcConnectionNodes();
}

ShapeConnector::~ShapeConnector() { CK_TRACE(); }

// Drawing is added by the rendering module.
void ShapeConnector::drawSelectionPreview(cairo_t*, int, int, int) {}
void ShapeConnector::draw(cairo_t*) {}

// A connector shows no selection mark.
void ShapeConnector::drawSelection(cairo_t*, int) {}

void ShapeConnector::recalcConnectionNodes()
{
    Shape::recalcConnectionNodes();
    if (!mConnectionNodes.empty()) {
        mConnectionNodes[0]->mX = mShapeNodes[0]->mX + 20;
        mConnectionNodes[0]->mY = mShapeNodes[0]->mY + 20;
    }
}
