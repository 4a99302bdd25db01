// Connection model: construction, routing of the two end points to the shape
// outlines, hit tests and text dumps. Drawing lives further below.
#include "Connection.h"

#include "CaptionLayout.h"
#include "ShapeDrawing.h"
#include "corekitc.h"
#include "gfx.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

#include "Arrow.h"
#include "ConnectionNode.h"
#include "Map.h"
#include "Shape.h"
#include "ShapeConnector.h"
#include "corekit.h"
#include "global.h"

namespace {

char* copyCaption(const char* text)
{
    if (text == nullptr) {
        text = "";
    }
    const size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    for (size_t i = 0; i < length; ++i) {
        if (copy[i] == '\n' || copy[i] == '\r') {
            copy[i] = ' ';
        }
    }
    return copy;
}

bool isConnector(const Shape* shape)
{
    return dynamic_cast<const ShapeConnector*>(shape) != nullptr;
}

bool validStyle(int style)
{
    return style >= 0 && style < ARROW_STYLE_COUNT;
}

}  // namespace

Connection::Connection(Shape* from, int fromIndex, Shape* to, int toIndex)
    : Object(-1),
      mCaption(copyCaption("")),
      mValid(true),
      mArrow1Style(1),
      mArrow2Style(2),
      mSelectedArrow(-1),
      mArrow1X{0, 0, 0},
      mArrow1Y{0, 0, 0},
      mArrow2X{0, 0, 0},
      mArrow2Y{0, 0, 0},
      mDrawnX1(0),
      mDrawnY1(0),
      mDrawnX2(0),
      mDrawnY2(0),
      mInvalidArrow1(false),
      mInvalidArrow2(false),
      mBorderWidth(1.0),
      mBorderRed(0),
      mBorderGreen(0),
      mBorderBlue(0),
      mTextPositionRelX(0),
      mTextPositionRelY(10),
      mTextPositionX(0),
      mTextPositionY(0)
{
    CK_TRACE();
    mConnectionNodes.push_back(from->getConnectionNode(fromIndex));
    mConnectionNodes.push_back(to->getConnectionNode(toIndex));
    from->mConnectionCount++;
    to->mConnectionCount++;
    recalcPositions();
}

Connection::~Connection()
{
    CK_TRACE();
    delete[] mCaption;
}

void Connection::setCaption(const char* caption)
{
    char* copy = copyCaption(caption);
    delete[] mCaption;
    mCaption = copy;
}

void Connection::addConnectionNode(double, double, int)
{
}

void Connection::recalcPositions()
{
    ConnectionNode* start = mConnectionNodes[0];
    ConnectionNode* end = mConnectionNodes[1];

    // Start end.
    if (isConnector(start->mParentShape)) {
        CK_INFO("Node 0 is a ShapeConnector");
        mArrow1X[0] = start->mX;
        mArrow1Y[0] = start->mY;
        mArrow1Style = 0;
        mInvalidArrow1 = false;
        ArrowsCalc0[0](mArrow1X, mArrow1Y, mConnectionNodes);
    } else {
        double x = 0;
        double y = 0;
        if (myBresenhamLine(start->mX, start->mY, end->mX, end->mY, start->mParentShape, x, y)) {
            mArrow1X[0] = x;
            mArrow1Y[0] = y;
            if (validStyle(mArrow1Style)) {
                ArrowsCalc0[mArrow1Style](mArrow1X, mArrow1Y, mConnectionNodes);
            }
            mInvalidArrow1 = false;
        } else {
            mInvalidArrow1 = true;
        }
    }

    // End end.
    if (isConnector(end->mParentShape)) {
        CK_INFO("Node 1 is a ShapeConnector");
        mArrow2X[0] = end->mX;
        mArrow2Y[0] = end->mY;
        mArrow2Style = 0;
        mInvalidArrow2 = false;
        ArrowsCalc1[0](mArrow2X, mArrow2Y, mConnectionNodes);
    } else {
        double x = 0;
        double y = 0;
        if (myBresenhamLine(end->mX, end->mY, start->mX, start->mY, end->mParentShape, x, y)) {
            mArrow2X[0] = x;
            mArrow2Y[0] = y;
            if (validStyle(mArrow2Style)) {
                ArrowsCalc1[mArrow2Style](mArrow2X, mArrow2Y, mConnectionNodes);
            }
            mInvalidArrow2 = false;
        } else {
            mInvalidArrow2 = true;
        }
    }
}

int Connection::hitTest(double x, double y, ConnectionNode** node)
{
    for (ConnectionNode* candidate : mConnectionNodes) {
        if (candidate == nullptr) {
            continue;
        }
        if (std::abs(candidate->mX - x) < 5 && std::abs(candidate->mY - y) < 5) {
            if (node != nullptr) {
                *node = candidate;
            }
            return static_cast<int>(candidate->getId());
        }
    }
    return -1;
}

ConnectionNode* Connection::getNodeNearPosition(double x, double y)
{
    for (ConnectionNode* candidate : mConnectionNodes) {
        if (candidate == nullptr) {
            continue;
        }
        if (std::abs(candidate->mX - x) < 15 && std::abs(candidate->mY - y) < 15) {
            return candidate;
        }
    }
    if (std::abs(mDrawnX1 - x) < 15 && std::abs(mDrawnY1 - y) < 15) {
        return mConnectionNodes[0];
    }
    if (std::abs(mDrawnX2 - x) < 15 && std::abs(mDrawnY2 - y) < 15) {
        return mConnectionNodes[1];
    }
    return nullptr;
}

int Connection::hitConnectionNode(double x, double y)
{
    // Distances are cut to whole units before squaring. The cut stays in
    // double precision, so far-away points cannot overflow the square.
    auto within = [x, y](double tipX, double tipY) {
        const double dx = std::trunc(x - tipX);
        const double dy = std::trunc(y - tipY);
        return dx * dx + dy * dy <= 225.0;
    };
    if (within(mArrow1X[0], mArrow1Y[0])) {
        return 0;
    }
    if (within(mArrow2X[0], mArrow2Y[0])) {
        return 1;
    }
    return -1;
}

bool NodeBetween(ConnectionNode* a, ConnectionNode* b, ConnectionNode* c)
{
    const double abX = b->mX - a->mX;
    const double abY = b->mY - a->mY;
    const double acX = c->mX - a->mX;
    const double acY = c->mY - a->mY;

    // The cross product is twice the area of the triangle a, b, c: its
    // tolerance allows a distance of 2000 / |ab| from the line.
    const double cross = abX * acY - abY * acX;
    if (std::abs(cross) > 2000) {
        return false;
    }
    const double dot = abX * acX + abY * acY;
    if (dot < 0) {
        return false;
    }
    if (dot > abX * abX + abY * abY) {
        return false;
    }
    return true;
}

bool Connection::isBetween(double x, double y)
{
    if (!mValid) {
        return false;
    }
    ConnectionNode probe(nullptr, x, y, -1);
    return NodeBetween(mConnectionNodes[0], mConnectionNodes[1], &probe);
}

Shape* FindConnectedTargetShape(ConnectionNode* node, Connection* ignore)
{
    // A chain of connectors may close into a loop; a connector is never
    // entered twice, and the walk ends after as many steps as there are
    // objects in the map.
    Shape* shape = node->mParentShape;
    size_t remaining = GlobalMap != nullptr ? GlobalMap->mObjectsById.size() + 1 : 0;
    while (isConnector(shape)) {
        if (GlobalMap == nullptr || remaining-- == 0) {
            return nullptr;
        }
        std::vector<Connection*> connections;
        GlobalMap->getConnectionsOfShape(shape, connections);
        if (connections.size() >= 3) {
            return nullptr;
        }
        Connection* next = nullptr;
        for (Connection* candidate : connections) {
            if (candidate != ignore) {
                next = candidate;
                break;
            }
        }
        if (next == nullptr) {
            return nullptr;
        }
        ConnectionNode* farEnd = next->mConnectionNodes[0] == node ? next->mConnectionNodes[1]
                                                                  : next->mConnectionNodes[0];
        node = farEnd;
        ignore = next;
        shape = farEnd->mParentShape;
    }
    return shape;
}

void Connection::dump()
{
    std::cout << "   ID: " << mId << std::endl;
    for (ConnectionNode* node : mConnectionNodes) {
        if (node == nullptr) {
            continue;
        }
        std::cout << "   ConnectionNode: Position X " << node->mX << "   Y " << node->mY << std::endl;
        const long shapeId = node->mParentShape != nullptr ? node->mParentShape->getId() : -1;
        std::cout << "   ConnectionNode: Connected to Shape-ID " << shapeId << " with Node-ID "
                  << node->getId() << std::endl;
    }
    for (int end = 0; end < 2; ++end) {
        ConnectionNode* from = mConnectionNodes[end];
        ConnectionNode* to = mConnectionNodes[1 - end];
        double x = 0;
        double y = 0;
        if (from != nullptr && to != nullptr &&
            myBresenhamLine(from->mX, from->mY, to->mX, to->mY, from->mParentShape, x, y)) {
            std::cout << "ArrowVertexes #" << end + 1 << ": " << x << " / " << y << std::endl;
        } else {
            std::cout << "*** Can't calculate ConnectionNode-Arrow #" << end + 1 << std::endl;
        }
    }
}

std::string Connection::serialize()
{
    std::string text;
    text += "Id: " + corekit::ToString(mId) + "\n";
    text += "Type: " + GetObjectTypeName(this) + "\n";
    text += "BorderWidth: " + corekit::ToString(mBorderWidth, 0) + "\n";
    text += "BorderColor: " + corekit::ToString(mBorderRed, 0) + " " +
            corekit::ToString(mBorderGreen, 0) + " " + corekit::ToString(mBorderBlue, 0) + "\n";
    text += "Caption:\n";
    text += mCaption;
    text += "\n- -- \n";
    return text;
}

// --- drawing --------------------------------------------------------------
// World units under the view transform; the line scales with the zoom.

namespace {

// Draws one end's arrow head with the draw table of that end and returns
// where the line meets it: the middle of the head's back, or the connection
// node itself at a connector (style 0). False when the end is invalid.
bool drawArrowEnd(cairo_t* cr, int style, bool invalid, bool picked, ArrowDrawFunc* table, double* ax,
                  double* ay, const ConnectionNode* node, double& lineX, double& lineY)
{
    if (style < 0 || style >= ARROW_STYLE_COUNT)
        return false;
    if (style == 0) {
        table[0](cr, ax, ay);
        lineX = node->mX;
        lineY = node->mY;
        return true;
    }
    if (invalid)
        return false;
    gfx_save(cr);
    if (picked)
        gfx_set_source_rgb(cr, 0, 1, 0);
    table[style](cr, ax, ay);
    gfx_restore(cr);
    lineX = (ax[1] + ax[2]) / 2;
    lineY = (ay[1] + ay[2]) / 2;
    return true;
}

} // namespace

// The line between the two ends with the arrow heads, and the caption along
// the line, never upside down. Records where the line was drawn.
void Connection::draw(cairo_t* cr)
{
    if (!isValid() || mConnectionNodes.size() < 2 || !mConnectionNodes[0] || !mConnectionNodes[1])
        return;
    gfx_set_line_width(cr, 1.0);
    gfx_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    gfx_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    gfx_set_source_rgb(cr, mBorderRed, mBorderGreen, mBorderBlue);

    double x1, y1, x2, y2;
    if (!drawArrowEnd(cr, mArrow1Style, mInvalidArrow1, mSelectedArrow == 0, ArrowsDraw0, mArrow1X, mArrow1Y,
                      mConnectionNodes[0], x1, y1)) {
        CK_ERROR("Invalid Arrow1");
        return;
    }
    if (!drawArrowEnd(cr, mArrow2Style, mInvalidArrow2, mSelectedArrow == 1, ArrowsDraw1, mArrow2X, mArrow2Y,
                      mConnectionNodes[1], x2, y2)) {
        CK_ERROR("Invalid Arrow2");
        return;
    }

    gfx_move_to(cr, x1, y1);
    gfx_line_to(cr, x2, y2);
    gfx_stroke(cr);
    mDrawnX1 = x1;
    mDrawnY1 = y1;
    mDrawnX2 = x2;
    mDrawnY2 = y2;

    // Caption: centred on the middle of the line, its baseline starting 5
    // units above the line, read from the left-hand end.
    // A caption read from a file may hold bytes that are not UTF-8; Cairo
    // would put the context into a lasting error state on them.
    const std::string captionText = ValidUtf8Text(mCaption ? mCaption : "");
    const char* caption = captionText.c_str();
    cairo_text_extents_t extents;
    gfx_text_extents(cr, caption, &extents);
    gfx_save(cr);
    const double angle = std::atan2(y2 - y1, x2 - x1) * 180.0 / M_PI;
    const bool rightwards = angle > -90 && angle < 90;
    const double fromX = rightwards ? x1 : x2;
    const double fromY = rightwards ? y1 : y2;
    const double rotation = rightwards ? angle : angle + 180;
    const double midX = (x1 + x2) / 2, midY = (y1 + y2) / 2;
    const int d = static_cast<int>(myDistance(static_cast<int>(fromX), static_cast<int>(fromY),
                                              static_cast<int>(midX), static_cast<int>(midY)) -
                                   extents.width / 2);
    double px = midX, py = midY;
    myBresenhamLineLength(fromX, fromY, midX, midY, d, px, py);
    gfx_move_to(cr, px, py - 5);
    gfx_rotate(cr, rotation * M_PI / 180.0);
    gfx_show_text(cr, caption);
    gfx_restore(cr);
}

// Red dot in the middle of the drawn line and green 6-pixel squares on both
// connection nodes.
void Connection::drawSelection(cairo_t* cr)
{
    gfx_set_line_width(cr, 3.0);
    gfx_set_source_rgb(cr, 1, 0, 0);
    gfx_new_sub_path(cr);
    gfx_arc(cr, (mDrawnX1 + mDrawnX2) / 2, (mDrawnY1 + mDrawnY2) / 2, 6, 0, 2 * M_PI);
    gfx_close_path(cr);
    gfx_fill(cr);

    gfx_set_line_width_px(cr, 1);
    gfx_set_source_rgb(cr, 0, 1, 0);
    for (size_t i = 0; i < 2 && i < mConnectionNodes.size(); ++i)
        if (mConnectionNodes[i])
            gfx_marker_square_path(cr, mConnectionNodes[i]->mX, mConnectionNodes[i]->mY, 6);
    gfx_stroke(cr);
}

// A red ring around the middle of the drawn line and a blue double ring at
// the foot of the perpendicular from the cursor onto the line.
void Connection::drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int)
{
    gfx_set_line_width(cr, 2.0);
    gfx_set_source_rgb(cr, 1, 0, 0);
    gfx_new_sub_path(cr);
    gfx_arc(cr, (mDrawnX1 + mDrawnX2) / 2, (mDrawnY1 + mDrawnY2) / 2, 10, 0, 2 * M_PI);
    gfx_close_path(cr);
    gfx_stroke(cr);

    if (mConnectionNodes.size() < 2 || !mConnectionNodes[0] || !mConnectionNodes[1])
        return;
    const ConnectionNode* a = mConnectionNodes[0];
    const ConnectionNode* b = mConnectionNodes[1];
    // Coinciding nodes give no line to project onto; the foot is then the
    // node itself (a division by zero would poison the context).
    std::pair<double, double> foot(a->mX, a->mY);
    if (a->mX != b->mX || a->mY != b->mY)
        foot = perpendicularPoint(a->mX, a->mY, b->mX, b->mY, cursorX, cursorY);
    gfx_set_line_width(cr, 1.0);
    gfx_set_source_rgb(cr, 0, 0, 1);
    gfx_new_sub_path(cr);
    gfx_arc(cr, foot.first, foot.second, 5, 0, 2 * M_PI);
    gfx_arc(cr, foot.first, foot.second, 3, 0, 2 * M_PI);
    gfx_close_path(cr);
    gfx_stroke(cr);
}
