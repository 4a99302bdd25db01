// The seven shape kinds: default geometry, connection node placement, resize
// handles and their limits, and the kind-specific overrides.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ShapeCircle.h"
#include "ShapeConnector.h"
#include "ShapeDiamond.h"
#include "ShapeImage.h"
#include "ShapePolygon.h"
#include "ShapeRectangle.h"
#include "ShapeTriangle.h"
#include "res.h"

namespace {

using Points = std::vector<std::pair<double, double>>;

template <class List> Points positions(const List& nodes)
{
    Points out;
    for (const Node* node : nodes)
        out.emplace_back(node->mX, node->mY);
    return out;
}

}  // namespace

TEST(ShapeKinds, VerticesAndConnectionNodesOfEveryKind)
{
    struct Case {
        const char* kind;
        std::function<Shape*()> make;
        Points vertices;
        Points connectionNodes;
    } cases[] = {
        {"rectangle", [] { return new ShapeRectangle(0, 0, 100, 50, 0); },
         {{0, 0}, {100, 0}, {100, 50}, {0, 50}},
         {{50, 1}, {99, 25}, {50, 49}, {1, 25}}},  // one unit inside
        {"triangle", [] { return new ShapeTriangle(0, 0, 100, 0, 50, 80); },
         {{0, 0}, {100, 0}, {50, 80}},
         {{50, 0}, {75, 40}, {25, 40}}},
        {"polygon", [] { return new ShapePolygon(0, 0, 100, 50); },
         {{0, 0}, {100, 0}, {100, 50}, {0, 50}},
         {{50, 0}, {100, 25}, {50, 50}, {0, 25}}},
        {"diamond", [] { return new ShapeDiamond(100, 0, 150, 40); },
         {{100, 0}, {150, 40}, {100, 80}, {50, 40}},
         {{100, 1}, {149, 40}, {100, 79}, {51, 40}}},
        {"circle", [] { return new ShapeCircle(0, 0, 30); }, {{0, 0}}, {{30, 30}}},
        {"connector", [] { return new ShapeConnector(50, 50); },
         {{30, 30}, {70, 30}, {70, 70}, {30, 70}},
         {{50, 50}}},
        // The picture is 150 x 145; the middle of the left edge is rounded
        // from 92.4995 (the point search overshoots by half a thousandth).
        {"image", [] { return new ShapeImage(10, 20, 0, 0); },
         {{10, 20}, {160, 20}, {160, 165}, {10, 165}},
         {{85, 20}, {160, 93}, {85, 165}, {10, 92}}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Shape> shape(c.make());
        EXPECT_EQ(positions(shape->mShapeNodes), c.vertices) << c.kind;
        EXPECT_EQ(positions(shape->mConnectionNodes), c.connectionNodes) << c.kind;
        for (size_t i = 0; i < shape->mShapeNodes.size(); ++i)
            EXPECT_EQ(shape->mShapeNodes[i]->getId(), static_cast<long>(i)) << c.kind;
        for (size_t i = 0; i < shape->mConnectionNodes.size(); ++i)
            EXPECT_EQ(shape->mConnectionNodes[i]->getId(), static_cast<long>(i)) << c.kind;
        EXPECT_EQ(shape->getId(), -1) << c.kind;
    }
}

TEST(ShapeKinds, ResizeHandlesPerKind)
{
    ShapeRectangle rect(0, 0, 100, 50, 0);
    ShapeDiamond diamond(100, 0, 150, 40);
    ShapeImage image(0, 0, 0, 0);
    ShapeTriangle triangle(0, 0, 10, 0, 0, 10);
    ShapeConnector link(0, 0);
    EXPECT_EQ(rect.getResizeNodes(), std::vector<ShapeNode*>{rect.mShapeNodes[2]});
    EXPECT_EQ(diamond.getResizeNodes(), (std::vector<ShapeNode*>{diamond.mShapeNodes[1], diamond.mShapeNodes[2]}));
    EXPECT_TRUE(image.getResizeNodes().empty());
    EXPECT_EQ(triangle.getResizeNodes(), triangle.mShapeNodes);
    EXPECT_EQ(link.getResizeNodes(), link.mShapeNodes);
}

TEST(ShapeRectangle, HandleRefusesBelowTwentyUnits)
{
    struct Case {
        double x, y;
        bool accepted;
    } cases[] = {
        {15, 40, false}, {40, 19.9, false}, {20, 20, true}, {150, 90, true},
    };
    for (const Case& c : cases) {
        ShapeRectangle rect(0, 0, 100, 50, 0);
        rect.moveNode(rect.mShapeNodes[2], c.x, c.y);
        const Points expected = c.accepted ? Points{{0, 0}, {c.x, 0}, {c.x, c.y}, {0, c.y}}
                                           : Points{{0, 0}, {100, 0}, {100, 50}, {0, 50}};
        EXPECT_EQ(positions(rect.mShapeNodes), expected) << c.x << "," << c.y;
    }

    // Only the bottom-right corner is a handle.
    ShapeRectangle rect(0, 0, 100, 50, 0);
    rect.moveNode(rect.mShapeNodes[1], 200, 200);
    EXPECT_EQ(rect.mShapeNodes[1]->mX, 100);
    EXPECT_EQ(rect.getShapeNodeNearPosition(104, 54), rect.mShapeNodes[2]);
    EXPECT_EQ(rect.getShapeNodeNearPosition(105, 50), nullptr);
    EXPECT_EQ(rect.getShapeNodeNearPosition(0, 0), nullptr);
}

TEST(ShapeRectangle, CurveSelectsDrawingRoutine)
{
    struct Case {
        double curve;
        double stored;
        bool rounded;
    } cases[] = {
        {1, 2, true}, {0.5, 2, true}, {5, 5, true}, {0, 0, false}, {-3, -3, false},
    };
    for (const Case& c : cases) {
        ShapeRectangle rect(0, 0, 100, 50, c.curve);
        EXPECT_EQ(rect.mCurve, c.stored) << c.curve;
        EXPECT_EQ(rect.realDraw == &ShapeRectangle::drawRounded, c.rounded) << c.curve;
        rect.setCurve(0);
        EXPECT_TRUE(rect.realDraw == &ShapeRectangle::drawRectangle);
    }
}

TEST(ShapeDiamond, SizeAndSymmetricHandles)
{
    ShapeDiamond diamond(100, 0, 150, 40);
    EXPECT_EQ(diamond.getWidth(), 100);
    EXPECT_EQ(diamond.getHeight(), 80);
    EXPECT_EQ(positions(diamond.mBorderNodes), (Points{{40, -10}, {160, -10}, {160, 90}, {40, 90}}));

    // Bottom handle 10 down: the top vertex goes 10 up.
    diamond.moveNode(diamond.mShapeNodes[2], 100, 90);
    EXPECT_EQ(diamond.mShapeNodes[0]->mY, -10);
    EXPECT_EQ(diamond.mShapeNodes[2]->mY, 90);
    EXPECT_EQ(diamond.getHeight(), 100);

    // Right handle 10 right: the left vertex goes 10 left.
    diamond.moveNode(diamond.mShapeNodes[1], 160, 40);
    EXPECT_EQ(diamond.mShapeNodes[3]->mX, 40);
    EXPECT_EQ(diamond.getWidth(), 120);

    // The top and left vertices are no handles.
    diamond.moveNode(diamond.mShapeNodes[0], 0, 0);
    EXPECT_EQ(positions(diamond.mShapeNodes), (Points{{100, -10}, {160, 40}, {100, 90}, {40, 40}}));

    diamond.recalcBorderNodes();
    EXPECT_EQ(positions(diamond.mBorderNodes), (Points{{30, -20}, {170, -20}, {170, 100}, {30, 100}}));
}

TEST(ShapeDiamond, WidthAndHeightSetters)
{
    ShapeDiamond diamond(100, 0, 150, 40);
    diamond.setWidth(60);
    diamond.setHeight(30);
    EXPECT_EQ(positions(diamond.mShapeNodes), (Points{{100, 0}, {130, 15}, {100, 30}, {70, 15}}));
}

TEST(ShapeCircle, HitTestInWholeUnits)
{
    ShapeCircle circle(0, 0, 30);
    struct Case {
        double x, y;
        int hit;
    } cases[] = {
        {30, 30, 1}, {55, 30, 1}, {60, 30, 1}, {61, 30, 0}, {60.9, 30, 1},
        {-0.9, 30, 1},  // -30.9 truncates to -30
        {51, 51, 1},    // 21^2 + 21^2 = 882 <= 900
        {52, 52, 0},    // 22^2 + 22^2 = 968
    };
    for (const Case& c : cases)
        EXPECT_EQ(circle.hitTest(c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST(ShapeCircle, RadiusFollowsDragDirectionInStepsOfFive)
{
    ShapeCircle circle(0, 0, 30);
    ShapeNode* handle = circle.mShapeNodes[0];
    ASSERT_EQ(circle.getResizeNodes(), std::vector<ShapeNode*>{handle});

    // Towards the upper left: -10 per event until the minimum of 10.
    const double expected[] = {20, 10, 10};
    double p = 0;
    for (double r : expected) {
        p -= 1;
        circle.moveNode(handle, p, p);
        EXPECT_EQ(circle.mRadius, r);
    }
    EXPECT_EQ(handle->mX, 0);  // the handle itself stays

    // Right and up in one event: +5 - 5.
    circle.moveNode(handle, p + 1, p - 1);
    EXPECT_EQ(circle.mRadius, 10);
    // Down only: +5.
    circle.moveNode(handle, p + 1, p + 5);
    EXPECT_EQ(circle.mRadius, 15);

    circle.recalcConnectionNodes();
    EXPECT_EQ(positions(circle.mConnectionNodes), (Points{{15, 15}}));
    EXPECT_EQ(positions(circle.mBorderNodes), (Points{{-10, -10}, {40, -10}, {40, 40}, {-10, 40}}));
}

TEST(ShapeCircle, HasNoWidthOrHeight)
{
    ShapeCircle circle(5, 5, 30);
    circle.setWidth(100);
    circle.setHeight(100);
    EXPECT_EQ(circle.getWidth(), 0);
    EXPECT_EQ(circle.getHeight(), 0);
    EXPECT_EQ(positions(circle.mShapeNodes), (Points{{5, 5}}));
}

TEST(ShapeTriangle, ScaleKeepsFirstVertex)
{
    ShapeTriangle triangle(10, 10, 30, 10, 10, 40);
    triangle.scale(2, 2);
    EXPECT_EQ(positions(triangle.mShapeNodes), (Points{{10, 10}, {50, 10}, {10, 70}}));
    // Connection nodes and border outline follow the scaled triangle.
    EXPECT_EQ(positions(triangle.mConnectionNodes), (Points{{30, 10}, {30, 40}, {10, 40}}));
    EXPECT_EQ(positions(triangle.mBorderNodes), (Points{{0, 0}, {60, 0}, {0, 80}}));
}

TEST(ShapeTriangle, VerticesMoveWithoutLimits)
{
    ShapeTriangle triangle(0, 0, 100, 0, 50, 80);
    triangle.moveNode(triangle.mShapeNodes[2], 50, 1);
    EXPECT_EQ(triangle.mShapeNodes[2]->mY, 1);

    // A node of another shape is left alone.
    ShapeTriangle other(0, 0, 100, 0, 50, 80);
    triangle.moveNode(other.mShapeNodes[0], 500, 500);
    EXPECT_EQ(other.mShapeNodes[0]->mX, 0);
}

TEST(ShapeConnector, ConnectionNodeStaysAtCentreWhenMoved)
{
    ShapeConnector link(50, 50);
    link.setPosition(100, 200);
    link.recalcConnectionNodes();
    EXPECT_EQ(positions(link.mConnectionNodes), (Points{{120, 220}}));
    link.moveNode(link.mShapeNodes[2], 500, 500);  // connectors ignore handles
    EXPECT_EQ(link.mShapeNodes[2]->mX, 140);
}

TEST(ShapeImage, PictureIsDecodedFromEmbeddedPng)
{
    ShapeImage image(0, 0, 500, 500);
    ASSERT_NE(image.mImage, nullptr);
    EXPECT_EQ(image.mWidth, 150);
    EXPECT_EQ(image.mHeight, 145);
    EXPECT_EQ(cairo_image_surface_get_format(image.mImage), CAIRO_FORMAT_ARGB32);

    const int stride = cairo_image_surface_get_stride(image.mImage) / 4;
    auto pixel = [&](int x, int y) { return image.mPixelBuf[y * stride + x]; };
    // A transparent corner and an opaque, yellow middle.
    EXPECT_EQ(pixel(0, 0) >> 24, 0u);
    const uint32_t middle = pixel(75, 76);
    EXPECT_EQ(middle >> 24, 255u);
    EXPECT_GT((middle >> 16) & 0xff, 200u);  // red
    EXPECT_GT((middle >> 8) & 0xff, 180u);   // green
    EXPECT_LT(middle & 0xff, 150u);          // little blue

    image.clear();
    for (int y = 0; y < image.mHeight; ++y)
        for (int x = 0; x < image.mWidth; ++x)
            ASSERT_EQ(pixel(x, y), 0u) << x << "," << y;
}

TEST(ShapeImage, ReadFunctionStopsAtTheEndOfTheData)
{
    unsigned char buffer[64];
    std::memset(buffer, 0xaa, sizeof buffer);

    res_png_read_offset = 0;
    ASSERT_EQ(res_png_read(nullptr, buffer, 8), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(buffer[1], 'P');
    EXPECT_EQ(res_png_read_offset, 8u);

    // A request running past the end copies nothing.
    res_png_read_offset = res_star_png_size - 4;
    std::memset(buffer, 0xaa, sizeof buffer);
    EXPECT_EQ(res_png_read(nullptr, buffer, 8), CAIRO_STATUS_READ_ERROR);
    EXPECT_EQ(buffer[0], 0xaa);
    EXPECT_EQ(res_png_read(nullptr, buffer, 4), CAIRO_STATUS_SUCCESS);

    // Past the last byte: file-not-found.
    testing::internal::CaptureStdout();
    EXPECT_EQ(res_png_read(nullptr, buffer, 1), CAIRO_STATUS_FILE_NOT_FOUND);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: Buffer limit reached\n");
    res_png_read_offset = 0;
}
