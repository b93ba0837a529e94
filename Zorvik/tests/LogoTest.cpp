#include "Zorvik/RESTAPI/Logo.h"

#include "Zorvik/DeviceStorage/SDK.h"
#include "Zorvik/tests/DeviceStorageFixture.h"
#include "platform/foundation/MainQueue.h"
#include "platform/outside/PhotoUpload.h"
#include "platform/ui/Image.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::Bytes;
using platform::foundation::mainQueue;
using platform::http::HttpError;
using platform::ui::Image;

// A picture whose left half is red and right half blue.
std::shared_ptr<const Image> picture(int width, int height, double scale = 1)
{
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool left = x < width / 2;
            rgba.insert(rgba.end(), { std::uint8_t(left ? 255 : 0), 0, std::uint8_t(left ? 0 : 255), 255 });
        }
    }
    return Image::fromPixels(width, height, std::move(rgba), scale);
}

// A PNG read by libpng itself: its size and RGBA pixels (empty when it is no PNG).
struct DecodedPng {
    int width { 0 };
    int height { 0 };
    std::vector<std::uint8_t> rgba;

    explicit DecodedPng(const std::string& bytes)
    {
        png_image png {};
        png.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size()))
            return;
        png.format = PNG_FORMAT_RGBA;
        rgba.resize(PNG_IMAGE_SIZE(png));
        if (!png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr)) {
            rgba.clear();
            return;
        }
        width = int(png.width);
        height = int(png.height);
    }

    std::uint8_t red(int x, int y) const
    {
        return rgba[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4];
    }
};

// What the blocks of one save reported.
struct SaveOutcome {
    std::vector<std::string> urls;
    std::vector<HttpError> errors;

    Logo::SuccessBlock success()
    {
        return [this](const std::string& url) { urls.push_back(url); };
    }
    Logo::FailureBlock failure()
    {
        return [this](const HttpError& error) { errors.push_back(error); };
    }
    void settle()
    {
        mainQueue().runUntil([this] { return urls.size() + errors.size() > 0; });
        mainQueue().runUntilIdle();
    }
};

class LogoTest : public DeviceStorageTest {
protected:
    ::testing::Backend m_backend;
    Logo m_logo { SDK::sdk().fs(),
        std::make_shared<platform::outside::PhotoUpload>(m_backend.baseUrl(), "test-access", "test-secret"),
        m_backend.baseUrl() };
};

TEST_F(LogoTest, APictureIsUploadedAtHalfItsSizeAndKeptOnTheSignedInUser)
{
    struct Case {
        int pixels;
        double scale;
        int uploadedPixels;
    };
    for (const Case& test : { Case { 640, 1, 320 }, Case { 640, 2, 160 }, Case { 101, 1, 51 } }) {
        SCOPED_TRACE(std::to_string(test.pixels) + " pixels at scale " + std::to_string(test.scale));
        std::string earlier = signIn("amy@example.com").logoURL();
        SaveOutcome outcome;
        m_logo.saveWithImage(
            picture(test.pixels, test.pixels, test.scale), outcome.success(), outcome.failure());
        EXPECT_EQ(UserStore::sharedStore().fetchActiveUser()->logoURL(), earlier)
            << "stored only after success";
        outcome.settle();

        ASSERT_EQ(outcome.urls.size(), 1u);
        EXPECT_TRUE(outcome.errors.empty());
        auto upload = m_backend.lastRequest().value();
        const std::string prefix = m_backend.url("/qz-image-uploads/");
        ASSERT_EQ(outcome.urls[0].rfind(prefix, 0), 0u) << outcome.urls[0];
        auto stored = m_backend.state().photo(outcome.urls[0].substr(prefix.size()));
        EXPECT_EQ(stored.raw, upload.body);

        DecodedPng png(upload.body);
        EXPECT_EQ(png.width, test.uploadedPixels);
        EXPECT_EQ(png.height, test.uploadedPixels);
        ASSERT_FALSE(png.rgba.empty());
        EXPECT_EQ(png.red(0, 0), 255);
        EXPECT_EQ(png.red(png.width - 1, png.height - 1), 0);

        UserStore::resetSharedStore();
        auto amy = UserStore::sharedStore().fetchActiveUser();
        EXPECT_EQ(amy->logoURL(), outcome.urls[0]);
        EXPECT_EQ(amy->logoImage(), Bytes(upload.body.begin(), upload.body.end()));

        std::vector<std::shared_ptr<const Image>> loaded;
        m_logo.load([&](std::shared_ptr<const Image> image) { loaded.push_back(image); },
            [](const HttpError&) { ADD_FAILURE() << "load never fails"; });
        ASSERT_EQ(loaded.size(), 1u) << "load answers before it returns";
        ASSERT_NE(loaded[0], nullptr);
        EXPECT_EQ(loaded[0]->size(),
            (platform::ui::Size { double(test.uploadedPixels), double(test.uploadedPixels) }));
        EXPECT_EQ(loaded[0]->scale(), 1);
    }
}

TEST_F(LogoTest, AFailedUploadLeavesTheEarlierLogo)
{
    DeviceUser amy = signIn("amy@example.com");
    amy.setLogoURL("http://example.test/qz-image-uploads/earlier");
    amy.setLogoImage(picture(4, 4)->pngData());
    UserStore::sharedStore().updateStore();

    m_backend.failRoute("POST", "/qz-image-uploads", 500, 1);
    SaveOutcome outcome;
    m_logo.saveWithImage(picture(640, 640), outcome.success(), outcome.failure());
    outcome.settle();

    EXPECT_TRUE(outcome.urls.empty());
    ASSERT_EQ(outcome.errors.size(), 1u);
    EXPECT_EQ(outcome.errors[0].statusCode(), 500);
    UserStore::resetSharedStore();
    auto stored = UserStore::sharedStore().fetchActiveUser();
    EXPECT_EQ(stored->logoURL(), "http://example.test/qz-image-uploads/earlier");
    EXPECT_EQ(stored->logoImage(), picture(4, 4)->pngData());
}

TEST_F(LogoTest, AnUploadEndingAfterItsUserSignedOutIsStoredNowhere)
{
    struct Case {
        const char* name;
        bool signedIn;
        std::function<void()> meanwhile;
    };
    const std::vector<Case> cases {
        { "signed out", true, [] { signOut(); } },
        { "another user signed in", true,
            [] {
                signOut();
                signIn("ben@example.com");
            } },
        { "nobody was signed in", false, [] {} },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        if (test.signedIn)
            signIn("amy@example.com");
        SaveOutcome outcome;
        m_logo.saveWithImage(picture(64, 64), outcome.success(), outcome.failure());
        test.meanwhile();
        outcome.settle();

        EXPECT_TRUE(outcome.urls.empty());
        EXPECT_EQ(outcome.errors.size(), 1u);
        for (auto email : { "amy@example.com", "ben@example.com" }) {
            if (auto user = UserStore::sharedStore().fetchUserWithUsername(email)) {
                EXPECT_TRUE(user->logoURL().empty()) << email;
                EXPECT_TRUE(user->logoImage().empty()) << email;
            }
        }
        if (UserStore::sharedStore().fetchActiveUser())
            signOut();
    }
}

TEST_F(LogoTest, WithoutAStoredLogoLoadAnswersNullAtOnce)
{
    std::vector<std::shared_ptr<const Image>> loaded;
    auto remember = [&](std::shared_ptr<const Image> image) { loaded.push_back(image); };
    auto never = [](const HttpError&) { ADD_FAILURE() << "load never fails"; };
    m_logo.load(remember, never);
    signIn("amy@example.com");
    m_logo.load(remember, never);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0], nullptr);
    EXPECT_EQ(loaded[1], nullptr);
}

}
}
