#include "testing/backend/Backend.h"
#include "testing/backend/tests/ReportPackage.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "testing/TemporaryDirectory.h"
#include "testing/server/TestCertificateAuthority.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <string>
#include <vector>

namespace testing {
namespace {

using platform::foundation::Value;

constexpr const char* kReportsPath { "/sdk-api/v1/platforms/ios/apps/com.zorvik.Zorvik/reports" };

const std::string kSignal = "{\"signal\":{\"number\":11}}\n";
const std::string kMetadata = "{\"identity\":{\"session_id\":\"r1\"}}\n";

std::vector<PackagePart> reportParts(const std::string& identifier = "r1")
{
    return { { "api_key", KitService::acceptedAPIKey() }, { "report_id", identifier },
        { "signal.embrecord", gzip(kSignal), "signal.embrecord.gz", "application/x-gzip" },
        { "metadata.embrecord", kMetadata, "metadata.embrecord.gz", "text/plain" } };
}

class CrashReportStoreTest : public ::testing::Test {
protected:
    httplib::Result post(const std::string& body,
        const std::string& contentType = "multipart/form-data; boundary=B0UND",
        const std::string& key = KitService::acceptedAPIKey())
    {
        httplib::Headers headers;
        if (!key.empty())
            headers.emplace("X-Ember-API-Key", key);
        return client.Post(kReportsPath, headers, body, contentType);
    }

    Backend backend;
    httplib::Client client { "127.0.0.1", backend.port() };
};

TEST_F(CrashReportStoreTest, StoresAReportWithItsPartsInflated)
{
    auto answer = post(package(reportParts()));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 201);
    EXPECT_EQ(answer->get_header_value("Content-Type").rfind("application/json", 0), 0u);
    auto body = platform::foundation::parseJson(answer->body).value.dictionary();
    ASSERT_TRUE(body);
    EXPECT_EQ(body->get("report_id"), Value("r1"));
    EXPECT_EQ(body->get("files"), Value(2));

    auto reports = backend.crashReports().reportsWithIdentifier("r1");
    ASSERT_EQ(reports.size(), 1u);
    const auto& report = reports[0];
    EXPECT_EQ(report.apiKey, KitService::acceptedAPIKey());
    EXPECT_EQ(report.platform, "ios");
    EXPECT_EQ(report.app, "com.zorvik.Zorvik");
    ASSERT_EQ(report.files.size(), 2u);
    EXPECT_EQ(report.files[0].name, "signal.embrecord");
    EXPECT_EQ(report.files[0].fileName, "signal.embrecord.gz");
    EXPECT_EQ(report.files[0].data, kSignal);
    ASSERT_TRUE(report.file("metadata.embrecord"));
    EXPECT_EQ(report.file("metadata.embrecord")->data, kMetadata) << "a plain part is kept as sent";
}

TEST_F(CrashReportStoreTest, TakesAnotherBuildsKeyAndGzipTypesInAnyCase)
{
    const std::string otherKey = "another-build-key";
    auto answer
        = post(package({ { "api_key", otherKey }, { "report_id", "r2" },
                   { "signal.embrecord", gzip(kSignal), "signal.embrecord.gz", "Application/X-GZIP" },
                   { "metadata.embrecord", gzip(kMetadata), "metadata.embrecord.gz", "application/gzip" } }),
            "multipart/form-data; boundary=B0UND", otherKey);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 201);

    auto reports = backend.crashReports().reportsWithIdentifier("r2");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].apiKey, otherKey);
    ASSERT_TRUE(reports[0].file("signal.embrecord"));
    EXPECT_EQ(reports[0].file("signal.embrecord")->data, kSignal);
    ASSERT_TRUE(reports[0].file("metadata.embrecord"));
    EXPECT_EQ(reports[0].file("metadata.embrecord")->data, kMetadata);
}

TEST_F(CrashReportStoreTest, KeepsEveryArrivalAndReportsWithoutIdentifier)
{
    ASSERT_EQ(post(package(reportParts("r1")))->status, 201);
    ASSERT_EQ(post(package(reportParts("r1")))->status, 201);
    auto parts = reportParts();
    parts.erase(parts.begin(), parts.begin() + 2);
    auto answer = post(package(parts));
    ASSERT_EQ(answer->status, 201);
    EXPECT_EQ(platform::foundation::parseJson(answer->body).value.dictionary()->get("report_id"), Value());

    EXPECT_EQ(backend.crashReports().reportsWithIdentifier("r1").size(), 2u);
    auto all = backend.crashReports().reports();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_FALSE(all[2].reportId);
    EXPECT_FALSE(all[2].apiKey);
    EXPECT_EQ(all[2].files.size(), 2u);
}

TEST_F(CrashReportStoreTest, RefusesWhatIsNoWholeReport)
{
    auto cut = gzip(kSignal);
    cut.resize(cut.size() - 6);
    struct Case {
        const char* name;
        std::string body;
        std::string contentType;
        std::string key;
        int status;
    };
    const std::string multipart = "multipart/form-data; boundary=B0UND";
    const Case cases[] = {
        { "no key", package(reportParts()), multipart, "", 401 },
        { "a blank key", package(reportParts()), multipart, " ", 401 },
        { "JSON body", R"({"report_id":"r1"})", "application/json", KitService::acceptedAPIKey(), 400 },
        { "another boundary", package(reportParts(), "OTHER"), multipart, KitService::acceptedAPIKey(), 400 },
        { "cut before its end", package(reportParts()).substr(0, 120), multipart,
            KitService::acceptedAPIKey(), 400 },
        { "gzip part that does not inflate",
            package({ { "report_id", "r1" },
                { "signal.embrecord", "plain text", "s.gz", "application/x-gzip" } }),
            multipart, KitService::acceptedAPIKey(), 400 },
        { "gzip part cut short",
            package({ { "report_id", "r1" }, { "signal.embrecord", cut, "s.gz", "application/x-gzip" } }),
            multipart, KitService::acceptedAPIKey(), 400 },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto answer = post(test.body, test.contentType, test.key);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, test.status);
    }
    EXPECT_TRUE(backend.crashReports().reports().empty());
}

TEST(CrashReportStoreTlsTest, ServesReportsOverHttpsWithAGivenIdentity)
{
    TemporaryDirectory folder;
    TestCertificateAuthority authority(folder.path());
    Backend backend(authority.issueServerIdentity("server"));
    EXPECT_EQ(backend.baseUrl(), "https://127.0.0.1:" + std::to_string(backend.port()));

    httplib::SSLClient client("127.0.0.1", backend.port());
    client.set_ca_cert_path(authority.certificateFile().c_str());
    client.enable_server_certificate_verification(true);
    auto answer
        = client.Post(kReportsPath, httplib::Headers { { "X-Ember-API-Key", KitService::acceptedAPIKey() } },
            package(reportParts()), "multipart/form-data; boundary=B0UND");
    ASSERT_TRUE(answer) << httplib::to_string(answer.error());
    EXPECT_EQ(answer->status, 201);
    ASSERT_EQ(backend.crashReports().reports().size(), 1u);
}

}
}
