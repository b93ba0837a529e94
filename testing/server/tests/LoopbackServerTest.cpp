#include "testing/server/LoopbackServer.h"

#include "platform/foundation/Dictionary.h"
#include "testing/TemporaryDirectory.h"
#include "testing/server/TestCertificateAuthority.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <future>

using platform::foundation::Dictionary;
using platform::foundation::Value;
using testing::LoopbackServer;
using testing::ServerRequest;
using testing::ServerResponse;

namespace {

class LoopbackServerTest : public ::testing::Test {
protected:
    httplib::Result get(const std::string& path) { return client.Get(path.c_str()); }

    LoopbackServer server;
    httplib::Client client { "127.0.0.1", server.port() };
};

TEST_F(LoopbackServerTest, RoutesByMethodAndPatternAndRecordsTheRequest)
{
    server.route("POST", "/api/freelancers/:id/business", [](const ServerRequest& request) {
        auto echo
            = Dictionary::make({ { "freelancer", request.parameter("id") }, { "sent", request.json() } });
        return ServerResponse::json(201, echo);
    });
    httplib::Headers headers { { "Authorization", "token" } };
    auto result = client.Post("/api/freelancers/42/business?x=a%20b&y=%5B1%5D&flag", headers,
        R"({"name":"Ann"})", "application/json");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 201);
    EXPECT_EQ(result->get_header_value("Content-Type"), "application/json");
    EXPECT_EQ(result->body, R"({"freelancer":"42","sent":{"name":"Ann"}})");

    ASSERT_EQ(server.requestCount(), 1u);
    ServerRequest request = *server.lastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/api/freelancers/42/business");
    EXPECT_EQ(request.rawQuery, "x=a%20b&y=%5B1%5D&flag");
    ServerRequest::Pairs query { { "x", "a b" }, { "y", "[1]" }, { "flag", "" } };
    EXPECT_EQ(request.query, query);
    EXPECT_EQ(request.header("authorization"), "token");
    EXPECT_EQ(request.body, R"({"name":"Ann"})");
    EXPECT_EQ(request.parameter("id"), "42");
}

TEST_F(LoopbackServerTest, KeepsAMultipartBodyAsItWasSent)
{
    server.route("*", "/upload", [](const ServerRequest& request) {
        return ServerResponse::text(200, request.body, request.header("Content-Type").value_or(""));
    });
    using namespace std::string_literals;
    // A preamble, a binary part and a cut closing boundary: a form reader would refuse or rewrite it.
    const std::string body = "MIME-Version: 1.0\r\n--B\r\nContent-Disposition: form-data; name=\"a\"; "
                             "filename=\"a.bin\"\r\n\r\n\x00\x01\r\n--B-"s;
    for (auto method : { "POST", "PUT" }) {
        auto type = "multipart/form-data; boundary=B";
        auto result = std::string(method) == "POST" ? client.Post("/upload", body, type)
                                                    : client.Put("/upload", body, type);
        ASSERT_TRUE(result) << method;
        EXPECT_EQ(result->body, body) << method;
        EXPECT_EQ(result->get_header_value("Content-Type"), type) << method;
        EXPECT_EQ(server.lastRequest()->body, body) << method;
    }
}

TEST_F(LoopbackServerTest, MatchesPatternsSegmentBySegment)
{
    server.route("GET", "/api/freelancers/:id",
        [](const ServerRequest& r) { return ServerResponse::text(200, "one " + r.parameter("id")); });
    server.route("*", "/files/*",
        [](const ServerRequest& r) { return ServerResponse::text(200, "files " + r.method); });
    server.route("GET", "/api/freelancers/login",
        [](const ServerRequest&) { return ServerResponse::text(200, "log-in"); });
    server.route("GET", "/api/*", [](const ServerRequest&) { return ServerResponse::text(200, "api"); });
    server.route("PUT", "/files/:name",
        [](const ServerRequest& r) { return ServerResponse::text(200, "file " + r.parameter("name")); });
    struct Case {
        const char* method;
        const char* path;
        int status;
        const char* body;
    };
    const Case cases[] = {
        { "GET", "/api/freelancers/7", 200, "one 7" },
        { "GET", "/api/freelancers/login", 200, "log-in" },
        { "GET", "/api/freelancers/7/", 200, "api" },
        { "GET", "/api", 200, "api" },
        { "POST", "/api/freelancers/7", 404, nullptr },
        { "DELETE", "/files/a/b/c", 200, "files DELETE" },
        { "PUT", "/files/a", 200, "file a" },
        { "PUT", "/files/", 200, "file " },
        { "GET", "/filesx", 404, nullptr },
    };
    for (const auto& testCase : cases) {
        httplib::Request request;
        request.method = testCase.method;
        request.path = testCase.path;
        auto result = client.send(request);
        ASSERT_TRUE(result) << testCase.method << " " << testCase.path;
        EXPECT_EQ(result->status, testCase.status) << testCase.method << " " << testCase.path;
        EXPECT_EQ(result->body, testCase.body ? testCase.body : R"({"error":"not found"})");
    }
}

TEST_F(LoopbackServerTest, ScriptedAnswersTakePrecedenceInOrder)
{
    server.route("GET", "/a", [](const ServerRequest&) { return ServerResponse::text(200, "first route"); });
    server.route(
        "GET", "/a", [](const ServerRequest&) { return ServerResponse::text(200, "replacing route"); });
    server.script("GET", "/a", ServerResponse::text(500, "always"));
    server.script("GET", "/a", ServerResponse::text(503, "twice"), 2);
    server.scriptNext(ServerResponse::text(418, "next"), 1);

    std::vector<std::string> bodies;
    for (int index = 0; index < 5; ++index)
        bodies.push_back(get("/a")->body);
    EXPECT_EQ(bodies, (std::vector<std::string> { "next", "twice", "twice", "always", "always" }));

    server.clearScripts();
    EXPECT_EQ(get("/a")->body, "replacing route");
    EXPECT_EQ(server.requestCount(), 6u);
    server.clearRequests();
    EXPECT_EQ(server.requestCount(), 0u);
    EXPECT_EQ(server.lastRequest(), std::nullopt);
}

TEST_F(LoopbackServerTest, ScriptedAnswersCarryHeadersAndEmptyBodies)
{
    ServerResponse answer = ServerResponse::empty(204);
    answer.headers.emplace_back("Retry-After", "30");
    server.scriptNext(answer);
    auto result = get("/x");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 204);
    EXPECT_EQ(result->body, "");
    EXPECT_EQ(result->get_header_value("Retry-After"), "30");
}

TEST_F(LoopbackServerTest, ADelayedAnswerComesAfterItsDelay)
{
    server.scriptNext(ServerResponse::text(200, "late").delayed(0.2));
    auto started = std::chrono::steady_clock::now();
    auto result = get("/slow");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->body, "late");
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200));
}

TEST_F(LoopbackServerTest, ADroppedConnectionGivesNoAnswer)
{
    server.scriptNext(ServerResponse::dropped());
    auto result = get("/dropped");
    EXPECT_FALSE(result);
    EXPECT_EQ(server.requestCount(), 1u);
    auto next = get("/dropped");
    ASSERT_TRUE(next);
    EXPECT_EQ(next->status, 404);
}

TEST_F(LoopbackServerTest, WaitsForRequestsFromOtherThreads)
{
    auto sent = std::async(std::launch::async, [port = server.port()] {
        httplib::Client other("127.0.0.1", port);
        other.Get("/one");
        other.Get("/two");
    });
    EXPECT_TRUE(server.waitForRequests(2));
    sent.get();
    EXPECT_FALSE(server.waitForRequests(3, std::chrono::milliseconds(20)));
}

TEST_F(LoopbackServerTest, ListensOnlyOn127001)
{
    EXPECT_EQ(server.baseUrl(), "http://127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(server.url("/api"), server.baseUrl() + "/api");
    httplib::Client elsewhere("127.0.0.2", server.port());
    elsewhere.set_connection_timeout(std::chrono::milliseconds(500));
    EXPECT_FALSE(elsewhere.Get("/"));
}

TEST_F(LoopbackServerTest, StopsPromptlyWithAnOpenConnectionAndAPendingDelay)
{
    client.set_keep_alive(true);
    ASSERT_TRUE(get("/warm"));
    server.scriptNext(ServerResponse::text(200, "never").delayed(30));
    auto waiting = std::async(std::launch::async, [port = server.port()] {
        httplib::Client other("127.0.0.1", port);
        return bool(other.Get("/held"));
    });
    ASSERT_TRUE(server.waitForRequests(2));
    auto started = std::chrono::steady_clock::now();
    server.stop();
    server.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    waiting.get();
    EXPECT_FALSE(get("/after"));
}

TEST(LoopbackServerTlsTest, ServesHttpsWithAnIdentityFromATestAuthority)
{
    testing::TemporaryDirectory folder;
    testing::TestCertificateAuthority authority(folder.path());
    LoopbackServer server(authority.issueServerIdentity("server"));
    EXPECT_EQ(server.baseUrl(), "https://127.0.0.1:" + std::to_string(server.port()));
    server.scriptNext(ServerResponse::text(200, "secure"));

    httplib::SSLClient trusting("127.0.0.1", server.port());
    trusting.set_ca_cert_path(authority.certificateFile().c_str());
    trusting.enable_server_certificate_verification(true);
    auto result = trusting.Get("/");
    ASSERT_TRUE(result) << httplib::to_string(result.error());
    EXPECT_EQ(result->body, "secure");

    httplib::SSLClient untrusting("127.0.0.1", server.port());
    untrusting.enable_server_certificate_verification(true);
    untrusting.set_ca_cert_path("/nonexistent");
    EXPECT_FALSE(untrusting.Get("/"));

    EXPECT_FALSE(authority.certificateDer().empty());
    EXPECT_NE(authority.certificatePem().find("BEGIN CERTIFICATE"), std::string::npos);
}

}
