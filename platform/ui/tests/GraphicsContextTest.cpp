#include "platform/ui/GraphicsContext.h"

#include "platform/ui/Image.h"
#include "platform/ui/View.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace platform::ui;

namespace {

// Draws an arc the way a busy spinner does.
class ArcView : public View {
public:
    using View::View;

    void draw(GraphicsContext& context) override
    {
        double centerX = bounds().width() * 0.5;
        context.addArc(
            { centerX, bounds().height() * 0.5 }, centerX - 0.5, 0, 340.0 / 180 * std::numbers::pi, false);
        context.setStrokeColor(colour);
        context.strokePath();
        ++draws;
    }

    Color colour { Color::black() };
    int draws { 0 };
};

}

TEST(GraphicsContextTest, ViewsRecordWhatTheyDrawWhenMarked)
{
    auto view = std::make_shared<ArcView>(Rect { 0, 0, 30, 40 });
    view->displayIfNeeded();
    ASSERT_NE(view->drawing(), nullptr);
    const auto& operations = view->drawing()->operations();
    ASSERT_EQ(operations.size(), 1u);
    const DrawOperation& stroke = operations[0];
    EXPECT_EQ(stroke.kind, DrawOperation::Kind::Stroke);
    EXPECT_EQ(stroke.color, Color::black());
    EXPECT_EQ(stroke.lineWidth, 1);
    ASSERT_EQ(stroke.path.size(), 1u);
    EXPECT_EQ(stroke.path[0].point, (Point { 15, 20 }));
    EXPECT_EQ(stroke.path[0].radius, 14.5);
    EXPECT_DOUBLE_EQ(stroke.path[0].endAngle, 340.0 / 180 * std::numbers::pi);

    view->displayIfNeeded();
    EXPECT_EQ(view->draws, 1) << "nothing is drawn again until the view is marked";
    view->colour = Color::white();
    view->setNeedsDisplay();
    view->displayIfNeeded();
    EXPECT_EQ(view->draws, 2);
    EXPECT_EQ(view->drawing()->operations()[0].color, Color::white());
}

TEST(GraphicsContextTest, StateAndPathsBetweenOperations)
{
    GraphicsContext context({ 10, 10 });
    context.moveTo({ 0, 0 });
    context.addLineTo({ 10, 10 });
    context.setLineWidth(3);
    context.setFillColor(Color::red());
    context.fillRect({ 0, 0, 1, 1 });
    EXPECT_EQ(context.currentPath().size(), 2u) << "filling a rectangle leaves the path being built";
    context.strokePath();
    EXPECT_TRUE(context.currentPath().empty());
    ASSERT_EQ(context.operations().size(), 2u);
    EXPECT_EQ(context.operations()[0].kind, DrawOperation::Kind::Fill);
    EXPECT_EQ(context.operations()[1].lineWidth, 3);
    EXPECT_EQ(context.makeImage(), nullptr) << "a recording context has no pixels";
}

TEST(GraphicsContextTest, BitmapsBlendFillsAndImages)
{
    auto bitmap = GraphicsContext::bitmap({ 4, 2 }, 2);
    bitmap->setFillColor(Color::red());
    bitmap->fillRect({ 0, 0, 2, 2 });
    bitmap->setFillColor(Color::blue().withAlpha(0.5));
    bitmap->fillRect({ 1, 0, 2, 2 });
    auto image = bitmap->makeImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixelWidth(), 8);
    EXPECT_EQ(image->pixelColor(0, 0), Color::red());
    EXPECT_EQ(image->pixelColor(3, 0), Color::fromBytes(128, 0, 128)) << "half blue over red";
    EXPECT_EQ(image->pixelColor(5, 0), Color::blue().withAlpha(0.5)) << "half blue over nothing";
    EXPECT_EQ(image->pixelColor(7, 0), Color::clear());

    auto opaque = GraphicsContext::bitmap({ 1, 1 }, 1, true);
    opaque->drawImage(image, { 0, 0, 1, 1 });
    EXPECT_EQ(opaque->makeImage()->pixelColor(0, 0), Color::fromBytes(127, 127, 255))
        << "the image shrinks onto white, sampled at its centre (half blue)";
}
