// The shape base: border outline, snapped dragging, hit tests, near-position
// searches, style setters, and the geometry helpers of the shape module.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
#include <utility>
#include <vector>

#include "Connection.h"
#include "Map.h"
#include "ShapeCircle.h"
#include "ShapeConnector.h"
#include "ShapeDiamond.h"
#include "ShapeImage.h"
#include "ShapePolygon.h"
#include "ShapeRectangle.h"
#include "ShapeTriangle.h"

namespace {

using Points = std::vector<std::pair<double, double>>;

Points positions(const std::vector<ShapeNode*>& nodes)
{
    Points out;
    for (const Node* node : nodes)
        out.emplace_back(node->mX, node->mY);
    return out;
}

}  // namespace

TEST(ShapeBorder, RectangleIsGrownByTenOnEverySide)
{
    ShapeRectangle rect(0, 0, 100, 50, 0);
    EXPECT_EQ(positions(rect.mBorderNodes), (Points{{-10, -10}, {110, -10}, {110, 60}, {-10, 60}}));
    for (const ShapeNode* node : rect.mBorderNodes)
        EXPECT_EQ(node->getId(), -1);
}

TEST(ShapeBorder, EachVertexIsPushedAwayFromNodeZeroPerAxis)
{
    // Offsets from node 0 grow by 20 away from zero; a zero offset stays.
    ShapeTriangle triangle(0, 0, 100, 0, 50, -80);
    EXPECT_EQ(positions(triangle.mBorderNodes), (Points{{-10, -10}, {110, -10}, {60, -110}}));
}

TEST(ShapeBorder, MoveCarriesBorderAlongButStepPositionDoesNot)
{
    ShapeRectangle rect(0, 0, 100, 50, 0);
    rect.move(1, 2);  // grid 10 without settings
    EXPECT_EQ(rect.mShapeNodes[0]->mX, 10);
    EXPECT_EQ(rect.mShapeNodes[0]->mY, 20);
    EXPECT_EQ(rect.mBorderNodes[0]->mX, 0);
    EXPECT_EQ(rect.mBorderNodes[0]->mY, 10);
    EXPECT_EQ(rect.mConnectionNodes[0]->mX, 60);

    rect.setStepPosition(5, 0);
    EXPECT_EQ(rect.mShapeNodes[0]->mX, 15);
    EXPECT_EQ(rect.mBorderNodes[0]->mX, 0);  // until recalculated
    EXPECT_EQ(rect.mTextPositionX, 15);
    EXPECT_EQ(rect.mTextPositionY, 30);
}

TEST(ShapeDrag, GrabOffsetIsPushedToNextGridLine)
{
    struct Case {
        double grabX, grabY;      // offset of the grab point from node 0
        double diffX, diffY;      // resulting mTmpXDiff, mTmpYDiff
    } cases[] = {
        {13.5, 4, 20.5, 10},
        {10, 10, 20, 20},
        {0, 0, 10, 10},
        {-3, -13, 10, 0},  // negative offsets: remainder with the dividend's sign
    };
    for (const Case& c : cases) {
        ShapeRectangle rect(100, 100, 150, 150, 0);
        rect.setDiffStartPosition(100 + c.grabX, 100 + c.grabY);
        EXPECT_DOUBLE_EQ(rect.mTmpXDiff, c.diffX) << c.grabX;
        EXPECT_DOUBLE_EQ(rect.mTmpYDiff, c.diffY) << c.grabY;
    }
}

TEST(ShapeDrag, StepsSnapToTheGrid)
{
    struct Case {
        double nodeX, nodeY, startX, startY, x, y;
        double stepX, stepY;
        bool moves;
    } cases[] = {
        {100, 100, 113, 104, 113, 104, 0, 0, false},
        {100, 100, 113, 104, 119, 104, 0, 0, false},
        {100, 100, 113, 104, 120, 104, 10, 0, true},
        {100, 100, 113, 104, 120, 115, 10, 10, true},
        {100, 100, 113, 104, 109, 104, -10, 0, true},
        {100, 100, 113, 104, 99, 104, -20, 0, true},  // snapping rounds up
        // Negative intermediate: grab offset 20, cursor 13: nx = -7 + 10 + 7.
        {0, 0, 10, 10, 13, 10, 10, 0, true},
    };
    for (const Case& c : cases) {
        ShapeRectangle rect(c.nodeX, c.nodeY, c.nodeX + 50, c.nodeY + 50, 0);
        rect.setDiffStartPosition(c.startX, c.startY);
        double stepX = 99, stepY = 99;
        EXPECT_EQ(rect.testDiffPosition(c.x, c.y, stepX, stepY), c.moves) << c.x << "," << c.y;
        EXPECT_DOUBLE_EQ(stepX, c.stepX) << c.x << "," << c.y;
        EXPECT_DOUBLE_EQ(stepY, c.stepY) << c.x << "," << c.y;
    }
}

TEST(ShapeHitTest, CrossingRuleCountsLeftAndTopEdgesInside)
{
    ShapeRectangle rect(0, 0, 100, 50, 0);
    struct Case {
        double x, y;
        int hit;
    } cases[] = {
        {50, 25, 1}, {0, 25, 1}, {100, 25, 0}, {50, 0, 1}, {50, 50, 0},
        {-0.5, 25, 0}, {99.5, 49.5, 1}, {150, 25, 0}, {50, -1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rect.hitTest(c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST(ShapeHitTest, BorderTestUsesTheEnlargedOutline)
{
    ShapeRectangle rect(0, 0, 100, 50, 0);
    EXPECT_EQ(rect.hitTest(-5, 25), 0);
    EXPECT_EQ(rect.hitBorderTest(-5, 25), 1);
    EXPECT_EQ(rect.hitBorderTest(-11, 25), 0);
    EXPECT_EQ(rect.hitBorderTest(109, 59), 1);
}

TEST(ShapeHitTest, ConcaveOutlineFollowsEvenOddRule)
{
    ShapePolygon poly(0, 0, 100, 100);
    // Pull the bottom-right corner deep inside: a notch opens on the right.
    poly.moveNode(poly.mShapeNodes[2], 20, 20);
    EXPECT_EQ(poly.hitTest(10, 50), 1);
    EXPECT_EQ(poly.hitTest(80, 60), 0);
}

TEST(ShapeInside, AllVerticesInClosedRectangle)
{
    ShapeRectangle rect(10, 10, 50, 30, 0);
    EXPECT_TRUE(rect.isInside(10, 10, 50, 30));
    EXPECT_TRUE(rect.isInside(0, 0, 100, 100));
    EXPECT_FALSE(rect.isInside(11, 10, 50, 30));
    EXPECT_FALSE(rect.isInside(10, 10, 49.9, 30));
}

TEST(ShapeNear, SquareTolerancesFirstMatchWins)
{
    ShapePolygon poly(0, 0, 100, 50);
    // Resize handles: within 7 on both axes (a square, not a circle).
    EXPECT_EQ(poly.getShapeNodeNearPosition(106.9, 56.9), poly.mShapeNodes[2]);
    EXPECT_EQ(poly.getShapeNodeNearPosition(107, 50), nullptr);
    EXPECT_EQ(poly.getShapeNodeNearPosition(3, 3), poly.mShapeNodes[0]);
    // Border nodes within 7.
    EXPECT_EQ(poly.getBorderNodeNearPosition(-4, -4), poly.mBorderNodes[0]);
    EXPECT_EQ(poly.getBorderNodeNearPosition(-3, -3), nullptr);
    // Connection nodes within 6: node 1 sits at (100, 25).
    EXPECT_EQ(poly.getConnectionNodeNearPosition(105.9, 30.9), poly.mConnectionNodes[1]);
    EXPECT_EQ(poly.getConnectionNodeNearPosition(106, 25), nullptr);

    // Two nodes in reach: the first in list order.
    ShapePolygon tiny(0, 0, 4, 4);
    EXPECT_EQ(tiny.getShapeNodeNearPosition(2, 2), tiny.mShapeNodes[0]);
}

TEST(ShapeStyle, FillColorDarkensOutlineUnclamped)
{
    ShapeRectangle rect(0, 0, 40, 40, 0);
    rect.setFillColor(0.2, 0.5, 1.0, true);
    EXPECT_DOUBLE_EQ(rect.mBorderRed, -0.1);
    EXPECT_DOUBLE_EQ(rect.mBorderGreen, 0.2);
    EXPECT_DOUBLE_EQ(rect.mBorderBlue, 0.7);

    rect.setFillColor(0.9, 0.9, 0.9, false);
    EXPECT_DOUBLE_EQ(rect.mFillRed, 0.9);
    EXPECT_DOUBLE_EQ(rect.mBorderRed, -0.1);
}

TEST(ShapeStyle, TextsAreCopiedAndTrimmed)
{
    ShapeRectangle rect(0, 0, 40, 40, 0);
    EXPECT_STREQ(rect.getCaption(), "");
    EXPECT_FALSE(rect.mEnabledValidationScript);

    std::string caption = "<b>Lager</b>";
    rect.setCaption(caption);
    caption[1] = 'i';
    EXPECT_STREQ(rect.getCaption(), "<b>Lager</b>");
    rect.setCaption(static_cast<const char*>(nullptr));
    EXPECT_STREQ(rect.getCaption(), "");

    rect.setValidationScript(" \t\r\nprüfe x\n ");
    EXPECT_EQ(rect.getValidationScript(), "prüfe x");
    EXPECT_TRUE(rect.mEnabledValidationScript);
    rect.setValidationScript(" \r\n\t ");
    EXPECT_EQ(rect.getValidationScript(), "");
    EXPECT_FALSE(rect.mEnabledValidationScript);

    rect.setShowPosition(true);
    EXPECT_EQ(rect.mShowPosition, 1);
    rect.setBorderLineWidth(3);
    EXPECT_EQ(rect.mBorderWidth, 3);
    EXPECT_EQ(rect.mHalfBorderWidth, 0.5);
}

TEST(ShapeGeometry, WidthAndHeightOfFourCornerShapes)
{
    ShapeRectangle rect(10, 20, 110, 70, 0);
    EXPECT_EQ(rect.getWidth(), 100);
    EXPECT_EQ(rect.getHeight(), 50);
    rect.setWidth(30);
    rect.setHeight(40);
    EXPECT_EQ(positions(rect.mShapeNodes), (Points{{10, 20}, {40, 20}, {40, 60}, {10, 60}}));

    // A triangle has no fourth corner: the height setter must not write past
    // its three vertices.
    ShapeTriangle triangle(0, 0, 10, 0, 0, 10);
    triangle.setHeight(50);
    EXPECT_EQ(positions(triangle.mShapeNodes), (Points{{0, 0}, {10, 0}, {0, 50}}));
}

TEST(ShapeGeometry, ConnectionNodeIndexOutsideListThrows)
{
    ShapeRectangle rect(0, 0, 40, 40, 0);
    EXPECT_EQ(rect.getConnectionNode(3), rect.mConnectionNodes[3]);
    EXPECT_THROW(rect.getConnectionNode(4), std::out_of_range);
    EXPECT_THROW(rect.getConnectionNode(-1), std::out_of_range);
}

TEST(ShapeDump, SerializeListsFactsAndNodes)
{
    ShapeRectangle rect(0, 0, 100, 50, 0);
    rect.setId(7);
    rect.setCaption("Kiste");
    const std::string text = rect.serialize();
    EXPECT_EQ(text.rfind("Id: 7\nType: Rectangle\nBorderWidth: 1\nFillColor: 1 1 1\n", 0), 0u) << text;
    EXPECT_NE(text.find("Caption:\nKiste\n- -- \n"), std::string::npos);
    EXPECT_NE(text.find("Node: -1 1 99 25\n"), std::string::npos);    // connection node 1
    EXPECT_NE(text.find("Node: -1 -1 110 60\n"), std::string::npos);  // a border node

    ShapeCircle circle(0, 0, 12.5);
    const std::string circleText = circle.serialize();
    EXPECT_EQ(circleText.substr(circleText.size() - 13), "Radius: 12.5\n");
}

// --- geometry helpers ---

TEST(GeometryHelpers, IntegerDistanceIsTruncated)
{
    EXPECT_EQ(myDistance(0, 0, 3, 4), 5);
    EXPECT_EQ(myDistance(0, 0, 1, 1), 1);
    EXPECT_EQ(myDistance(10, 10, 0, 0), 14);
    EXPECT_DOUBLE_EQ(myDoubleDistance(0, 0, 1, 1), std::sqrt(2.0));
    EXPECT_TRUE(double_equals(1.0, 1.0004, 0.001));
    EXPECT_FALSE(double_equals(1.0, 1.002, 0.001));
    double a = 1, b = 2;
    MYXCHG(a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
}

TEST(GeometryHelpers, PointAtLength)
{
    double hx = -1, hy = -1;
    EXPECT_FALSE(myDoublePointAtLength(5, 5, 50, 5, 0, hx, hy));
    EXPECT_EQ(hx, 5);
    EXPECT_EQ(hy, 5);

    hx = hy = -1;
    EXPECT_FALSE(myDoublePointAtLength(5, 5, 5.5, 5.9, 3, hx, hy));
    EXPECT_EQ(hx, -1);  // untouched
    EXPECT_EQ(hy, -1);

    EXPECT_TRUE(myDoublePointAtLength(0, 0, 100, 0, 25, hx, hy));
    EXPECT_NEAR(hx, 25.0005, 1e-9);
    EXPECT_EQ(hy, 0);

    EXPECT_TRUE(myDoublePointAtLength(0, 0, 100, 0, 100, hx, hy));
    EXPECT_EQ(hx, 100);  // t >= 1 gives the end point exactly
}

TEST(GeometryHelpers, LineLengthWalkStopsPastTheLength)
{
    struct Case {
        double x1, y1, x2, y2;
        int len;
        bool result;
        double hx, hy;
    } cases[] = {
        {200, 100, 100, 100, 12, true, 187, 100},  // the arrow-head case
        {0, 0, 100, 100, 12, true, 10, 10},        // diagonal: trunc(10 * sqrt 2) = 14 > 12
        {0, 0, 5, 0, 12, true, 5, 0},              // shorter than len: the end point
        {3, 4, 50, 60, 0, false, 3, 4},            // len 0: the start
        {0, 0, 100, 30, 12, true, 13, 4},          // shallow line: minor steps
    };
    for (const Case& c : cases) {
        double hx = -1, hy = -1;
        EXPECT_EQ(myBresenhamLineLength(c.x1, c.y1, c.x2, c.y2, c.len, hx, hy), c.result);
        EXPECT_EQ(hx, c.hx) << c.x2 << "," << c.y2;
        EXPECT_EQ(hy, c.hy) << c.x2 << "," << c.y2;
    }
    double hx = -1, hy = -1;
    EXPECT_FALSE(myBresenhamLineLength(0, 0, 0.5, 0.5, 12, hx, hy));
    EXPECT_EQ(hx, -1);
}

TEST(GeometryHelpers, LineWalkFindsWhereTheLineLeavesTheShape)
{
    ShapeRectangle left(0, 0, 100, 50, 0);
    ShapeRectangle right(200, 0, 300, 50, 0);
    double hx = 0, hy = 0;
    // The right side counts as outside, the left side as inside.
    EXPECT_TRUE(myBresenhamLine(99, 25, 201, 25, &left, hx, hy));
    EXPECT_EQ(hx, 100);
    EXPECT_EQ(hy, 25);
    EXPECT_TRUE(myBresenhamLine(201, 25, 99, 25, &right, hx, hy));
    EXPECT_EQ(hx, 199);
    EXPECT_EQ(hy, 25);

    // Pointer form, steep line.
    double px = 0, py = 0;
    EXPECT_TRUE(myBresenhamLine(50, 25, 60, 125, &left, &px, &py));
    EXPECT_EQ(py, 50);

    // Both ends inside: the walk never leaves.
    hx = hy = -7;
    EXPECT_FALSE(myBresenhamLine(10, 10, 90, 40, &left, hx, hy));
    EXPECT_EQ(hx, -7);

    // Walk ends inside but the end point is outside: the end point.
    EXPECT_TRUE(myBresenhamLine(50, 25, 100, 25, &left, hx, hy));
    EXPECT_EQ(hx, 100);
}

TEST(GeometryHelpers, VeryShortLineWalkTerminates)
{
    // A line shorter than half a unit once made the error term stand still.
    ShapeRectangle rect(0, 0, 100, 50, 0);
    auto walk = std::async(std::launch::async, [&rect] {
        double hx = 0, hy = 0;
        return myBresenhamLine(10, 10, 10.3, 10.2, &rect, hx, hy);
    });
    ASSERT_EQ(walk.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_FALSE(walk.get());
}

TEST(GeometryHelpers, PerpendicularFoot)
{
    auto foot = perpendicularPoint(0, 0, 10, 0, 5, 7);
    EXPECT_DOUBLE_EQ(foot.first, 5);
    EXPECT_DOUBLE_EQ(foot.second, 0);
    foot = perpendicularPoint(0, 0, 10, 10, 10, 0);
    EXPECT_DOUBLE_EQ(foot.first, 5);
    EXPECT_DOUBLE_EQ(foot.second, 5);
    // Two equal points: the foot is that point, not NaN.
    foot = perpendicularPoint(3, 4, 3, 4, 10, 10);
    EXPECT_EQ(foot, std::make_pair(3.0, 4.0));
}

TEST(GeometryHelpers, TypeNameByExactClass)
{
    ShapeRectangle rect(0, 0, 40, 40, 0);
    ShapePolygon poly(0, 0, 40, 40);
    ShapeCircle circle(0, 0, 10);
    ShapeDiamond diamond(20, 0, 40, 20);
    ShapeConnector link(20, 20);
    ShapeImage image(0, 0, 0, 0);
    ShapeTriangle triangle(0, 0, 40, 0, 20, 30);
    Connection connection(&rect, 1, &poly, 3);
    EXPECT_EQ(GetObjectTypeName(&rect), "Rectangle");
    EXPECT_EQ(GetObjectTypeName(&poly), "Polygon");
    EXPECT_EQ(GetObjectTypeName(&circle), "Circle");
    EXPECT_EQ(GetObjectTypeName(&diamond), "Diamond");
    EXPECT_EQ(GetObjectTypeName(&link), "Link");
    EXPECT_EQ(GetObjectTypeName(&image), "Image");
    EXPECT_EQ(GetObjectTypeName(&connection), "Connection");
    EXPECT_EQ(GetObjectTypeName(&triangle), "Unknown");
    EXPECT_EQ(GetObjectTypeName(nullptr), "NULL");
}
