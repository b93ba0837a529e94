#include "platform/ui/Geometry.h"

#include <gtest/gtest.h>

using namespace platform::ui;

TEST(GeometryTest, ContainsTreatsRightAndBottomEdgesAsOutside)
{
    Rect rect { 10, 20, 100, 50 };
    struct Case {
        Point point;
        bool inside;
    } cases[] = {
        { { 10, 20 }, true },
        { { 109.9, 69.9 }, true },
        { { 110, 40 }, false },
        { { 50, 70 }, false },
        { { 9.9, 40 }, false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(rect.contains(c.point), c.inside) << toString(c.point);
    EXPECT_FALSE(Rect::zero().contains(Point {}));
}

TEST(GeometryTest, IntersectionOfOverlappingAndTouchingRectangles)
{
    Rect a { 0, 0, 100, 100 };
    EXPECT_EQ(a.intersection({ 50, 60, 100, 100 }), (Rect { 50, 60, 50, 40 }));
    EXPECT_TRUE(a.intersects({ 99, 99, 10, 10 }));
    EXPECT_FALSE(a.intersects({ 100, 0, 10, 10 })) << "sharing an edge is not overlapping";
    EXPECT_EQ(a.intersection({ 200, 200, 1, 1 }), Rect::zero());
    EXPECT_TRUE(a.contains(Rect { 0, 0, 100, 100 }));
    EXPECT_FALSE(a.contains(Rect { 1, 1, 100, 10 }));
}

TEST(GeometryTest, NegativeSizesAreReadFromTheOtherCorner)
{
    Rect rect { 100, 100, -50, -20 };
    EXPECT_EQ(rect.minX(), 50);
    EXPECT_EQ(rect.maxY(), 100);
    EXPECT_TRUE(rect.contains(Point { 60, 90 }));
}

TEST(GeometryTest, OffsetAndInsets)
{
    Rect rect { 10, 10, 100, 40 };
    EXPECT_EQ(rect.offsetBy(5, -10), (Rect { 15, 0, 100, 40 }));
    EXPECT_EQ(rect.insetBy(10, 5), (Rect { 20, 15, 80, 30 }));
    EXPECT_EQ(rect.insetBy(60, 0).width(), 0) << "an inset larger than the rectangle leaves it empty";
    EXPECT_EQ(rect.inset({ 1, 2, 3, 4 }), (Rect { 12, 11, 94, 36 }));
    EXPECT_EQ(rect.center(), (Point { 60, 30 }));
}

TEST(GeometryTest, TextForms)
{
    EXPECT_EQ(toString(Rect { 0, -0.0, 320, 0.5 }), "(0, 0, 320, 0.5)");
    EXPECT_EQ(toString(Size { 1.0 / 3, 2 }), "(0.333333 x 2)");
}
