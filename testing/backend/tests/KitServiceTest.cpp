#include "testing/backend/Backend.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <string>
#include <utility>
#include <vector>

namespace testing {
namespace {

using platform::foundation::Array;
using platform::foundation::Dictionary;
using platform::foundation::Value;

using Fields = std::vector<std::pair<std::string, std::string>>;

constexpr const char* kSettingsPath { "/spi/v2/platforms/ios/apps/com.zorvik.Zorvik/settings" };
constexpr const char* kAppsPath { "/spi/v1/platforms/ios/apps" };
constexpr const char* kAppPath { "/spi/v1/platforms/ios/apps/com.zorvik.Zorvik" };

// The fields of an app with two slices, two kits and an icon, in the order the kit platform sends them.
Fields appFields(std::string build = "7", std::string instance = "1f0c", std::string iconHash = "9a9a")
{
    Fields fields { { "app[identifier]", "com.zorvik.Zorvik" }, { "app[instance_identifier]", instance },
        { "app[name]", "Zorvik" }, { "app[build_version]", build }, { "app[display_version]", "0.1.0" },
        { "app[source]", "1" }, { "app[minimum_sdk_version]", "8.4.0" },
        { "app[built_sdk_version]", "9.0.0" }, { "app[build][libraries][com.cairn.ember.ios]", "3.7.0" },
        { "app[build][libraries][io.cairn.sdk.ios]", "1.6.5" }, { "app[slices][][arch]", "arm64" },
        { "app[slices][][uuid]", "aa11" }, { "app[slices][][arch]", "x86_64" },
        { "app[slices][][uuid]", "bb22" } };
    if (!iconHash.empty()) {
        fields.insert(fields.end(),
            { { "app[icon][hash]", iconHash }, { "app[icon][prerendered]", "false" },
                { "app[icon][width]", "152" }, { "app[icon][height]", "152" } });
    }
    return fields;
}

// A multipart body as the kit platform's encoder writes it: the MIME-Version preamble, the text parts,
// then the icon's file part when the fields have an icon hash.
std::string multipart(const Fields& fields)
{
    std::string body = "MIME-Version: 1.0\r\n";
    bool icon = false;
    for (const auto& [name, value] : fields) {
        body += "--K\r\nContent-Disposition: form-data; name=\"" + name
            + "\"\r\nContent-Type: text/plain\r\n\r\n" + value + "\r\n";
        icon = icon || name == "app[icon][hash]";
    }
    if (icon) {
        body += "--K\r\nContent-Disposition: form-data; name=\"app[icon][data]\"; filename=\"icon.png\"\r\n"
                "Content-Type: image/png\r\nContent-Transfer-Encoding: binary\r\n\r\n\x89PNG\r\n\x1a\n\r\n";
    }
    return body + "--K--\r\n";
}

class KitServiceTest : public ::testing::Test {
protected:
    struct Answer {
        int status { 0 };
        Value body;
        std::string contentType;
    };

    Answer answer(const httplib::Result& result)
    {
        if (!result)
            return {};
        return { result->status, platform::foundation::parseJson(result->body).value,
            result->get_header_value("Content-Type") };
    }

    Answer settings(const std::string& query = "?build_version=7&display_version=0.1.0&instance=1f0c"
                                               "&icon_hash=9a9a&source=1",
        const std::string& key = KitService::acceptedAPIKey())
    {
        return answer(http.Get(kSettingsPath + query, headers(key)));
    }

    Answer upload(const std::string& method, const std::string& path, const std::string& body,
        const std::string& key = KitService::acceptedAPIKey())
    {
        const char* type = "multipart/form-data; boundary=K";
        return answer(method == "POST" ? http.Post(path, headers(key), body, type)
                                       : http.Put(path, headers(key), body, type));
    }

    static httplib::Headers headers(const std::string& key)
    {
        if (key.empty())
            return {};
        return { { "X-Ember-API-Key", key } };
    }

    static Value appStatus(const Answer& answer)
    {
        auto body = answer.body.dictionary();
        return body ? body->get("app") : Value();
    }

    Backend backend;
    httplib::Client http { "127.0.0.1", backend.port() };
};

TEST_F(KitServiceTest, AnUnknownAppIsNewBesideTheSettingsDocument)
{
    auto answer = settings();
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.contentType, "application/json");
    EXPECT_EQ(appStatus(answer), Value(Dictionary::make({ { "status", "new" } })));
    auto document = KitService::defaultSettings().dictionary();
    // The analytics section also names where the app uploads its event logs.
    auto analytics = document->get("analytics").dictionary();
    analytics->set("url", backend.url("/sdk-api/v1/platforms/ios/apps/com.zorvik.Zorvik/analytics"));
    for (const auto& [key, value] : document->entries())
        EXPECT_EQ(answer.body.dictionary()->get(key), value) << key;
}

TEST_F(KitServiceTest, AKeyIsRequiredButAnotherBuildsKeyIsTaken)
{
    for (std::string key : { std::string(), std::string(" ") }) {
        EXPECT_EQ(settings("", key).status, 401) << '"' << key << '"';
        EXPECT_EQ(upload("POST", kAppsPath, multipart(appFields()), key).status, 401) << '"' << key << '"';
        EXPECT_EQ(upload("PUT", kAppPath, multipart(appFields()), key).status, 401) << '"' << key << '"';
    }
    EXPECT_TRUE(backend.kit().apps()->empty());
    EXPECT_FALSE(KitService::acceptedAPIKey().empty());

    // An app built elsewhere carries a key of its own.
    std::string otherKey = "0f" + std::string(38, 'a');
    EXPECT_EQ(settings("", otherKey).status, 200);
    EXPECT_EQ(upload("POST", kAppsPath, multipart(appFields()), otherKey).status, 201);
    EXPECT_EQ(upload("PUT", kAppPath, multipart(appFields()), otherKey).status, 200);

    // A test may make the service know one key only, for every kit route.
    backend.kit().setRequiredAPIKey(KitService::acceptedAPIKey());
    EXPECT_EQ(settings("", otherKey).status, 401);
    EXPECT_EQ(upload("PUT", kAppPath, multipart(appFields()), otherKey).status, 401);
    httplib::Headers other { { "X-Ember-API-Key", otherKey } };
    for (const char* path : { "/sdk-api/v1/platforms/ios/apps/com.zorvik.Zorvik/reports",
             "/sdk-api/v1/platforms/ios/apps/com.zorvik.Zorvik/analytics" }) {
        auto refused = http.Post(path, other, "--K--\r\n", "multipart/form-data; boundary=K");
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->status, 401) << path;
    }
    EXPECT_EQ(settings().status, 200);
}

TEST_F(KitServiceTest, ACreatedAppIsKeptAsItsFormDescribesIt)
{
    auto created = upload("POST", kAppsPath, multipart(appFields()));
    ASSERT_EQ(created.status, 201);

    auto record = backend.kit().app("ios", "com.zorvik.Zorvik");
    ASSERT_TRUE(record);
    for (auto [key, value] :
        { std::pair { "identifier", "com.zorvik.Zorvik" }, std::pair { "instance_identifier", "1f0c" },
            std::pair { "name", "Zorvik" }, std::pair { "build_version", "7" },
            std::pair { "display_version", "0.1.0" }, std::pair { "source", "1" },
            std::pair { "minimum_sdk_version", "8.4.0" }, std::pair { "built_sdk_version", "9.0.0" } })
        EXPECT_EQ(record->get(key), Value(value)) << key;
    EXPECT_EQ(record->get("libraries"),
        Value(Dictionary::make({ { "com.cairn.ember.ios", "3.7.0" }, { "io.cairn.sdk.ios", "1.6.5" } })));
    EXPECT_EQ(record->get("slices"),
        Value(Array::make({ Dictionary::make({ { "arch", "arm64" }, { "uuid", "aa11" } }),
            Dictionary::make({ { "arch", "x86_64" }, { "uuid", "bb22" } }) })));
    auto icon = record->get("icon").dictionary();
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->get("hash"), Value("9a9a"));
    EXPECT_EQ(icon->get("prerendered"), Value(false));
    EXPECT_EQ(icon->get("width"), Value(152));
    EXPECT_EQ(icon->get("file_name"), Value("icon.png"));
    EXPECT_EQ(icon->get("content_type"), Value("image/png"));
    std::string png = "\x89PNG\r\n\x1a\n";
    EXPECT_EQ(icon->get("data"), Value(platform::foundation::Bytes(png.begin(), png.end())));
    // The answer shows the icon's size, not its bytes.
    EXPECT_EQ(created.body.dictionary()->get("icon").dictionary()->get("data"), Value(8));

    auto uploads = backend.kit().uploads();
    ASSERT_EQ(uploads->size(), 1u);
    auto fields = uploads->at(0).dictionary()->get("fields").array();
    EXPECT_EQ(fields->size(), appFields().size() + 1);
    EXPECT_EQ(fields->at(0),
        Value(Dictionary::make({ { "name", "app[identifier]" }, { "value", "com.zorvik.Zorvik" } })));
    EXPECT_EQ(fields->last(),
        Value(Dictionary::make({ { "name", "app[icon][data]" }, { "file_name", "icon.png" },
            { "content_type", "image/png" }, { "size", 8 } })));
}

TEST_F(KitServiceTest, AKnownAppNeedsAnUpdateWhenItsBuildInstanceOrIconDiffers)
{
    ASSERT_EQ(upload("POST", kAppsPath, multipart(appFields())).status, 201);
    struct Case {
        const char* query;
        bool updateRequired;
    };
    const Case cases[] = {
        { "?build_version=7&instance=1f0c&icon_hash=9a9a", false },
        { "?build_version=8&instance=1f0c&icon_hash=9a9a", true },
        { "?build_version=7&instance=2e0d&icon_hash=9a9a", true },
        { "?build_version=7&instance=1f0c&icon_hash=0b0b", true },
        { "?build_version=7&instance=1f0c", true },
        { "?instance=1f0c&icon_hash=9a9a", true },
    };
    for (const auto& c : cases) {
        auto answer = settings(c.query);
        EXPECT_EQ(answer.status, 200) << c.query;
        EXPECT_EQ(appStatus(answer),
            Value(Dictionary::make({ { "status", "activated" }, { "update_required", c.updateRequired } })))
            << c.query;
    }

    // An app without an icon matches a request without a hash.
    ASSERT_EQ(upload("PUT", kAppPath, multipart(appFields("7", "1f0c", ""))).status, 200);
    EXPECT_EQ(appStatus(settings("?build_version=7&instance=1f0c")).dictionary()->get("update_required"),
        Value(false));
    EXPECT_FALSE(backend.kit().app("ios", "com.zorvik.Zorvik")->contains("icon"));
}

TEST_F(KitServiceTest, CreateAndUpdateAnswerForTheRecordTheyFind)
{
    EXPECT_EQ(upload("PUT", kAppPath, multipart(appFields())).status, 404);
    EXPECT_EQ(upload("POST", kAppsPath, multipart(appFields())).status, 201);
    EXPECT_EQ(upload("POST", kAppsPath, multipart(appFields("9"))).status, 422);
    EXPECT_EQ(backend.kit().app("ios", "com.zorvik.Zorvik")->get("build_version"), Value("7"));

    auto updated = upload("PUT", kAppPath, multipart(appFields("9", "3c3c")));
    EXPECT_EQ(updated.status, 200);
    EXPECT_EQ(updated.body.dictionary()->get("build_version"), Value("9"));
    EXPECT_EQ(backend.kit().app("ios", "com.zorvik.Zorvik")->get("instance_identifier"), Value("3c3c"));
    EXPECT_EQ(backend.kit().uploads()->size(), 2u);
    // Apps are kept per platform.
    EXPECT_EQ(backend.kit().app("android", "com.zorvik.Zorvik"), nullptr);
}

TEST_F(KitServiceTest, AFormThatCannotMakeARecordIsABadRequest)
{
    auto without = [](const std::string& name) {
        auto fields = appFields();
        std::erase_if(fields, [&](const auto& field) { return field.first == name; });
        return multipart(fields);
    };
    auto lonely = appFields();
    lonely.emplace_back("app[slices][][arch]", "armv7");
    std::string body = multipart(appFields());
    struct Case {
        const char* what;
        std::string body;
    };
    const Case cases[] = {
        { "no form", R"({"app": {}})" },
        { "a cut form", body.substr(0, body.size() - 9) },
        { "no identifier", without("app[identifier]") },
        { "a slice without its UUID", multipart(lonely) },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(upload("POST", kAppsPath, c.body).status, 400) << c.what;
        EXPECT_EQ(upload("PUT", kAppPath, c.body).status, 400) << c.what;
    }
    ASSERT_EQ(upload("POST", kAppsPath, body).status, 201);
    EXPECT_EQ(upload("PUT", "/spi/v1/platforms/ios/apps/com.other.App", body).status, 400);
    EXPECT_EQ(backend.kit().uploads()->size(), 1u);
}

TEST_F(KitServiceTest, AnAppThatCannotReadItsExecutableLeavesItsInstanceOut)
{
    // Without a readable executable the kit platform has no instance identifier and no SDK versions: the
    // form lacks those fields and the settings query lacks "instance".
    auto fields = appFields("7", "1f0c", "");
    std::erase_if(fields, [](const auto& field) {
        return field.first == "app[instance_identifier]" || field.first.ends_with("sdk_version]");
    });
    ASSERT_EQ(upload("POST", kAppsPath, multipart(fields)).status, 201);
    EXPECT_EQ(backend.kit().app("ios", "com.zorvik.Zorvik")->get("instance_identifier"), Value(""));

    EXPECT_EQ(appStatus(settings("?build_version=7&display_version=0.1.0&source=1")),
        Value(Dictionary::make({ { "status", "activated" }, { "update_required", false } })));
    EXPECT_EQ(appStatus(settings("?build_version=7&instance=1f0c")).dictionary()->get("update_required"),
        Value(true));
}

TEST_F(KitServiceTest, ATestReplacesTheSettingsButNotTheAppStatus)
{
    backend.kit().setSettings(
        Dictionary::make({ { "analytics", Dictionary::make({ { "sampling_rate", 10 } }) },
            { "app", Dictionary::make({ { "status", "activated" } }) } }));
    auto answer = settings();
    EXPECT_EQ(answer.body.dictionary()->get("analytics").dictionary()->get("sampling_rate"), Value(10));
    EXPECT_EQ(answer.body.dictionary()->get("analytics").dictionary()->get("url"),
        Value(backend.url("/sdk-api/v1/platforms/ios/apps/com.zorvik.Zorvik/analytics")));
    EXPECT_FALSE(answer.body.dictionary()->contains("features"));
    EXPECT_EQ(appStatus(answer), Value(Dictionary::make({ { "status", "new" } })));

    backend.kit().setApp("ios", "com.zorvik.Zorvik",
        Dictionary::make({ { "build_version", "7" }, { "instance_identifier", "1f0c" } }));
    EXPECT_EQ(appStatus(settings("?build_version=7&instance=1f0c")).dictionary()->get("update_required"),
        Value(false));

    // An app that reached the service by another name is sent back to that name.
    auto named = http.Get("/spi/v2/platforms/ios/apps/com.zorvik.Zorvik/settings",
        { { "X-Ember-API-Key", KitService::acceptedAPIKey() }, { "Host", "kits.test:8080" } });
    ASSERT_TRUE(named);
    auto namedSettings = platform::foundation::parseJson(named->body).value.dictionary();
    auto namedAnalytics = namedSettings->get("analytics").dictionary();
    EXPECT_EQ(namedAnalytics->get("url"),
        Value("http://kits.test:8080/sdk-api/v1/platforms/ios/apps/com.zorvik.Zorvik/analytics"));

    // A URL the test gives is kept.
    backend.kit().setSettings(
        Dictionary::make({ { "analytics", Dictionary::make({ { "url", "http://elsewhere.test/e" } }) } }));
    EXPECT_EQ(settings().body.dictionary()->get("analytics").dictionary()->get("url"),
        Value("http://elsewhere.test/e"));
}

}
}
