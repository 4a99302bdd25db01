// Connection: a straight line between a connection node of one shape and a
// connection node of another, cut back to the shapes' outlines, with an arrow
// head possible at each end and an optional caption.
// Owned by its MapLayer; the two end nodes belong to the shapes, not to the
// connection.
#pragma once

#include <string>
#include <vector>

#include <cairo.h>

#include "Object.h"

class Shape;
class ConnectionNode;

class Connection : public Object {
public:
    // Caption; owned, zero-terminated, never contains a line feed or
    // carriage return (see setCaption).
    char* mCaption;
    // False when the two end nodes coincide (set by Map::validate); an
    // invalid connection is neither drawn nor hit by isBetween.
    bool mValid;
    // Arrow styles: indices into the arrow tables (Arrow.h). Start end uses
    // ArrowsCalc0/ArrowsDraw0, the far end ArrowsCalc1/ArrowsDraw1.
    int mArrow1Style;
    int mArrow2Style;
    // End picked by the editor: 0 start, 1 end, -1 none.
    int mSelectedArrow;
    // Arrow heads: index 0 is the tip (exit point from the shape),
    // indices 1 and 2 are the back corners.
    double mArrow1X[3];
    double mArrow1Y[3];
    double mArrow2X[3];
    double mArrow2Y[3];
    // End points of the line as last drawn (written by draw()).
    double mDrawnX1, mDrawnY1, mDrawnX2, mDrawnY2;
    // True when the line never leaves the shape at that end.
    bool mInvalidArrow1;
    bool mInvalidArrow2;
    // Entry 0: connection node on the start shape, entry 1: on the end
    // shape. Not owned.
    std::vector<ConnectionNode*> mConnectionNodes;
    double mBorderWidth;
    double mBorderRed, mBorderGreen, mBorderBlue;
    double mTextPositionRelX, mTextPositionRelY;
    double mTextPositionX, mTextPositionY;

    // Attaches to connection node fromIndex of from and toIndex of to
    // (indices must be valid), counts the ends on both shapes and computes
    // the end points. The map assigns the id (see Map::addConnection).
    Connection(Shape* from, int fromIndex, Shape* to, int toIndex);

    // Hover preview; cursor in whole world units, viewMode unused.
    void drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode) override;
    virtual ~Connection();

    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Stores a copy (null stores ""); line feeds and carriage returns
    // become blanks.
    void setCaption(const char* caption);
    const char* getCaption() const { return mCaption; }

    bool isValid() const { return mValid; }
    void setValid(bool valid) { mValid = valid; }

    // A connection always has exactly two nodes: this does nothing.
    void addConnectionNode(double x, double y, int id);

    // Recomputes both arrow heads from the current node positions.
    void recalcPositions();

    // Index (on its shape) of the first end node with both distances to
    // (x, y) below 5, storing the node through `node` when not null; -1 if none.
    int hitTest(double x, double y, ConnectionNode** node);
    // First end node within 15 in both axes, else the node of a drawn end
    // point within 15, else null.
    ConnectionNode* getNodeNearPosition(double x, double y);
    // 0 when (x, y) lies within radius 15 of the start tip, 1 for the end
    // tip, -1 otherwise (distances truncated to whole units).
    int hitConnectionNode(double x, double y);
    // Whether (x, y) lies on the segment between the two end nodes.
    bool isBetween(double x, double y);

    // Text dumps for diagnostics; no file format.
    void dump();
    std::string serialize();

    // Drawing (line, arrow heads, caption; selection mark).
    void draw(cairo_t* cr);
    void drawSelection(cairo_t* cr);
};

// Whether c lies on the segment a-b, within an area tolerance of 2000
// (that is 2000 / |ab| units beside the line).
bool NodeBetween(ConnectionNode* a, ConnectionNode* b, ConnectionNode* c);

// The shape reached from `node` when following connector shapes, skipping
// the connection `ignore`; null at a connector with three or more
// connections or with no further connection.
Shape* FindConnectedTargetShape(ConnectionNode* node, Connection* ignore);
