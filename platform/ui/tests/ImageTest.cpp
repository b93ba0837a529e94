#include "platform/ui/Image.h"

#include "platform/foundation/Files.h"
#include "platform/ui/Screen.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

using namespace platform::ui;
using platform::foundation::Files;

namespace {

// A w×h image whose pixel (x, y) is (x, y, 100, 255 - x).
std::shared_ptr<const Image> gradient(int width, int height, double scale = 1)
{
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            pixels.insert(pixels.end(), { std::uint8_t(x), std::uint8_t(y), 100, std::uint8_t(255 - x) });
    }
    return Image::fromPixels(width, height, pixels, scale);
}

// A resource folder with images at several scales, used as the app's bundle for the test.
struct ImageResources : testing::Test {
    testing::TemporaryDirectory folder;

    void SetUp() override
    {
        std::filesystem::create_directories(folder.path() / "images");
        write("images/Logo.png", *gradient(10, 4));
        write("images/Logo@2x.png", *gradient(20, 8));
        write("Plain.png", *gradient(3, 3));
        Files::writeBytes(folder.path() / "Broken.png", { 1, 2, 3 });
        Files::setBundleDirectory(folder.path());
    }

    void TearDown() override { Files::setBundleDirectory({}); }

    void write(const char* name, const Image& image)
    {
        Files::writeBytes(folder.path() / name, image.pngData());
    }
};

}

TEST(ImageTest, PngRoundTripKeepsEveryPixelAndTheScale)
{
    auto original = gradient(7, 5, 2);
    auto data = original->pngData();
    ASSERT_GT(data.size(), 8u);
    EXPECT_EQ(data[1], 'P');
    auto decoded = Image::fromPNGData(data, 2);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->pixels(), original->pixels());
    EXPECT_EQ(decoded->size(), (Size { 3.5, 2.5 }));
    EXPECT_EQ(decoded->pixelColor(3, 4), Color::fromBytes(3, 4, 100, 252 / 255.0));
    EXPECT_EQ(decoded->pixelColor(7, 0), Color::clear());
}

TEST(ImageTest, DataThatIsNotAPngGivesNoImage)
{
    EXPECT_EQ(Image::fromPNGData({}), nullptr);
    EXPECT_EQ(Image::fromPNGData({ 0x89, 'P', 'N', 'G', 1, 2, 3 }), nullptr);
    auto truncated = gradient(4, 4)->pngData();
    truncated.resize(truncated.size() / 2);
    EXPECT_EQ(Image::fromPNGData(truncated), nullptr);
    EXPECT_EQ(Image::fromPixels(2, 2, std::vector<std::uint8_t>(15)), nullptr);
}

TEST(ImageTest, ScalingRedrawsIntoABitmapOfTheNewSize)
{
    auto half = gradient(8, 4)->scaledToSize({ 4, 2 });
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(half->pixelWidth(), 4);
    EXPECT_EQ(half->scale(), 1);
    EXPECT_EQ(half->pixelColor(1, 1), Color::fromBytes(3, 3, 100, 252 / 255.0))
        << "samples the pixel under the centre";
    EXPECT_EQ(gradient(8, 4)->scaledToSize({ 4, 2 }, 2)->pixelWidth(), 8);
}

TEST_F(ImageResources, NamedFindsTheVariantForTheScreenScale)
{
    struct Case {
        double screenScale;
        double imageScale;
    } cases[] = { { 2, 2 }, { 3, 2 }, { 1, 1 } };
    for (auto c : cases) {
        ScopedMainScreen screen(Screen::size320x568, c.screenScale);
        Files::setBundleDirectory(folder.path());
        auto logo = Image::named("Logo");
        ASSERT_NE(logo, nullptr);
        EXPECT_EQ(logo->scale(), c.imageScale) << "screen scale " << c.screenScale;
        EXPECT_EQ(logo->size(), (Size { 10, 4 })) << "the same size in points at every scale";
        EXPECT_EQ(logo->name(), "Logo");
    }
}

TEST_F(ImageResources, NamedKeepsLoadedImagesAndAnswersNullForMissingOnes)
{
    auto first = Image::named("Plain");
    EXPECT_EQ(Image::named("Plain"), first);
    EXPECT_NE(Image::named("Plain.png"), nullptr);
    EXPECT_EQ(Image::named("Missing"), nullptr);
    EXPECT_EQ(Image::named("Broken"), nullptr);
    EXPECT_EQ(Image::named(""), nullptr);

    testing::TemporaryDirectory empty;
    Files::setBundleDirectory(empty.path());
    EXPECT_EQ(Image::named("Plain"), nullptr) << "a new resource folder forgets the images of the old one";
}
