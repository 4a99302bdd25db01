#include "Shape.h"

#include "ShapeDrawing.h"
#include "gfx.h"
#include <string>

#include <cmath>
#include <cstring>
#include <iostream>
#include <limits>
#include <typeinfo>

#include "Connection.h"
#include "Settings.h"
#include "ShapeCircle.h"
#include "ShapeConnector.h"
#include "ShapeDiamond.h"
#include "ShapeImage.h"
#include "ShapePolygon.h"
#include "ShapeRectangle.h"
#include "corekit.h"
#include "global.h"

namespace {

// Grid spacing from the settings. Without a settings object (tools and
// tests that use the model alone) the program's spacing of 10 applies; a
// spacing below 1 would make the snapping divide by zero and counts as 1.
int gridSpacing(bool xAxis)
{
    if (!GlobalSettings)
        return 10;
    int spacing = xAxis ? GlobalSettings->mRasterX : GlobalSettings->mRasterY;
    return spacing < 1 ? 1 : spacing;
}

// Truncation towards zero into a 32-bit int, saturating instead of
// overflowing for values beyond its range.
int truncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

// Pushes v up to the next grid line: v + g - (trunc(v) mod g), the remainder
// taking the sign of the dividend (so a negative v gets a negative remainder).
double snapUp(double v, int g)
{
    return v + g - std::fmod(std::trunc(v), static_cast<double>(g));
}

char* copyText(const char* text)
{
    if (!text)
        text = "";
    size_t len = std::strlen(text);
    char* copy = new char[len + 1];
    std::memcpy(copy, text, len + 1);
    return copy;
}

bool withinSquare(const Node* node, double x, double y, double d)
{
    return std::fabs(node->mX - x) < d && std::fabs(node->mY - y) < d;
}

}  // namespace

Shape::Shape()
    : Object(-1),
      mCaption(copyText("")),
      mTooltip(""),
      mValidationScript(""),
      mEnabledValidationScript(false),
      mConnectionCount(0),
      mShowPosition(0),
      mFlowValue(0),
      mFlowType(0),
      mBorderWidth(1.0),
      mHalfBorderWidth(0.5),
      mBorderRed(0),
      mBorderGreen(0),
      mBorderBlue(0),
      mFillRed(1),
      mFillGreen(1),
      mFillBlue(1),
      mFontRed(0),
      mFontGreen(0),
      mFontBlue(0),
      mTextPositionRelX(0),
      mTextPositionRelY(10),
      mTextPositionX(0),
      mTextPositionY(0),
      mTmpXDiff(0),
      mTmpYDiff(0)
{
    CK_TRACE();
    setValidationScript("");
}

Shape::~Shape()
{
    CK_TRACE();
    for (ShapeNode* node : mShapeNodes)
        delete node;
    for (ShapeNode* node : mBorderNodes)
        delete node;
    for (ConnectionNode* node : mConnectionNodes)
        delete node;
    delete[] mCaption;
}

// ---------------------------------------------------------------------------
// Drawing (world units under the view transform; markers in device pixels)

// Hover preview: a red frame around the border outline, then the connection
// node markers or the resize handles by view mode. The cursor is not used.
void Shape::drawSelectionPreview(cairo_t* cr, int, int, int viewMode)
{
    shape_draw_hover_frame(cr, this);
    shape_draw_node_markers(cr, this, viewMode);
}

// Outline polygon with shadow, the caption in the box from vertex node 0 to
// vertex node 2, and the position print above the border outline.
void Shape::draw(cairo_t* cr)
{
    if (mShapeNodes.size() < 3)
        return;
    shape_draw_outline_polygon(cr, this, false);
    shape_draw_caption(cr, this, mShapeNodes[0]->mX, mShapeNodes[0]->mY, mShapeNodes[2]->mX,
                       mShapeNodes[2]->mY);
    if (!mBorderNodes.empty())
        shape_draw_position_print(cr, this, mBorderNodes[0]->mX - 10, mBorderNodes[0]->mY - 10);
}

// Selection mark: the resize handles in the shape view, then a yellow square
// with a black outline on the lower right corner of the border outline.
void Shape::drawSelection(cairo_t* cr, int viewMode)
{
    if (shape_view_offers_handles(viewMode))
        drawResizeNodes(cr);
    if (mBorderNodes.size() < 3)
        return;
    shape_draw_node_square(cr, mBorderNodes[2], 6, 1, 1, 0);
}

// White 12-pixel squares with black outlines on every connection node, and a
// small red cross on each.
void Shape::drawConnectionNodes(cairo_t* cr)
{
    if (mConnectionNodes.empty())
        return;
    gfx_set_line_width_px(cr, 0.25);
    for (ConnectionNode* node : mConnectionNodes)
        gfx_marker_square_path(cr, node->mX, node->mY, 12);
    gfx_set_source_rgb(cr, 1, 1, 1);
    gfx_fill_preserve(cr);
    gfx_set_source_rgb(cr, 0, 0, 0);
    gfx_stroke(cr);

    const double arm = user_width_for_device_px(cr, 2);
    for (ConnectionNode* node : mConnectionNodes) {
        gfx_move_to(cr, node->mX - arm, node->mY);
        gfx_line_to(cr, node->mX + arm, node->mY);
        gfx_move_to(cr, node->mX, node->mY - arm);
        gfx_line_to(cr, node->mX, node->mY + arm);
    }
    gfx_set_source_rgb(cr, 1, 0, 0);
    gfx_stroke(cr);

    if (global_draw_ids) {
        gfx_set_source_rgb(cr, 0, 0, 0);
        for (size_t i = 0; i < mConnectionNodes.size(); ++i) {
            const std::string label = std::to_string(i);
            gfx_move_to(cr, mConnectionNodes[i]->mX - 2.5, mConnectionNodes[i]->mY + 2.5);
            gfx_show_text(cr, label.c_str());
        }
    }
}

// Green 6-pixel squares with black outlines on the resize handles.
void Shape::drawResizeNodes(cairo_t* cr)
{
    for (ShapeNode* node : getResizeNodes())
        shape_draw_node_square(cr, node, 6, 0, 1, 0);
}

// ---------------------------------------------------------------------------
// Geometry of the four-vertex kinds. On shapes with fewer vertex nodes the
// missing corners are left alone instead of being written past the list.

void Shape::setWidth(double width)
{
    if (mShapeNodes.empty())
        return;
    double x = mShapeNodes[0]->mX + width;
    for (size_t i : {1u, 2u})
        if (i < mShapeNodes.size())
            mShapeNodes[i]->mX = x;
}

void Shape::setHeight(double height)
{
    if (mShapeNodes.empty())
        return;
    double y = mShapeNodes[0]->mY + height;
    for (size_t i : {2u, 3u})
        if (i < mShapeNodes.size())
            mShapeNodes[i]->mY = y;
}

double Shape::getWidth()
{
    if (mShapeNodes.size() < 3)
        return 0;
    return mShapeNodes[2]->mX - mShapeNodes[0]->mX;
}

double Shape::getHeight()
{
    if (mShapeNodes.size() < 3)
        return 0;
    return mShapeNodes[2]->mY - mShapeNodes[0]->mY;
}

// ---------------------------------------------------------------------------
// Near-position searches: square tolerances, first match in list order.

ShapeNode* Shape::getShapeNodeNearPosition(double x, double y)
{
    for (ShapeNode* node : getResizeNodes())
        if (withinSquare(node, x, y, 7))
            return node;
    return nullptr;
}

ShapeNode* Shape::getBorderNodeNearPosition(double x, double y)
{
    for (ShapeNode* node : mBorderNodes)
        if (withinSquare(node, x, y, 7))
            return node;
    return nullptr;
}

ConnectionNode* Shape::getConnectionNodeNearPosition(double x, double y)
{
    for (ConnectionNode* node : mConnectionNodes)
        if (withinSquare(node, x, y, 6))
            return node;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Hit tests

int Shape::crossingTest(const std::vector<ShapeNode*>& nodes, double x, double y)
{
    const size_t n = nodes.size();
    int inside = 0;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const double xi = nodes[i]->mX, yi = nodes[i]->mY;
        const double xj = nodes[j]->mX, yj = nodes[j]->mY;
        if ((yi > y) != (yj > y) && x < xi + (y - yi) * (xj - xi) / (yj - yi))
            inside = !inside;
    }
    return inside;
}

int Shape::hitTest(double x, double y) { return crossingTest(mShapeNodes, x, y); }

int Shape::hitBorderTest(double x, double y) { return crossingTest(mBorderNodes, x, y); }

bool Shape::isInside(double x1, double y1, double x2, double y2)
{
    for (ShapeNode* node : mShapeNodes)
        if (node->mX < x1 || node->mX > x2 || node->mY < y1 || node->mY > y2)
            return false;
    return true;
}

// ---------------------------------------------------------------------------
// Nodes

void Shape::addNode(double x, double y, int id)
{
    mShapeNodes.push_back(new ShapeNode(this, x, y, id));
    mBorderNodes.push_back(new ShapeNode(this, x, y, id));
}

void Shape::addConnectionNode(double x, double y, int id)
{
    mConnectionNodes.push_back(new ConnectionNode(this, x, y, id));
}

void Shape::addConnectionNode(int edge, int id, double percent)
{
    mConnectionNodes.push_back(new ConnectionNode(this, edge, id, percent));
}

ConnectionNode* Shape::getConnectionNode(int index)
{
    return mConnectionNodes.at(static_cast<size_t>(index));
}

std::vector<ShapeNode*> Shape::getResizeNodes() { return mShapeNodes; }

void Shape::recalcConnectionNodesFromPercent()
{
    const size_t n = mShapeNodes.size();
    for (size_t i = 0; i < n; ++i) {
        const ShapeNode* a = mShapeNodes[i];
        const ShapeNode* b = mShapeNodes[(i + 1) % n];
        const double len = myDoubleDistance(a->mX, a->mY, b->mX, b->mY);
        for (ConnectionNode* node : mConnectionNodes) {
            if (node->mEdge != static_cast<int>(i))
                continue;
            // Start on vertex i: the point search leaves its outputs alone
            // for an edge shorter than one unit.
            double hx = a->mX, hy = a->mY;
            myDoublePointAtLength(a->mX, a->mY, b->mX, b->mY, node->mPercent * len / 100.0, hx, hy);
            node->mX = std::round(hx);
            node->mY = std::round(hy);
        }
    }
}

void Shape::recalcConnectionNodes()
{
    recalcConnectionNodesFromPercent();
    updateTextPosition();
    recalcBorderNodes();
}

void Shape::insetSideConnectionNodes()
{
    if (mConnectionNodes.size() < 4)
        return;
    mConnectionNodes[0]->mY += 1;
    mConnectionNodes[1]->mX -= 1;
    mConnectionNodes[2]->mY -= 1;
    mConnectionNodes[3]->mX += 1;
}

void Shape::recalcBorderNodes()
{
    for (ShapeNode* node : mBorderNodes)
        delete node;
    mBorderNodes.clear();
    if (mShapeNodes.empty())
        return;
    const double x0 = mShapeNodes[0]->mX, y0 = mShapeNodes[0]->mY;
    mBorderNodes.push_back(new ShapeNode(this, x0 - 10, y0 - 10, -1));
    auto grow = [](double d) { return d < 0 ? d - 20 : (d > 0 ? d + 20 : 0.0); };
    for (size_t i = 1; i < mShapeNodes.size(); ++i) {
        const double dx = grow(mShapeNodes[i]->mX - x0);
        const double dy = grow(mShapeNodes[i]->mY - y0);
        mBorderNodes.push_back(new ShapeNode(this, x0 - 10 + dx, y0 - 10 + dy, -1));
    }
}

void Shape::moveNode(Node*, double, double) {}

void Shape::scale(double, double) {}

// ---------------------------------------------------------------------------
// Moving

void Shape::updateTextPosition()
{
    if (mShapeNodes.empty())
        return;
    mTextPositionX = mShapeNodes[0]->mX + mTextPositionRelX;
    mTextPositionY = mShapeNodes[0]->mY + mTextPositionRelY;
}

void Shape::shiftNodes(double dx, double dy)
{
    for (ShapeNode* node : mShapeNodes) {
        node->mX += dx;
        node->mY += dy;
    }
    for (ConnectionNode* node : mConnectionNodes) {
        node->mX += dx;
        node->mY += dy;
    }
    updateTextPosition();
}

void Shape::setPosition(double x, double y)
{
    if (mShapeNodes.empty())
        return;
    shiftNodes(x - mShapeNodes[0]->mX, y - mShapeNodes[0]->mY);
}

void Shape::setStepPosition(double dx, double dy) { shiftNodes(dx, dy); }

void Shape::move(double stepsX, double stepsY)
{
    shiftNodes(stepsX * gridSpacing(true), stepsY * gridSpacing(false));
    recalcBorderNodes();
}

void Shape::setDiffStartPosition(double x, double y)
{
    if (mShapeNodes.empty())
        return;
    mTmpXDiff = snapUp(x - mShapeNodes[0]->mX, gridSpacing(true));
    mTmpYDiff = snapUp(y - mShapeNodes[0]->mY, gridSpacing(false));
}

bool Shape::testDiffPosition(double x, double y, double& stepX, double& stepY)
{
    stepX = 0;
    stepY = 0;
    if (mShapeNodes.empty())
        return false;
    const double nx = snapUp(x - mTmpXDiff, gridSpacing(true));
    const double ny = snapUp(y - mTmpYDiff, gridSpacing(false));
    stepX = nx == mShapeNodes[0]->mX ? 0 : nx - mShapeNodes[0]->mX;
    stepY = ny == mShapeNodes[0]->mY ? 0 : ny - mShapeNodes[0]->mY;
    return stepX != 0 || stepY != 0;
}

// ---------------------------------------------------------------------------
// Text and style

void Shape::setCaption(const char* caption)
{
    char* copy = copyText(caption);
    delete[] mCaption;
    mCaption = copy;
}

void Shape::setCaption(const std::string& caption) { setCaption(caption.c_str()); }

void Shape::setTooltip(const char* tooltip) { mTooltip = tooltip ? tooltip : ""; }

void Shape::setValidationScript(const char* script)
{
    mValidationScript = corekit::Trim(script ? script : "", " \r\n\t");
    mEnabledValidationScript = !mValidationScript.empty();
}

void Shape::setFillColor(double r, double g, double b, bool darken)
{
    mFillRed = r;
    mFillGreen = g;
    mFillBlue = b;
    if (darken)
        setBorderColor(r - 0.3, g - 0.3, b - 0.3);
}

void Shape::setFontColor(double r, double g, double b)
{
    mFontRed = r;
    mFontGreen = g;
    mFontBlue = b;
}

void Shape::setBorderColor(double r, double g, double b)
{
    mBorderRed = r;
    mBorderGreen = g;
    mBorderBlue = b;
}

void Shape::setBorderLineWidth(double width) { mBorderWidth = width; }

void Shape::setShowPosition(bool show) { mShowPosition = show ? 1 : 0; }

// ---------------------------------------------------------------------------
// Text dumps

std::string Shape::serialize()
{
    using corekit::ToString;
    std::string s;
    s += "Id: " + ToString(mId) + "\n";
    s += "Type: " + GetObjectTypeName(this) + "\n";
    s += "BorderWidth: " + ToString(mBorderWidth, 0) + "\n";
    s += "FillColor: " + ToString(mFillRed, 0) + " " + ToString(mFillGreen, 0) + " " +
         ToString(mFillBlue, 0) + "\n";
    s += "BorderColor: " + ToString(mBorderRed, 0) + " " + ToString(mBorderGreen, 0) + " " +
         ToString(mBorderBlue, 0) + "\n";
    s += "FontColor: " + ToString(mFontRed, 0) + " " + ToString(mFontGreen, 0) + " " +
         ToString(mFontBlue, 0) + "\n";
    s += "Caption:\n" + std::string(mCaption) + "\n- -- \n";
    s += "Tooltip:\n" + mTooltip + "\n- -- \n";
    s += "ValidationScript:\n" + mValidationScript + "\n- -- \n";
    s += "ShowPosition:\n" + ToString(mShowPosition) + "\n- -- \n";
    for (ShapeNode* node : mShapeNodes)
        s += node->serialize();
    for (ConnectionNode* node : mConnectionNodes)
        s += node->serialize();
    for (ShapeNode* node : mBorderNodes)
        s += node->serialize();
    return s;
}

void Shape::dump()
{
    using corekit::ToString;
    std::ostream& out = std::cout;
    out << "   ID: " << mId << "\n";
    out << "   Type: " << GetObjectTypeName(this) << "\n";
    out << "   BorderWidth: " << ToString(mBorderWidth, 0) << "\n";
    out << "   FillRed: " << ToString(mFillRed, 0) << " FillGreen: " << ToString(mFillGreen, 0)
        << " FillBlue: " << ToString(mFillBlue, 0) << "\n";
    out << "   BorderRed: " << ToString(mBorderRed, 0) << " BorderGreen: " << ToString(mBorderGreen, 0)
        << " BorderBlue: " << ToString(mBorderBlue, 0) << "\n";
    out << "   FontRed: " << ToString(mFontRed, 0) << " FontGreen: " << ToString(mFontGreen, 0)
        << " FontBlue: " << ToString(mFontBlue, 0) << "\n";
    for (ShapeNode* node : mShapeNodes)
        out << "   ShapeNode: #" << node->mId << " X: " << ToString(node->mX, 0)
            << " Y: " << ToString(node->mY, 0) << "\n";
    for (ConnectionNode* node : mConnectionNodes)
        out << "   ConnectionNode: #" << node->mId << " X: " << ToString(node->mX, 0)
            << " Y: " << ToString(node->mY, 0) << " Edge: " << node->mEdge
            << " Percent: " << ToString(node->mPercent, 0) << "\n";
    for (ShapeNode* node : mBorderNodes)
        out << "   BorderNode: #" << node->mId << " X: " << ToString(node->mX, 0)
            << " Y: " << ToString(node->mY, 0) << "\n";
    out << "   Caption: " << mCaption << "\n";
    out << "   Tooltip: " << mTooltip << "\n";
    out << "   ValidationScript: " << mValidationScript << "\n";
    out << "   ShowPosition: " << mShowPosition << "\n";
    out << "   TextPositionX: " << ToString(mTextPositionX, 0)
        << " TextPositionY: " << ToString(mTextPositionY, 0) << "\n";
    out << "   ConnectionCount: " << mConnectionCount << "\n";
    out.flush();
}

// ---------------------------------------------------------------------------
// Geometry helpers

void MYXCHG(double& a, double& b)
{
    double t = a;
    a = b;
    b = t;
}

int myDistance(int x1, int y1, int x2, int y2)
{
    const double dx = static_cast<double>(x2) - x1;
    const double dy = static_cast<double>(y2) - y1;
    return truncToInt(std::sqrt(dx * dx + dy * dy));
}

double myDoubleDistance(double x1, double y1, double x2, double y2)
{
    return std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
}

bool double_equals(double a, double b, double epsilon) { return std::fabs(a - b) < epsilon; }

bool myDoublePointAtLength(double x1, double y1, double x2, double y2, double len,
                           double& hx, double& hy)
{
    if (len <= 0) {
        hx = x1;
        hy = y1;
        return false;
    }
    if (std::fabs(x1 - x2) < 1 && std::fabs(y1 - y2) < 1)
        return false;
    const double t = (len + 0.0005) / myDoubleDistance(x1, y1, x2, y2);
    if (t >= 1) {
        hx = x2;
        hy = y2;
    } else {
        hx = x1 + (x2 - x1) * t;
        hy = y1 + (y2 - y1) * t;
    }
    return true;
}

namespace {

// Longest walk of the line functions, in unit steps: far beyond any drawn
// diagram, and it keeps coordinates from a damaged file from stalling the
// program in a walk of billions of steps.
constexpr double kMaxLineSteps = 4194304;

// The unit-step line walk shared by the Bresenham functions. Calls
// visit(x, y) for every point from the start on (the end point itself is not
// visited); stops early when visit returns true, and then returns true.
template <class Visit>
bool walkLine(double x1, double y1, double x2, double y2, Visit visit)
{
    const double dx = std::fabs(x2 - x1);
    const double dy = std::fabs(y2 - y1);
    const double sx = x2 - x1 > 0 ? 1 : -1;
    const double sy = y2 - y1 > 0 ? 1 : -1;
    const bool yMajor = dy > dx;
    const double dMajor = yMajor ? dy : dx;
    const double dMinor = yMajor ? dx : dy;
    double x = x1, y = y1;
    int err = truncToInt(2 * dMinor - dMajor);
    for (double i = 0; i < dMajor && i < kMaxLineSteps; i += 1) {
        if (visit(x, y))
            return true;
        while (err >= 0) {
            if (yMajor)
                x += sx;
            else
                y += sy;
            int next = truncToInt(err - 2 * dMajor);
            // A line shorter than half a unit would not lower the error
            // term; end the minor steps instead of looping forever.
            err = next < err ? next : -1;
        }
        if (yMajor)
            y += sy;
        else
            x += sx;
        err = truncToInt(err + 2 * dMinor);
    }
    return false;
}

}  // namespace

bool myBresenhamLine(double x1, double y1, double x2, double y2, Shape* shape,
                     double& hx, double& hy)
{
    double fx = 0, fy = 0;
    bool found = walkLine(x1, y1, x2, y2, [&](double x, double y) {
        if (shape->hitTest(x, y) != 0)
            return false;
        fx = x;
        fy = y;
        return true;
    });
    if (found) {
        hx = fx;
        hy = fy;
        return true;
    }
    if (shape->hitTest(x2, y2) == 0) {
        hx = x2;
        hy = y2;
        return true;
    }
    return false;
}

bool myBresenhamLine(double x1, double y1, double x2, double y2, Shape* shape,
                     double* hx, double* hy)
{
    double x = 0, y = 0;
    if (!myBresenhamLine(x1, y1, x2, y2, shape, x, y))
        return false;
    if (hx)
        *hx = x;
    if (hy)
        *hy = y;
    return true;
}

bool myBresenhamLineLength(double x1, double y1, double x2, double y2, int len,
                           double& hx, double& hy)
{
    if (len <= 0) {
        hx = x1;
        hy = y1;
        return false;
    }
    if (std::fabs(x1 - x2) < 1 && std::fabs(y1 - y2) < 1)
        return false;
    const int sx = truncToInt(x1), sy = truncToInt(y1);
    double fx = x2, fy = y2;
    walkLine(x1, y1, x2, y2, [&](double x, double y) {
        if (myDistance(sx, sy, truncToInt(x), truncToInt(y)) <= len)
            return false;
        fx = x;
        fy = y;
        return true;
    });
    hx = fx;
    hy = fy;
    return true;
}

std::pair<double, double> perpendicularPoint(double x1, double y1, double x2, double y2,
                                             double px, double py)
{
    const double dx = x2 - x1, dy = y2 - y1;
    const double len2 = dx * dx + dy * dy;
    // Two equal points define no line; the foot is that point.
    if (len2 == 0)
        return {x1, y1};
    const double t = ((px - x1) * dx + (py - y1) * dy) / len2;
    return {x1 + t * dx, y1 + t * dy};
}

std::string GetObjectTypeName(void* object)
{
    if (!object)
        return "NULL";
    const std::type_info& type = typeid(*static_cast<Object*>(object));
    if (type == typeid(ShapeRectangle))
        return "Rectangle";
    if (type == typeid(ShapePolygon))
        return "Polygon";
    if (type == typeid(ShapeCircle))
        return "Circle";
    if (type == typeid(ShapeDiamond))
        return "Diamond";
    if (type == typeid(ShapeConnector))
        return "Link";
    if (type == typeid(ShapeImage))
        return "Image";
    if (type == typeid(Connection))
        return "Connection";
    return "Unknown";
}
