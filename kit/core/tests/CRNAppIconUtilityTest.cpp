#include "kit/core/CRNAppIconUtility.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/ui/Image.h"

#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kit {
namespace {

using platform::foundation::Array;
using platform::foundation::Bundle;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Files;
using platform::foundation::Value;
using platform::ui::Image;

// SHA-1 of the file as sha1sum, the oracle, gives it.
std::string sha1sum(const std::filesystem::path& path)
{
    testing::ChildProcess tool({ "/usr/bin/sha1sum", path.string() });
    return tool.readAll(std::chrono::seconds(10)).substr(0, 40);
}

DictionaryRef primaryIcon(std::vector<Value> names, std::optional<bool> prerendered = std::nullopt)
{
    auto primary = Dictionary::make({ { "CFBundleIconFiles", Array::make(std::move(names)) } });
    if (prerendered)
        primary->set("UIPrerenderedIcon", *prerendered);
    return Dictionary::make({ { "CFBundlePrimaryIcon", primary } });
}

// A bundle folder of the test's own: icon files of given pixel sizes and an information dictionary.
class CRNAppIconUtilityTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::foundation::Log::setCapture([this](const std::string& line) { m_log.push_back(line); });
    }
    void TearDown() override { platform::foundation::Log::setCapture({}); }

    // A square PNG of `pixels` × `pixels`, a shade of grey that tells the sizes apart.
    void writeIcon(const std::string& name, int pixels)
    {
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(pixels * pixels * 4), 255);
        for (std::size_t i = 0; i < rgba.size(); i += 4)
            rgba[i] = static_cast<std::uint8_t>(pixels);
        auto image = Image::fromPixels(pixels, pixels, rgba);
        ASSERT_TRUE(Files::writeBytes(m_bundle.path() / name, image->pngData()));
    }

    std::shared_ptr<const CRNIcon> iconFor(const DictionaryRef& info)
    {
        EXPECT_TRUE(Files::writeText(
            m_bundle.path() / "Info.plist", *platform::foundation::PropertyList::xml(Value(info))));
        CRNAppIconUtility utility(std::make_shared<const Bundle>(m_bundle.path()));
        auto icon = utility.applicationIcon();
        EXPECT_EQ(utility.applicationIcon(), icon) << "the icon is found once";
        return icon;
    }

    testing::TemporaryDirectory m_bundle;
    std::vector<std::string> m_log;
};

TEST_F(CRNAppIconUtilityTest, TheLargestIconWithinTheAreaLimitIsChosen)
{
    writeIcon("Icon-120.png", 120);
    writeIcon("Icon-152.png", 152);
    writeIcon("Icon-180.png", 180);
    writeIcon("Small.png", 29);
    writeIcon("Small@2x.png", 58);
    writeIcon("App@2x.png", 120);
    writeIcon("App~ipad.png", 76);
    writeIcon("App@2x~ipad.png", 152);
    ASSERT_TRUE(Files::writeText(m_bundle.path() / "Broken.png", "no picture"));
    struct Case {
        std::vector<Value> names;
        double pixels;
    };
    const Case cases[] = {
        { { "Icon-120.png", "Icon-152.png", "Icon-180.png" }, 152 },
        { { "Icon-180.png", "Icon-120.png" }, 120 },
        { { "Icon-152.png", "Icon-120.png" }, 152 },
        { { "Small" }, 58 },
        { { "App" }, 152 },
        { { "Broken.png", "Missing", "Small.png" }, 29 },
        { { "Small.png", Value(7), "Icon-120.PNG" }, 29 },
    };
    for (const auto& c : cases) {
        auto icon = iconFor(Dictionary::make({ { "CFBundleIcons", primaryIcon(c.names) } }));
        ASSERT_TRUE(icon) << c.pixels;
        EXPECT_EQ(icon->size(), (platform::ui::Size { c.pixels, c.pixels }));
    }
}

TEST_F(CRNAppIconUtilityTest, SourcesAreTriedInOrderAndMalformedOnesAreLogged)
{
    writeIcon("Pad.png", 76);
    writeIcon("Phone.png", 60);
    writeIcon("Files.png", 57);
    writeIcon("File.png", 40);
    writeIcon("Icon@2x.png", 114);
    struct Case {
        const char* what;
        DictionaryRef info;
        double pixels;
        std::vector<std::string> log;
    };
    auto all = [](DictionaryRef extra) {
        auto info = Dictionary::make({ { "CFBundleIcons", primaryIcon({ "Phone.png" }) },
            { "CFBundleIconFiles", Array::make({ "Files.png" }) }, { "CFBundleIconFile", "File.png" } });
        info->addEntries(*extra);
        return info;
    };
    const Case cases[] = {
        { "the pad's icons first",
            all(Dictionary::make({ { "CFBundleIcons~ipad", primaryIcon({ "Pad.png" }) } })), 76, {} },
        { "then the phone's", all(Dictionary::make()), 60, {} },
        { "a pad entry that is no dictionary", all(Dictionary::make({ { "CFBundleIcons~ipad", "Pad.png" } })),
            60, { "[Cairn] Info.plist field CFBundleIcons~ipad appears malformed" } },
        { "a primary icon that is no dictionary",
            Dictionary::make({ { "CFBundleIcons", Dictionary::make({ { "CFBundlePrimaryIcon", 1 } }) },
                { "CFBundleIconFiles", Array::make({ "Files.png" }) } }),
            57, { "[Cairn] Info.plist field CFBundlePrimaryIcon appears malformed" } },
        { "icon files that are no list",
            Dictionary::make({ { "CFBundleIcons",
                                   Dictionary::make({ { "CFBundlePrimaryIcon",
                                       Dictionary::make({ { "CFBundleIconFiles", "Phone.png" } }) } }) },
                { "CFBundleIconFile", "File.png" } }),
            40, { "[Cairn] Info.plist field CFBundleIconFiles appears malformed" } },
        { "the top-level icon files",
            Dictionary::make({ { "CFBundleIconFiles", Array::make({ "Files.png" }) } }), 57, {} },
        { "the one icon file", Dictionary::make({ { "CFBundleIconFile", "File" } }), 40, {} },
        { "an icon file that is no text", Dictionary::make({ { "CFBundleIconFile", 3 } }), 114,
            { "[Cairn] Info.plist field CFBundleIconFile appears malformed" } },
        { "the customary names", Dictionary::make(), 114, {} },
    };
    for (const auto& c : cases) {
        m_log.clear();
        auto icon = iconFor(c.info);
        ASSERT_TRUE(icon) << c.what;
        EXPECT_EQ(icon->size().width, c.pixels) << c.what;
        EXPECT_EQ(m_log, c.log) << c.what;
    }
}

TEST_F(CRNAppIconUtilityTest, WithoutAnyIconNoneIsReportedAndThatIsLogged)
{
    writeIcon("Icon-180.png", 180);
    EXPECT_FALSE(iconFor(Dictionary::make({ { "CFBundleIconFiles", Array::make({ "Icon-180.png" }) } })));
    EXPECT_EQ(m_log, std::vector<std::string> { "[Cairn] Unable to locate application icon" });
}

TEST_F(CRNAppIconUtilityTest, TheIconCarriesTheFilesHashAndItsPictureAsPNG)
{
    writeIcon("Icon.png", 100);
    for (bool prerendered : { false, true }) {
        auto icon
            = iconFor(Dictionary::make({ { "CFBundleIcons", primaryIcon({ "Icon.png" }, prerendered) } }));
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->prerendered(), prerendered);
        EXPECT_EQ(icon->dataHash(), sha1sum(m_bundle.path() / "Icon.png"));
        auto picture = Image::fromPNGData(icon->data());
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->pixelWidth(), 100);
        EXPECT_EQ(picture->pixelColor(5, 5),
            Image::fromPNGData(*Files::readBytes(m_bundle.path() / "Icon.png"))->pixelColor(5, 5));
    }
}

TEST_F(CRNAppIconUtilityTest, TheAppReportsItsLargestPadIcon)
{
    CRNAppIconUtility utility(std::make_shared<const Bundle>(std::filesystem::path(ZORVIK_APP_RESOURCES)));
    auto icon = utility.applicationIcon();
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), (platform::ui::Size { 152, 152 }));
    EXPECT_EQ(
        icon->dataHash(), sha1sum(std::filesystem::path(ZORVIK_APP_RESOURCES) / "AppIcon76x76@2x~ipad.png"));
    EXPECT_FALSE(icon->prerendered());
    EXPECT_TRUE(m_log.empty());
}

TEST(CRNIconTest, AreasCompareInPixels)
{
    CRNIcon icon({ 1, 2, 3 }, { 152, 152 });
    EXPECT_EQ(icon.surfaceArea(), 23104);
    EXPECT_TRUE(icon.isWithinMaxSurfaceArea());
    EXPECT_TRUE(icon.prerendered());
    EXPECT_EQ(icon.dataHash(), "7037807198c22a7d2b0807371d763779a84fdfcf");
    EXPECT_TRUE(icon.largerThanSize({ 151, 152 }));
    EXPECT_FALSE(icon.largerThanSize({ 152, 152 }));
    EXPECT_FALSE(CRNIcon({}, { 153, 152 }).isWithinMaxSurfaceArea());
    EXPECT_FALSE(CRNIcon::initWithPNGImageAtPath("/nonexistent.png", { 1, 1 }, false));
}

}
}
