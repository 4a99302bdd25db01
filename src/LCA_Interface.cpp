// The editor's drag actions. Each one is created by a left-button press on
// the panel, receives the mouse motions in world units and commits in its
// destructor, which the panel runs on the release.
#include "LCA_Interface.h"

#include <cmath>

#include "Arrow.h"
#include "Connection.h"
#include "ConnectionNode.h"
#include "Map.h"
#include "Settings.h"
#include "Shape.h"
#include "ShapeNode.h"
#include "VelmarisPanel.h"
#include "corekitc.h"
#include "gfx.h"
#include "global.h"

// ---------------------------------------------------------------------------

LCA_Interface::LCA_Interface() : mVelmarisPanel(nullptr) {}

LCA_Interface::LCA_Interface(VelmarisPanel* panel) : mVelmarisPanel(panel) {}

LCA_Interface::~LCA_Interface() {}

void LCA_Interface::call(double&, double&) {}

void LCA_Interface::draw(cairo_t*) {}

void LCA_DrawDragArrow(cairo_t* cr, double fromX, double fromY, double tipX, double tipY) {
    if (myDistance((int)fromX, (int)fromY, (int)tipX, (int)tipY) <= 10) return;

    // The head's back is aimed along the shaft: take the point a little more
    // than 10 units before the tip on the line towards the start.
    double bx = fromX, by = fromY;
    myBresenhamLineLength(tipX, tipY, fromX, fromY, 10, bx, by);
    double x1, y1, x2, y2;
    CalcArrowVertexes(bx, by, tipX, tipY, &x1, &y1, &x2, &y2);

    gfx_save(cr);
    gfx_set_source_rgb(cr, 0, 0, 0);
    gfx_set_line_width(cr, 1.0);
    gfx_move_to(cr, tipX, tipY);
    gfx_line_to(cr, x1, y1);
    gfx_line_to(cr, x2, y2);
    gfx_close_path(cr);
    gfx_fill(cr);
    gfx_move_to(cr, fromX, fromY);
    gfx_line_to(cr, tipX, tipY);
    gfx_stroke(cr);
    gfx_restore(cr);
}

// --- rubber band ------------------------------------------------------------

LCA_Empty_Drag::LCA_Empty_Drag(VelmarisPanel* panel) : LCA_Interface(panel) {}

LCA_Empty_Drag::~LCA_Empty_Drag() {
    CK_INFO("%s", "");
    if (mVelmarisPanel) mVelmarisPanel->LCA_SelectRectangle();
}

void LCA_Empty_Drag::call(double& x, double& y) {
    if (mVelmarisPanel) mVelmarisPanel->LCA_EmptyDrag(x, y);
}

// --- moving the selection ---------------------------------------------------

LCA_Move_Shape::LCA_Move_Shape(VelmarisPanel* panel) : LCA_Interface(panel) {
    if (!mVelmarisPanel || !mVelmarisPanel->mMap) return;
    for (Shape* s : mVelmarisPanel->mMap->mSelectedShapes)
        if (s->mShowPosition == 0) s->mShowPosition = 2;
}

LCA_Move_Shape::~LCA_Move_Shape() {
    if (!mVelmarisPanel || !mVelmarisPanel->mMap) return;
    for (Shape* s : mVelmarisPanel->mMap->mSelectedShapes)
        if (s->mShowPosition == 2) s->mShowPosition = 0;
}

void LCA_Move_Shape::call(double& x, double& y) {
    if (mVelmarisPanel) mVelmarisPanel->LCA_MoveShape(x, y);
}

// --- resize handle ----------------------------------------------------------

LCA_Move_Shape_Node::LCA_Move_Shape_Node(VelmarisPanel* panel, ShapeNode* node)
    : LCA_Interface(panel), mDestShapeNode(node) {}

LCA_Move_Shape_Node::~LCA_Move_Shape_Node() {}

void LCA_Move_Shape_Node::call(double& x, double& y) {
    if (!mVelmarisPanel || !mDestShapeNode || !mDestShapeNode->mParentShape) return;
    int rx = GlobalSettings ? GlobalSettings->mRasterX : 10;
    int ry = GlobalSettings ? GlobalSettings->mRasterY : 10;
    double nx = VelmarisPanel::snapToGrid(x - mVelmarisPanel->mDragXDiff, rx);
    double ny = VelmarisPanel::snapToGrid(y - mVelmarisPanel->mDragYDiff, ry);
    Shape* shape = mDestShapeNode->mParentShape;
    shape->moveNode(mDestShapeNode, nx, ny);
    shape->recalcConnectionNodes();
    if (mVelmarisPanel->mMap) mVelmarisPanel->mMap->recalcConnectionsOfShape(shape);
    mVelmarisPanel->LCA_MoveShapeNode(x, y);
}

// --- new connection ---------------------------------------------------------

LCA_Move_Connection_Node::LCA_Move_Connection_Node(VelmarisPanel* panel, ConnectionNode* source)
    : LCA_Interface(panel), mSourceConnectionNode(source), last_x(0), last_y(0) {
    if (mVelmarisPanel) mVelmarisPanel->mIsDragging = true;
    if (source) {
        last_x = source->mX;
        last_y = source->mY;
    }
}

LCA_Move_Connection_Node::~LCA_Move_Connection_Node() {
    CK_INFO("[LCA] Destroying Move_Connection_Node");
    if (!mVelmarisPanel) return;
    mVelmarisPanel->mIsDragging = false;
    Map* map = mVelmarisPanel->mMap;
    if (!map || !mSourceConnectionNode) return;

    Shape* target = map->hitBorderTest(last_x, last_y);
    if (!target) return;
    Shape* source = mSourceConnectionNode->mParentShape;
    if (target == source) {
        CK_INFO("Source and destination of the connection is the same shape");
        return;
    }
    ConnectionNode* targetNode = target->getConnectionNodeNearPosition(last_x, last_y);
    if (!targetNode || !source) return;
    map->addConnection(source, (int)mSourceConnectionNode->getId(), target,
                       (int)targetNode->getId());
}

void LCA_Move_Connection_Node::call(double& x, double& y) {
    CK_INFO("[LCA] calling Move_Connection_Node");
    last_x = x;
    last_y = y;
    if (mVelmarisPanel) mVelmarisPanel->LCA_MoveConnectionNode(x, y);
}

void LCA_Move_Connection_Node::draw(cairo_t* cr) {
    CK_INFO("[LCA] Drawing Move_Connection_Node");
    ConnectionNode* from = nullptr;
    if (mVelmarisPanel && mVelmarisPanel->mMap) from = mVelmarisPanel->mMap->mSelectedConnectionNode;
    if (!from) from = mSourceConnectionNode;
    if (!from) return;
    LCA_DrawDragArrow(cr, from->mX, from->mY, last_x, last_y);
}

// --- re-attaching a connection end ------------------------------------------

LCA_Move_Connection_Arrow::LCA_Move_Connection_Arrow(VelmarisPanel* panel, Connection* connection,
                                                     int end, double x, double y)
    : LCA_Interface(panel),
      mConnection(connection),
      mBaseNode(nullptr),
      mNewConnectionNode(end == 1 ? 1 : 0),
      last_x(x),
      last_y(y) {
    CK_INFO("[LCA] Creating Move_Connection_Arrow");
    if (mConnection && mConnection->mConnectionNodes.size() >= 2)
        mBaseNode = mConnection->mConnectionNodes[mNewConnectionNode == 1 ? 0 : 1];
    if (mVelmarisPanel) mVelmarisPanel->mIsDragging = true;
}

LCA_Move_Connection_Arrow::~LCA_Move_Connection_Arrow() {
    CK_INFO("lca: ");
    if (!mVelmarisPanel) return;
    mVelmarisPanel->mIsDragging = false;
    Map* map = mVelmarisPanel->mMap;
    if (!map || !mConnection || mConnection->mConnectionNodes.size() < 2) return;

    int x = (int)last_x, y = (int)last_y;
    ObjectType type = OBJECT_TYPE_SHAPE;
    Object* hit = mVelmarisPanel->getObjectUnderCursor(x, y, &type);
    ConnectionNode* target = nullptr;
    if (hit && type == OBJECT_TYPE_CONNECTION_NODE) {
        target = dynamic_cast<ConnectionNode*>(hit);
    } else if (hit && type == OBJECT_TYPE_CONNECTION) {
        // A connection already attached at the node under the mouse wins the
        // hit test over the node itself; the end still goes onto the node.
        if (Shape* shape = map->hitBorderTest(x, y)) target = shape->getConnectionNodeNearPosition(x, y);
    }
    if (!target) return;

    ConnectionNode*& end = mConnection->mConnectionNodes[mNewConnectionNode];
    // Dropping the end onto the node of the other end would leave a line of
    // length zero: the connection stays as it was.
    if (end == target || target == mBaseNode) return;
    // The end count moves with the end, so a connector shows its unattached
    // mark correctly on both shapes.
    if (end && end->mParentShape) end->mParentShape->mConnectionCount--;
    if (target->mParentShape) target->mParentShape->mConnectionCount++;
    end = target;
    mConnection->recalcPositions();
    map->setModified(true);
}

void LCA_Move_Connection_Arrow::call(double& x, double& y) {
    CK_INFO("[LCA] Calling arrow");
    last_x = x;
    last_y = y;
    if (mVelmarisPanel) mVelmarisPanel->LCA_MoveConnectionArrow(x, y);
}

void LCA_Move_Connection_Arrow::draw(cairo_t* cr) {
    CK_INFO("[LCA] Drawing arrow");
    if (!mBaseNode) return;
    LCA_DrawDragArrow(cr, mBaseNode->mX, mBaseNode->mY, last_x, last_y);
}
