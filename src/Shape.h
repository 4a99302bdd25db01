// Shape: base class of the seven shape kinds. A shape has no position or size
// of its own: its geometry is the closed polygon of its vertex nodes, and the
// border outline, the connection points, the hit tests and the resize handles
// are derived from those nodes.
// Owned by its MapLayer; a shape owns all its nodes and its caption.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <cairo.h>

#include "CaptionLayout.h"
#include "ConnectionNode.h"
#include "Object.h"
#include "ShapeNode.h"

class Connection;

class Shape : public Object {
public:
    // Caption with the caption mark-up; owned, zero-terminated.
    char* mCaption;
    std::string mTooltip;
    // Free script text, stored trimmed; enabled when not empty.
    std::string mValidationScript;
    bool mEnabledValidationScript;
    // Vertex nodes: the outline polygon in order (ids 0..n-1). Owned.
    std::vector<ShapeNode*> mShapeNodes;
    // Border outline, 10 units outside the shape (ids -1 once recalculated).
    // Owned.
    std::vector<ShapeNode*> mBorderNodes;
    // Points where connections attach; a connection names one by its index.
    // Owned.
    std::vector<ConnectionNode*> mConnectionNodes;
    // Number of connection ends on this shape.
    long mConnectionCount;
    // At least 1: the drawing prints the position of vertex node 0 (the
    // editor uses 2 while it moves a shape).
    int mShowPosition;
    double mFlowValue;
    int mFlowType;
    double mBorderWidth;
    // Half of the initial outline width (not updated by setBorderLineWidth).
    double mHalfBorderWidth;
    double mBorderRed, mBorderGreen, mBorderBlue;
    double mFillRed, mFillGreen, mFillBlue;
    double mFontRed, mFontGreen, mFontBlue;
    // Text anchor relative to vertex node 0, and in world coordinates.
    double mTextPositionRelX, mTextPositionRelY;
    double mTextPositionX, mTextPositionY;
    // Grab offset of a running snapped drag (see setDiffStartPosition).
    double mTmpXDiff, mTmpYDiff;
    // Cached layout of the caption.
    CaptionLayout mCaptionLayout;

    Shape();

    // --- virtual interface (calls between these always go through it) ---
    void drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode) override;
    // Deletes all nodes and the caption.
    virtual ~Shape();

    // Geometry of the four-vertex kinds (node 0 top-left, 1 top-right,
    // 2 bottom-right, 3 bottom-left).
    virtual void setWidth(double width);
    virtual void setHeight(double height);
    virtual double getWidth();
    virtual double getHeight();

    // First resize handle within 7 units (square tolerance), or null.
    virtual ShapeNode* getShapeNodeNearPosition(double x, double y);
    // First border node within 7 units, or null.
    virtual ShapeNode* getBorderNodeNearPosition(double x, double y);
    // First connection node within 6 units, or null.
    virtual ConnectionNode* getConnectionNodeNearPosition(double x, double y);

    // 1 when (x, y) lies inside the vertex polygon (even-odd crossing rule).
    virtual int hitTest(double x, double y);
    // The same on the border polygon.
    virtual int hitBorderTest(double x, double y);

    virtual void draw(cairo_t* cr);
    // Text dump to standard output.
    virtual void dump();
    // Text dump for diagnostics; no file format.
    virtual std::string serialize();
    // Selection mark; viewMode as in drawSelectionPreview.
    virtual void drawSelection(cairo_t* cr, int viewMode);
    // The nodes the user may drag to resize (a copy of the vertex list here).
    virtual std::vector<ShapeNode*> getResizeNodes();
    virtual void drawConnectionNodes(cairo_t* cr);
    // Places the connection nodes, refreshes the text anchor and rebuilds the
    // border nodes. Kinds call the base version first and then adjust.
    virtual void recalcConnectionNodes();
    // Rebuilds the border outline from the vertex nodes.
    virtual void recalcBorderNodes();
    // Places every connection node on its edge at its percentage.
    virtual void recalcConnectionNodesFromPercent();
    // Moves a resize handle; per kind. Does nothing here.
    virtual void moveNode(Node* node, double x, double y);
    // Per kind. Does nothing here.
    virtual void scale(double sx, double sy);

    // --- nodes ---
    // Appends a vertex node and a border node at (x, y) with this id.
    void addNode(double x, double y, int id);
    void addConnectionNode(double x, double y, int id);
    void addConnectionNode(int edge, int id, double percent);
    // The connection node at `index`; throws std::out_of_range outside the list.
    ConnectionNode* getConnectionNode(int index);

    // --- moving (vertex and connection nodes move together, then the text
    // anchor is refreshed; border nodes only where said) ---
    // Shifts everything so that vertex node 0 lands on (x, y).
    void setPosition(double x, double y);
    // Shifts everything by (dx, dy).
    void setStepPosition(double dx, double dy);
    // Shifts by whole grid steps, then rebuilds the border nodes.
    void move(double stepsX, double stepsY);
    // Start of a snapped drag grabbed at (x, y).
    void setDiffStartPosition(double x, double y);
    // Grid-snapped step for the pointer at (x, y); true when it moves.
    bool testDiffPosition(double x, double y, double& stepX, double& stepY);

    // True when every vertex node lies in the closed rectangle
    // x1 <= x <= x2, y1 <= y <= y2.
    bool isInside(double x1, double y1, double x2, double y2);

    // --- text and style ---
    void setCaption(const char* caption);
    void setCaption(const std::string& caption);
    const char* getCaption() const { return mCaption; }
    void setTooltip(const char* tooltip);
    std::string getTooltip() const { return mTooltip; }
    // Stores the text trimmed of " \r\n\t"; enabled when not empty.
    void setValidationScript(const char* script);
    std::string getValidationScript() const { return mValidationScript; }
    // With darken, the outline becomes the fill colour minus 0.3 per
    // component (unclamped).
    void setFillColor(double r, double g, double b, bool darken);
    void setFontColor(double r, double g, double b);
    void setBorderColor(double r, double g, double b);
    void setBorderLineWidth(double width);
    void setShowPosition(bool show);

    // Resize handles (green squares) of getResizeNodes().
    void drawResizeNodes(cairo_t* cr);

    Shape(const Shape&) = delete;
    Shape& operator=(const Shape&) = delete;

protected:
    // Refreshes mTextPositionX/Y from vertex node 0 and the relative anchor.
    void updateTextPosition();
    // Moves the four side-middle connection nodes (top, right, bottom, left)
    // one unit into the shape, so that the line walk of a connection starts
    // inside the outline. Kinds with four such nodes call it after the base
    // recalculation.
    void insetSideConnectionNodes();

private:
    void shiftNodes(double dx, double dy);
    static int crossingTest(const std::vector<ShapeNode*>& nodes, double x, double y);
};

// --- geometry helpers used by shapes and connections ---

void MYXCHG(double& a, double& b);
// Integer distance: the Euclidean distance computed in double, truncated.
int myDistance(int x1, int y1, int x2, int y2);
double myDoubleDistance(double x1, double y1, double x2, double y2);
bool double_equals(double a, double b, double epsilon);
// The point `len` along the line from (x1, y1) towards (x2, y2), clamped to
// the end point. False (start returned) for len <= 0; false (outputs
// untouched) when the end points are less than 1 apart in both axes.
bool myDoublePointAtLength(double x1, double y1, double x2, double y2, double len,
                           double& hx, double& hy);
// Walks the line from (x1, y1) towards (x2, y2) in unit steps and returns the
// first point outside `shape` (shape->hitTest is 0). If the walk stays inside,
// the end point is returned when the shape does not contain it; otherwise
// false.
bool myBresenhamLine(double x1, double y1, double x2, double y2, Shape* shape,
                     double& hx, double& hy);
bool myBresenhamLine(double x1, double y1, double x2, double y2, Shape* shape,
                     double* hx, double* hy);
// Walks the line and returns the first point whose integer distance from the
// start exceeds len (or the end point). False for len <= 0 (start returned)
// and when the end points are less than 1 apart in both axes (outputs
// untouched).
bool myBresenhamLineLength(double x1, double y1, double x2, double y2, int len,
                           double& hx, double& hy);
// Foot of the perpendicular from (px, py) onto the line through the two points.
std::pair<double, double> perpendicularPoint(double x1, double y1, double x2, double y2,
                                             double px, double py);
// Type name by the exact class of a shape or connection ("Rectangle",
// "Polygon", "Circle", "Diamond", "Link", "Image", "Connection"; "Unknown"
// for any other class, "NULL" for null). `object` must point to an Object.
std::string GetObjectTypeName(void* object);
