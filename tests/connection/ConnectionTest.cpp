// Connection routing, hit tests, arrow geometry and connector chains, on a
// real map with real shapes.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "Arrow.h"
#include "Connection.h"
#include "ConnectionNode.h"
#include "Map.h"
#include "ShapeCircle.h"
#include "ShapeConnector.h"
#include "ShapeRectangle.h"
#include "global.h"

namespace {

// A map that is also the process-wide map while the test runs, because
// following connectors asks GlobalMap for the connections of a shape.
class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        map = new Map();
        GlobalMap = map;
    }
    void TearDown() override
    {
        GlobalMap = nullptr;
        delete map;
    }

    Map* map = nullptr;
};

// Two 100 x 50 rectangles side by side, 100 units apart, joined from the
// middle of the right side of the first to the middle of the left side of
// the second.
struct SideBySide {
    ShapeRectangle* left;
    ShapeRectangle* right;
    Connection* connection;
};

SideBySide makeSideBySide(Map* map)
{
    SideBySide d;
    d.left = map->addRectangle(0, 0, 100, 50);
    d.right = map->addRectangle(200, 0, 300, 50);
    d.connection = map->addConnection(d.left, 1, d.right, 3);
    return d;
}

TEST_F(ConnectionTest, EndsLeaveTheShapesByTheCrossingRule)
{
    SideBySide d = makeSideBySide(map);
    Connection* c = d.connection;

    // Node 1 of the left rectangle sits at (99, 25): the first point of the
    // walk outside it is on its right side (x = 100 counts as outside).
    EXPECT_FALSE(c->mInvalidArrow1);
    EXPECT_DOUBLE_EQ(c->mArrow1X[0], 100);
    EXPECT_DOUBLE_EQ(c->mArrow1Y[0], 25);
    // Node 3 of the right rectangle sits at (201, 25): x = 200 counts as
    // inside, so the end tip is at 199.
    EXPECT_FALSE(c->mInvalidArrow2);
    EXPECT_DOUBLE_EQ(c->mArrow2X[0], 199);
    EXPECT_DOUBLE_EQ(c->mArrow2Y[0], 25);

    // Default styles: no head at the start (all points on the tip), a
    // 12-unit head at the end pointing at the right rectangle.
    EXPECT_EQ(c->mArrow1Style, 1);
    EXPECT_EQ(c->mArrow2Style, 2);
    for (int i = 1; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(c->mArrow1X[i], 100);
        EXPECT_DOUBLE_EQ(c->mArrow1Y[i], 25);
    }
    EXPECT_NEAR(c->mArrow2X[1], 199 - 12 * std::cos(0.5), 1e-9);
    EXPECT_NEAR(c->mArrow2X[2], 199 - 12 * std::cos(0.5), 1e-9);
    EXPECT_NEAR(std::abs(c->mArrow2Y[1] - 25), 12 * std::sin(0.5), 1e-9);
    EXPECT_NEAR(c->mArrow2Y[1] + c->mArrow2Y[2], 50, 1e-9);
}

TEST_F(ConnectionTest, ConstructionCountsEndsOnShapes)
{
    SideBySide d = makeSideBySide(map);
    EXPECT_EQ(d.left->mConnectionCount, 1);
    EXPECT_EQ(d.right->mConnectionCount, 1);
    EXPECT_EQ(d.connection->mConnectionNodes[0], d.left->mConnectionNodes[1]);
    EXPECT_EQ(d.connection->mConnectionNodes[1], d.right->mConnectionNodes[3]);

    // Both ends on the same shape count twice.
    map->addConnection(d.left, 0, d.left, 2);
    EXPECT_EQ(d.left->mConnectionCount, 3);
    EXPECT_EQ(d.connection->mSelectedArrow, -1);
    EXPECT_TRUE(d.connection->isValid());
}

TEST_F(ConnectionTest, RoutingFollowsMovedShapes)
{
    SideBySide d = makeSideBySide(map);
    d.right->setStepPosition(0, 100);
    d.right->recalcConnectionNodes();
    map->recalcConnectionsOfShape(d.right);

    // The end node is now (201, 125); the line from (99, 25) is diagonal and
    // must still leave the left shape on its right side and enter the right
    // shape through its left side.
    Connection* c = d.connection;
    EXPECT_FALSE(c->mInvalidArrow1);
    EXPECT_FALSE(c->mInvalidArrow2);
    EXPECT_EQ(d.left->hitTest(c->mArrow1X[0], c->mArrow1Y[0]), 0);
    EXPECT_EQ(d.right->hitTest(c->mArrow2X[0], c->mArrow2Y[0]), 0);
    EXPECT_LE(std::abs(c->mArrow1X[0] - 100), 1.0);
    EXPECT_LE(std::abs(c->mArrow2X[0] - 199), 1.0);
    EXPECT_GT(c->mArrow2Y[0], 100);
}

TEST_F(ConnectionTest, ConnectorEndsTakeNoArrowHead)
{
    ShapeRectangle* rect = map->addRectangle(0, 0, 100, 50);
    ShapeConnector* link = map->addConnectorLink(300, 25);
    Connection* c = map->addConnection(link, 0, rect, 1);

    EXPECT_EQ(c->mArrow1Style, 0);
    EXPECT_FALSE(c->mInvalidArrow1);
    EXPECT_DOUBLE_EQ(c->mArrow1X[0], 300);
    EXPECT_DOUBLE_EQ(c->mArrow1Y[0], 25);

    // A style chosen later is reset by the next routing.
    c->mArrow1Style = 3;
    c->recalcPositions();
    EXPECT_EQ(c->mArrow1Style, 0);

    Connection* back = map->addConnection(rect, 1, link, 0);
    EXPECT_EQ(back->mArrow2Style, 0);
    EXPECT_DOUBLE_EQ(back->mArrow2X[0], 300);
    EXPECT_EQ(back->mArrow1Style, 1);
}

TEST_F(ConnectionTest, EndInsideTheOtherShapeIsInvalid)
{
    // The small rectangle lies inside the big one: the walk from the big
    // rectangle's node towards the small one's never leaves the big one.
    ShapeRectangle* big = map->addRectangle(0, 0, 200, 200);
    ShapeRectangle* small = map->addRectangle(80, 80, 120, 120);
    Connection* c = map->addConnection(big, 0, small, 2);
    EXPECT_TRUE(c->mInvalidArrow1);

    // Moving the small shape out makes the end valid again.
    small->setStepPosition(400, 0);
    small->recalcConnectionNodes();
    c->recalcPositions();
    EXPECT_FALSE(c->mInvalidArrow1);
}

TEST_F(ConnectionTest, SetCaptionJoinsLinesWithBlanks)
{
    SideBySide d = makeSideBySide(map);
    struct Case {
        const char* input;
        const char* stored;
    } cases[] = {
        {"first\nsecond", "first second"},
        {"a\r\nb", "a  b"},
        {"", ""},
        {nullptr, ""},
        {"<b>bold</b>", "<b>bold</b>"},
    };
    for (const Case& c : cases) {
        d.connection->setCaption(c.input);
        EXPECT_STREQ(d.connection->getCaption(), c.stored) << (c.input ? c.input : "(null)");
    }
}

TEST_F(ConnectionTest, HitConnectionNodeUsesRadiusFifteenOnTruncatedDistances)
{
    SideBySide d = makeSideBySide(map);
    Connection* c = d.connection;
    const double sx = c->mArrow1X[0];
    const double sy = c->mArrow1Y[0];
    const double ex = c->mArrow2X[0];
    const double ey = c->mArrow2Y[0];

    struct Case {
        double x, y;
        int expected;
    } cases[] = {
        {sx + 10, sy + 11, 0},       // 100 + 121 = 221
        {sx - 10, sy - 11, 0},
        {sx + 15, sy, 0},            // exactly on the radius
        {sx + 15.9, sy, 0},          // truncated to 15
        {sx, sy + 16, -1},
        {sx + 11, sy + 11, -1},      // 242: outside both (the end tip is 99 away)
        {ex - 10.5, ey + 10.5, 1},   // truncated to 10 and 10
        {ex + 11, ey - 11, -1},
        {(sx + ex) / 2, sy, -1},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(c->hitConnectionNode(k.x, k.y), k.expected) << k.x << ", " << k.y;
    }

    // When the tips are close, the start wins.
    c->mArrow2X[0] = sx + 5;
    c->mArrow2Y[0] = sy;
    EXPECT_EQ(c->hitConnectionNode(sx + 3, sy), 0);
}

TEST_F(ConnectionTest, IsBetweenToleratesAnAreaOfTwoThousand)
{
    // A horizontal connection of exactly 100 units between connection nodes.
    ShapeRectangle* a = map->addRectangle(0, 0, 100, 50);
    ShapeRectangle* b = map->addRectangle(150, 0, 250, 50);
    Connection* c = map->addConnection(a, 3, b, 3);  // (1, 25) to (151, 25)
    c->mConnectionNodes[1]->mX = 101;                // now exactly 100 long

    struct Case {
        double x, y;
        bool expected;
    } cases[] = {
        {51, 25, true},     {51, 35, true},  {51, 15, true},   // 10 beside the middle
        {51, 45, true},                                         // 20: area exactly 2000
        {51, 45.5, false},  {51, 50, false},                    // 25 beside
        {0, 25, false},     {102, 25, false},                   // beyond the ends
        {1, 25, true},      {101, 25, true},                    // on the ends
    };
    for (const Case& k : cases) {
        EXPECT_EQ(c->isBetween(k.x, k.y), k.expected) << k.x << ", " << k.y;
    }

    c->setValid(false);
    EXPECT_FALSE(c->isBetween(51, 25));
}

TEST_F(ConnectionTest, NodeBetweenAllowsLessDistanceOnLongerSegments)
{
    ConnectionNode a(nullptr, 0.0, 0.0, -1);
    ConnectionNode b(nullptr, 1000.0, 0.0, -1);
    ConnectionNode near(nullptr, 500.0, 2.0, -1);
    ConnectionNode far(nullptr, 500.0, 2.5, -1);
    EXPECT_TRUE(NodeBetween(&a, &b, &near));   // 2000 / 1000 = 2 units
    EXPECT_FALSE(NodeBetween(&a, &b, &far));
}

TEST_F(ConnectionTest, NodeHitTestsReportTheShapeIndex)
{
    SideBySide d = makeSideBySide(map);
    Connection* c = d.connection;
    ConnectionNode* hit = nullptr;

    EXPECT_EQ(c->hitTest(103, 29, &hit), 1);   // start node (99, 25), index 1
    EXPECT_EQ(hit, d.left->mConnectionNodes[1]);
    EXPECT_EQ(c->hitTest(197, 21, &hit), 3);   // end node (201, 25), index 3
    EXPECT_EQ(hit, d.right->mConnectionNodes[3]);
    hit = nullptr;
    EXPECT_EQ(c->hitTest(104, 25, &hit), -1);  // 5 away is not a hit
    EXPECT_EQ(hit, nullptr);
    EXPECT_EQ(c->hitTest(99, 25, nullptr), 1);

    EXPECT_EQ(c->getNodeNearPosition(113, 38), d.left->mConnectionNodes[1]);
    EXPECT_EQ(c->getNodeNearPosition(150, 25), nullptr);
    // The drawn end points count as well.
    c->mDrawnX1 = 150;
    c->mDrawnY1 = 100;
    c->mDrawnX2 = 160;
    c->mDrawnY2 = 100;
    EXPECT_EQ(c->getNodeNearPosition(145, 95), d.left->mConnectionNodes[1]);
    EXPECT_EQ(c->getNodeNearPosition(174, 100), d.right->mConnectionNodes[3]);
}

TEST_F(ConnectionTest, FollowingConnectorsReachesTheFarShape)
{
    ShapeRectangle* rect = map->addRectangle(0, 0, 100, 50);
    ShapeConnector* link1 = map->addConnectorLink(200, 25);
    ShapeConnector* link2 = map->addConnectorLink(200, 200);
    ShapeCircle* circle = map->addCircle(400, 180, 20);
    Connection* c1 = map->addConnection(rect, 1, link1, 0);
    map->addConnection(link1, 0, link2, 0);
    map->addConnection(link2, 0, circle, 0);

    EXPECT_EQ(FindConnectedTargetShape(c1->mConnectionNodes[1], c1), circle);
    // A node on a shape that is no connector answers its own shape.
    EXPECT_EQ(FindConnectedTargetShape(rect->mConnectionNodes[1], c1), rect);

    // A third connection on a connector makes the way ambiguous.
    ShapeRectangle* other = map->addRectangle(0, 300, 100, 350);
    map->addConnection(other, 0, link2, 0);
    EXPECT_EQ(FindConnectedTargetShape(c1->mConnectionNodes[1], c1), nullptr);
}

TEST_F(ConnectionTest, FollowingConnectorsStopsAtDeadEndsAndLoops)
{
    ShapeRectangle* rect = map->addRectangle(0, 0, 100, 50);
    ShapeConnector* link1 = map->addConnectorLink(200, 25);
    Connection* c1 = map->addConnection(rect, 1, link1, 0);
    // The connector has no other connection.
    EXPECT_EQ(FindConnectedTargetShape(c1->mConnectionNodes[1], c1), nullptr);

    // Two connectors joined twice form a loop without any far shape.
    ShapeConnector* a = map->addConnectorLink(500, 500);
    ShapeConnector* b = map->addConnectorLink(600, 500);
    Connection* ab1 = map->addConnection(a, 0, b, 0);
    map->addConnection(b, 0, a, 0);
    EXPECT_EQ(FindConnectedTargetShape(ab1->mConnectionNodes[1], ab1), nullptr);
}

TEST_F(ConnectionTest, SerializeListsIdColourAndCaption)
{
    SideBySide d = makeSideBySide(map);
    d.connection->mBorderRed = 0.5;
    d.connection->setCaption("hello");
    const std::string expected = "Id: " + std::to_string(d.connection->getId()) +
                                 "\nType: Connection\nBorderWidth: 1\nBorderColor: 0.5 0 0\n"
                                 "Caption:\nhello\n- -- \n";
    EXPECT_EQ(d.connection->serialize(), expected);
}

TEST_F(ConnectionTest, DumpNamesBothEndsAndTheirExitPoints)
{
    SideBySide d = makeSideBySide(map);
    testing::internal::CaptureStdout();
    d.connection->dump();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("   ConnectionNode: Position X 99   Y 25"), std::string::npos) << out;
    EXPECT_NE(out.find("Connected to Shape-ID " + std::to_string(d.right->getId()) + " with Node-ID 3"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("ArrowVertexes #1: 100"), std::string::npos) << out;
    EXPECT_NE(out.find("ArrowVertexes #2: 199"), std::string::npos) << out;
}

// --- arrow heads -----------------------------------------------------------------

TEST(ArrowTest, TablesHoldTheFourStyles)
{
    InitArrows();
    InitArrows();  // harmless a second time
    EXPECT_EQ(ArrowsCalc0[0], Arrow0NullCalc);
    EXPECT_EQ(ArrowsCalc1[0], Arrow1NullCalc);
    EXPECT_EQ(ArrowsCalc0[1], Arrow0NoLengthCalc);
    EXPECT_EQ(ArrowsCalc1[1], Arrow1NoLengthCalc);
    for (int style : {2, 3}) {
        EXPECT_EQ(ArrowsCalc0[style], Arrow0StandardCalc);
        EXPECT_EQ(ArrowsCalc1[style], Arrow1StandardCalc);
    }
    EXPECT_EQ(ArrowsDraw0[0], Arrow0NullDraw);
    EXPECT_EQ(ArrowsDraw0[1], Arrow0NullDraw);
    EXPECT_EQ(ArrowsDraw1[1], Arrow1NullDraw);
    EXPECT_EQ(ArrowsDraw0[2], Arrow0DrawFilledArrow);
    EXPECT_EQ(ArrowsDraw1[2], Arrow1DrawFilledArrow);
    EXPECT_EQ(ArrowsDraw0[3], Arrow0DrawOutlineArrow);
    EXPECT_EQ(ArrowsDraw1[3], Arrow1DrawOutlineArrow);
    EXPECT_DOUBLE_EQ(arrow_length, 12.0);
    EXPECT_DOUBLE_EQ(arrow_degrees, 0.5);
}

TEST(ArrowTest, StandardHeadPointsAwayFromTheFarNode)
{
    InitArrows();
    // Tip (200, 100), far node at (100, 100): corners about (189.47, 105.75)
    // and (189.47, 94.25).
    ConnectionNode farNode(nullptr, 100.0, 100.0, 0);
    ConnectionNode tipNode(nullptr, 200.0, 100.0, 1);

    struct Case {
        ArrowCalcFunc calc;
        std::vector<ConnectionNode*> nodes;
    } cases[] = {
        {Arrow0StandardCalc, {&tipNode, &farNode}},  // start arrow aims at node 1
        {Arrow1StandardCalc, {&farNode, &tipNode}},  // end arrow aims at node 0
        {Arrow0NullCalc, {&tipNode, &farNode}},
        {Arrow1NullCalc, {&farNode, &tipNode}},
    };
    for (Case& k : cases) {
        double x[3] = {200, 0, 0};
        double y[3] = {100, 0, 0};
        k.calc(x, y, k.nodes);
        EXPECT_DOUBLE_EQ(x[0], 200);
        EXPECT_NEAR(x[1], 189.4689, 1e-3);
        EXPECT_NEAR(y[1], 105.7531, 1e-3);
        EXPECT_NEAR(x[2], 189.4689, 1e-3);
        EXPECT_NEAR(y[2], 94.2469, 1e-3);
        for (int i = 1; i < 3; ++i) {
            EXPECT_NEAR(std::hypot(x[i] - 200, y[i] - 100), 12.0, 1e-9);
        }
    }
}

TEST(ArrowTest, NoLengthHeadCollapsesOnTheTip)
{
    ConnectionNode a(nullptr, 0.0, 0.0, 0);
    ConnectionNode b(nullptr, 50.0, 70.0, 1);
    std::vector<ConnectionNode*> nodes{&a, &b};
    for (ArrowCalcFunc calc : {Arrow0NoLengthCalc, Arrow1NoLengthCalc}) {
        double x[3] = {7, -1, -1};
        double y[3] = {9, -1, -1};
        calc(x, y, nodes);
        EXPECT_DOUBLE_EQ(x[1], 7);
        EXPECT_DOUBLE_EQ(x[2], 7);
        EXPECT_DOUBLE_EQ(y[1], 9);
        EXPECT_DOUBLE_EQ(y[2], 9);
    }
}

TEST(ArrowTest, TipOnTheFarNodeGivesAFiniteHead)
{
    // Closer than one unit: the walk finds no point; the head still points
    // away from the far node and has finite corners.
    ConnectionNode tip(nullptr, 10.0, 10.0, 0);
    ConnectionNode nearFar(nullptr, 9.5, 10.0, 1);
    ConnectionNode sameFar(nullptr, 10.0, 10.0, 1);
    for (ConnectionNode* far : {&nearFar, &sameFar}) {
        std::vector<ConnectionNode*> nodes{&tip, far};
        double x[3] = {10, 0, 0};
        double y[3] = {10, 0, 0};
        Arrow0StandardCalc(x, y, nodes);
        for (int i = 1; i < 3; ++i) {
            EXPECT_TRUE(std::isfinite(x[i]) && std::isfinite(y[i]));
            EXPECT_NEAR(std::hypot(x[i] - 10, y[i] - 10), 12.0, 1e-9);
        }
    }
    std::vector<ConnectionNode*> nodes{&tip, &nearFar};
    double x[3] = {10, 0, 0};
    double y[3] = {10, 0, 0};
    Arrow0StandardCalc(x, y, nodes);
    EXPECT_LT(x[1], 10);  // opens towards the far node, on the left
}

TEST(ArrowTest, CalcArrowVertexesOpensBackwards)
{
    double x1, y1, x2, y2;
    // Shaft coming from above: the corners lie above the tip.
    CalcArrowVertexes(0, 0, 0, 50, &x1, &y1, &x2, &y2);
    EXPECT_NEAR(y1, 50 - 12 * std::cos(0.5), 1e-9);
    EXPECT_NEAR(y2, 50 - 12 * std::cos(0.5), 1e-9);
    EXPECT_NEAR(std::abs(x1 - x2), 24 * std::sin(0.5), 1e-9);
}

}  // namespace
