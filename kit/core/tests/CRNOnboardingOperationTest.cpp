#include "kit/core/CRNOnboardingOperation.h"

#include "kit/core/CRNApplicationIdentiferModel.h"
#include "kit/core/CRNNetworkClient.h"
#include "kit/core/CRNNetworkResponseHandler.h"
#include "kit/core/EMBMachO.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/PropertyList.h"
#include "platform/ui/Image.h"

#include "testing/TemporaryDirectory.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace kit {
namespace {

using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;
using platform::foundation::Error;
using platform::foundation::Files;
using platform::foundation::mainQueue;
using platform::foundation::Value;

constexpr const char* kAppsPath { "/spi/v1/platforms/ios/apps" };

class RecordingDelegate : public CRNOnboardingOperationDelegate {
public:
    void onboardingOperationDidCompleteAppCreation(
        CRNOnboardingOperation&, const std::optional<Error>& error) override
    {
        record("create", error);
    }
    void onboardingOperationDidCompleteAppUpdate(
        CRNOnboardingOperation&, const std::optional<Error>& error) override
    {
        record("update", error);
    }

    std::vector<std::string> calls() const
    {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    std::optional<Error> error() const
    {
        std::lock_guard lock(m_mutex);
        return m_error;
    }

private:
    void record(const char* what, const std::optional<Error>& error)
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(what);
        m_error = error;
    }

    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
    std::optional<Error> m_error;
};

// An app bundle with a 120-pixel icon, identified by the fat Mach-O fixture, onboarding against the local
// back-end's kit service.
class CRNOnboardingOperationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto info
            = Dictionary::make({ { "CFBundleIdentifier", "com.zorvik.Zorvik" }, { "CFBundleName", "Zorvik" },
                { "CFBundleVersion", "7" }, { "CFBundleShortVersionString", "0.1.0" },
                { "CFBundleIconFiles", platform::foundation::Array::make({ "AppIcon.png" }) } });
        ASSERT_TRUE(Files::writeText(
            m_bundle.path() / "Info.plist", *platform::foundation::PropertyList::xml(Value(info))));
        std::vector<std::uint8_t> pixels(120 * 120 * 4, 200);
        ASSERT_TRUE(Files::writeBytes(
            m_bundle.path() / "AppIcon.png", platform::ui::Image::fromPixels(120, 120, pixels)->pngData()));
        Files::setBundleDirectory(m_bundle.path());
        auto file = EMBMachOFile::initWithPath(std::filesystem::path(ZORVIK_MACHO_FIXTURES) / "tiny-fat");
        ASSERT_TRUE(file);
        m_model = CRNApplicationIdentiferModel::initWithInstallID("INSTALL", *file);
        ASSERT_TRUE(m_model);
    }
    void TearDown() override { Files::setBundleDirectory({}); }

    std::shared_ptr<CRNOnboardingOperation> operation(
        bool create, std::string key = testing::KitService::acceptedAPIKey())
    {
        return std::make_shared<CRNOnboardingOperation>(m_delegate, create, std::move(key),
            CRNKitVersions { { "com.cairn.ember.ios", "3.7.0" }, { "io.cairn.sdk.ios", "1.6.5" } }, m_model,
            m_backend.baseUrl(), m_client);
    }

    // Runs `operation` to its end, moving the clock on over every back-off wait.
    void run(const std::shared_ptr<CRNOnboardingOperation>& operation)
    {
        operation->start();
        while (!operation->isFinished()) {
            ASSERT_TRUE(mainQueue().runUntil(
                [&] { return operation->isFinished() || mainQueue().pendingCount() > 0; }));
            if (!operation->isFinished())
                mainQueue().advance(3600);
        }
    }

    testing::TemporaryDirectory m_bundle;
    testing::Backend m_backend;
    std::shared_ptr<const CRNApplicationIdentiferModel> m_model;
    std::shared_ptr<RecordingDelegate> m_delegate { std::make_shared<RecordingDelegate>() };
    std::shared_ptr<CRNNetworkClient> m_client { CRNNetworkClient::create() };
};

TEST_F(CRNOnboardingOperationTest, ACreateSendsTheAppsFormInOrder)
{
    auto create = operation(true);
    run(create);
    EXPECT_EQ(m_delegate->calls(), std::vector<std::string> { "create" });
    EXPECT_FALSE(m_delegate->error());
    EXPECT_FALSE(create->error());

    auto request = m_backend.lastRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "POST");
    EXPECT_EQ(request->path, kAppsPath);
    EXPECT_EQ(request->header("Content-Length"), std::to_string(request->body.size()));
    EXPECT_TRUE(request->body.starts_with("MIME-Version: 1.0\r\n"));

    auto uploads = m_backend.kit().uploads();
    ASSERT_EQ(uploads->size(), 1u);
    std::vector<std::string> fields;
    for (const auto& field : *uploads->at(0).dictionary()->get("fields").array()) {
        auto part = field.dictionary();
        fields.push_back(part->get("name").stringValue() + "="
            + (part->contains("value")
                    ? part->get("value").stringValue()
                    : part->get("file_name").stringValue() + " " + part->get("content_type").stringValue()));
    }
    const auto& uuids = m_model->architectureUUIDMap();
    std::vector<std::string> expected { "app[identifier]=com.zorvik.Zorvik",
        "app[instance_identifier]=" + m_model->instanceIdentifier(), "app[name]=Zorvik",
        "app[build_version]=7", "app[display_version]=0.1.0", "app[source]=1",
        "app[minimum_sdk_version]=8.4.0", "app[built_sdk_version]=9.0.0",
        "app[build][libraries][com.cairn.ember.ios]=3.7.0", "app[build][libraries][io.cairn.sdk.ios]=1.6.5",
        "app[slices][][arch]=arm64", "app[slices][][uuid]=" + uuids.at("arm64"), "app[slices][][arch]=x86_64",
        "app[slices][][uuid]=" + uuids.at("x86_64"), "app[icon][hash]=" + m_model->icon()->dataHash(),
        "app[icon][prerendered]=false", "app[icon][width]=120", "app[icon][height]=120",
        "app[icon][data]=icon.png image/png" };
    EXPECT_EQ(fields, expected);

    auto icon = m_backend.kit().app("ios", "com.zorvik.Zorvik")->get("icon").dictionary();
    ASSERT_TRUE(icon);
    auto picture = platform::ui::Image::fromPNGData(*icon->get("data").bytes());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pixelWidth(), 120);
}

TEST_F(CRNOnboardingOperationTest, AnUpdatePutsTheFormToTheAppsRecord)
{
    m_backend.kit().setApp("ios", "com.zorvik.Zorvik", Dictionary::make({ { "build_version", "6" } }));
    run(operation(false));
    EXPECT_EQ(m_delegate->calls(), std::vector<std::string> { "update" });
    EXPECT_FALSE(m_delegate->error());
    EXPECT_EQ(m_backend.lastRequest()->method, "PUT");
    EXPECT_EQ(m_backend.lastRequest()->path, std::string(kAppsPath) + "/com.zorvik.Zorvik");
    EXPECT_EQ(m_backend.kit().app("ios", "com.zorvik.Zorvik")->get("build_version"), Value("7"));
}

TEST_F(CRNOnboardingOperationTest, ACreateIsTriedElevenTimesAnUpdateTwice)
{
    m_backend.failRoute("*", "/spi/*", 503);
    struct Case {
        bool create;
        std::size_t tries;
    };
    for (auto [create, tries] : { Case { true, 11 }, Case { false, 2 } }) {
        m_backend.clearRequests();
        run(operation(create));
        EXPECT_EQ(m_backend.requests().size(), tries) << create;
        auto error = m_delegate->error();
        ASSERT_TRUE(error) << create;
        EXPECT_EQ(error->code(), CRNNetworkResponseHandler::kRetryLimitReachedCode) << create;
        EXPECT_EQ(error->userInfo()->get("status_code"), Value(503)) << create;
    }
    EXPECT_EQ(m_delegate->calls(), (std::vector<std::string> { "create", "update" }));
}

TEST_F(CRNOnboardingOperationTest, ARefusedKeyIsAClientErrorAtOnce)
{
    m_backend.kit().setRequiredAPIKey(::testing::KitService::acceptedAPIKey());
    auto create = operation(true, "not-the-key");
    run(create);
    EXPECT_EQ(m_backend.requests().size(), 1u);
    ASSERT_TRUE(create->error());
    EXPECT_EQ(create->error()->code(), CRNNetworkResponseHandler::kClientErrorCode);
    EXPECT_EQ(create->error()->userInfo()->get("status_code"), Value(401));
    EXPECT_TRUE(m_backend.kit().apps()->empty());
}

TEST_F(CRNOnboardingOperationTest, AnOperationWhoseClientHasGoneEndsWithAnError)
{
    auto create = operation(true);
    m_client.reset();
    create->start();
    EXPECT_TRUE(create->isFinished());
    ASSERT_TRUE(m_delegate->error());
    EXPECT_EQ(m_delegate->error()->code(), CRNNetworkResponseHandler::kNoTaskCode);
    EXPECT_TRUE(m_backend.requests().empty());
}

}
}
