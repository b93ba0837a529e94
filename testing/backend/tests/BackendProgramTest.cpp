#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"
#include "testing/backend/KitService.h"
#include "testing/backend/tests/ReportPackage.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace testing {
namespace {

using namespace std::chrono_literals;
using platform::foundation::Value;

// The zorvik-backend program run with `arguments`.
ChildProcess startBackend(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), ZORVIK_BACKEND_PROGRAM);
    return ChildProcess(std::move(arguments));
}

// The first line the program writes, waiting up to five seconds ("" when none came).
std::string firstLine(ChildProcess& program)
{
    return program.readLine(5s).value_or("");
}

// The port in "listening on 127.0.0.1:PORT", or 0.
int portOf(const std::string& line)
{
    const std::string prefix = "listening on 127.0.0.1:";
    return line.rfind(prefix, 0) == 0 ? std::atoi(line.c_str() + prefix.size()) : 0;
}

// A port that was free a moment ago.
int freePort()
{
    int descriptor = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length);
    close(descriptor);
    return ntohs(address.sin_port);
}

Value getJson(int port, const char* path)
{
    httplib::Client http("127.0.0.1", port);
    auto answer = http.Get(path);
    return answer && answer->status == 200 ? platform::foundation::parseJson(answer->body).value : Value();
}

TEST(BackendProgramTest, ServesOnAnEphemeralPortUntilStopped)
{
    struct Case {
        const char* name;
        std::function<void(ChildProcess&)> stop;
    };
    const Case stops[] = {
        { "standard input closed", [](ChildProcess& program) { program.closeInput(); } },
        { "SIGTERM", [](ChildProcess& program) { program.signal(SIGTERM); } },
        { "SIGINT", [](ChildProcess& program) { program.signal(SIGINT); } },
    };
    for (const auto& test : stops) {
        SCOPED_TRACE(test.name);
        auto program = startBackend({ "--port", "0", "--watch-stdin" });
        ASSERT_TRUE(program.started());
        auto port = portOf(firstLine(program));
        ASSERT_GT(port, 0);
        auto configuration = getJson(port, "/").dictionary();
        ASSERT_TRUE(configuration);
        EXPECT_EQ(configuration->get("redirectUrl"),
            Value("http://127.0.0.1:" + std::to_string(port) + "/upgrade"));
        test.stop(program);
        EXPECT_EQ(program.wait(30s), 0);
    }
}

TEST(BackendProgramTest, ServesOnAGivenPort)
{
    auto wanted = freePort();
    auto program = startBackend({ "--port", std::to_string(wanted) });
    ASSERT_TRUE(program.started());
    ASSERT_EQ(portOf(firstLine(program)), wanted);

    httplib::Client http("127.0.0.1", wanted);
    auto created = http.Post(
        "/api/freelancers", R"({"email":"sam@example.com","password":"1234"})", "application/json");
    ASSERT_TRUE(created);
    EXPECT_EQ(created->status, 200);
    EXPECT_EQ(platform::foundation::parseJson(created->body).value.dictionary()->get("email"),
        Value("sam@example.com"));
    auto duplicate
        = http.Post("/api/freelancers", R"({"email":"sam@example.com","password":"1"})", "application/json");
    ASSERT_TRUE(duplicate);
    EXPECT_EQ(duplicate->status, 422);
    auto hits = getJson(wanted, "/companies?search_term=kestrel%20point").array();
    ASSERT_TRUE(hits);
    EXPECT_EQ(hits->size(), 1u);
    EXPECT_EQ(getJson(wanted, "/").dictionary()->get("redirectUrl"),
        Value("http://127.0.0.1:" + std::to_string(wanted) + "/upgrade"));

    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(30s), 0);
}

// The zorvik-backend program run with `arguments`, its standard error going where its output goes.
ChildProcess startBackendWithErrors(const std::vector<std::string>& arguments)
{
    std::string command = "exec \"$0\" \"$@\" 2>&1";
    std::vector<std::string> shell { "/bin/sh", "-c", command, ZORVIK_BACKEND_PROGRAM };
    shell.insert(shell.end(), arguments.begin(), arguments.end());
    return ChildProcess(std::move(shell));
}

TEST(BackendProgramTest, RefusesBadArgumentsSayingWhatIsWrong)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string error;
    };
    const Case refused[] = {
        { { "--port" }, "--port needs a value" },
        { { "--port", "70000" }, "--port takes a number from 0 to 65535, not \"70000\"" },
        { { "--port", "12ab" }, "--port takes a number from 0 to 65535, not \"12ab\"" },
        { { "--port=80" }, "unknown argument --port=80" },
        { { "--verbose" }, "unknown argument --verbose" },
        { { "--account" }, "--account needs a value" },
        { { "--account", "ann@x.com" }, "--account takes E-MAIL:PIN, not \"ann@x.com\"" },
        { { "--account", "ann@x.com:" }, "--account takes E-MAIL:PIN, not \"ann@x.com:\"" },
        { { "--account", ":1234" }, "--account takes E-MAIL:PIN, not \":1234\"" },
        { { "--account", "ann@x.com:1234", "--account", "ANN@x.com:5678" },
            "cannot open the account ANN@x.com" },
    };
    for (const auto& test : refused) {
        SCOPED_TRACE(test.arguments.back());
        auto program = startBackendWithErrors(test.arguments);
        ASSERT_TRUE(program.started());
        EXPECT_EQ(program.readLine(5s), "zorvik-backend: " + test.error);
        EXPECT_EQ(program.wait(30s), 2);
    }
}

TEST(BackendProgramTest, HelpTellsTheOptionsAndStops)
{
    for (const char* help : { "--help", "-h" }) {
        auto program = startBackend({ help });
        ASSERT_TRUE(program.started());
        auto text = program.readAll(5s);
        EXPECT_TRUE(text.starts_with("usage: zorvik-backend [--port N]")) << text;
        for (const char* option : { "--port", "--watch-stdin", "--account", "--log", "--reports", "--fail" })
            EXPECT_NE(text.find("\n  " + std::string(option) + " "), std::string::npos) << option;
        EXPECT_EQ(program.wait(30s), 0);
    }
}

TEST(BackendProgramTest, RefusesAPortAnotherProgramServes)
{
    auto first = startBackend({ "--port", "0", "--watch-stdin" });
    int port = portOf(firstLine(first));
    ASSERT_NE(port, 0);

    auto second = startBackendWithErrors({ "--port", std::to_string(port), "--watch-stdin" });
    EXPECT_EQ(second.readLine(5s),
        "zorvik-backend: cannot listen on 127.0.0.1:" + std::to_string(port)
            + " (does another program serve it?)");
    EXPECT_EQ(second.wait(10s), 1) << "the second program does not share the port";

    EXPECT_TRUE(getJson(port, "/").dictionary()) << "the first program still serves";
    first.closeInput();
    EXPECT_EQ(first.wait(30s), 0);
}

TEST(BackendProgramTest, OpensEachAccountReadyToLogIn)
{
    auto program = startBackend({ "--port", "0", "--watch-stdin", "--account", "ann@zorvik.test:2468",
        "--account", "bob@zorvik.test:1357" });
    int port = portOf(firstLine(program));
    ASSERT_NE(port, 0);
    httplib::Client http("127.0.0.1", port);
    for (const char* account : { R"({"email": "ann@zorvik.test", "password": "2468"})",
             R"({"email": "bob@zorvik.test", "password": "1357"})" }) {
        auto login = http.Post("/api/freelancers/login", account, "application/json");
        ASSERT_TRUE(login);
        ASSERT_EQ(login->status, 200) << account;
        auto answer = platform::foundation::parseJson(login->body).value.dictionary();
        auto base = "/api/freelancers/" + std::to_string(*answer->get("userId").integer()) + "/business";
        httplib::Headers token { { "Authorization", *answer->get("id").string() } };
        auto business = http.Get(base, token);
        ASSERT_TRUE(business);
        EXPECT_EQ(business->status, 200);
        auto id = *platform::foundation::parseJson(business->body).value.dictionary()->get("id").integer();
        for (const char* child : { "/vat-registration", "/bank-account" }) {
            auto record = http.Get(base + "/" + std::to_string(id) + child, token);
            ASSERT_TRUE(record);
            EXPECT_EQ(record->status, 200) << child;
        }
    }
    auto wrong = http.Post(
        "/api/freelancers/login", R"({"email": "ann@zorvik.test", "password": "1357"})", "application/json");
    ASSERT_TRUE(wrong);
    EXPECT_EQ(wrong->status, 401);
    program.closeInput();
    EXPECT_EQ(program.wait(30s), 0);
}

TEST(BackendProgramTest, ServesTheKitServiceThroughItsRelay)
{
    auto program = startBackend({ "--port", std::to_string(freePort()), "--watch-stdin" });
    int port = portOf(firstLine(program));
    ASSERT_NE(port, 0);
    httplib::Client http("127.0.0.1", port);
    httplib::Headers key { { "X-Ember-API-Key", KitService::acceptedAPIKey() } };
    std::string form
        = "MIME-Version: 1.0\r\n"
          "--K\r\nContent-Disposition: form-data; name=\"app[identifier]\"\r\n\r\ncom.zorvik.Zorvik\r\n"
          "--K\r\nContent-Disposition: form-data; name=\"app[instance_identifier]\"\r\n\r\nab\r\n"
          "--K\r\nContent-Disposition: form-data; name=\"app[build_version]\"\r\n\r\n1\r\n"
          "--K--\r\n";
    auto created = http.Post("/spi/v1/platforms/ios/apps", key, form, "multipart/form-data; boundary=K");
    ASSERT_TRUE(created);
    EXPECT_EQ(created->status, 201);
    auto settings
        = http.Get("/spi/v2/platforms/ios/apps/com.zorvik.Zorvik/settings?build_version=1&instance=ab", key);
    ASSERT_TRUE(settings);
    auto app = platform::foundation::parseJson(settings->body).value.dictionary()->get("app").dictionary();
    ASSERT_TRUE(app);
    EXPECT_EQ(app->get("status"), Value("activated"));
    EXPECT_EQ(app->get("update_required"), Value(false));
    program.closeInput();
    EXPECT_EQ(program.wait(30s), 0);
}

}
}

namespace testing {
namespace {

TEST(BackendProgramTest, LogsEachAnswerWithoutQueryOrBody)
{
    TemporaryDirectory folder;
    auto log = folder.path() / "requests.log";
    auto program = startBackend({ "--port", "0", "--watch-stdin", "--log", log.string() });
    int port = portOf(firstLine(program));
    ASSERT_NE(port, 0);
    httplib::Client http("127.0.0.1", port);
    ASSERT_TRUE(
        http.Post("/api/freelancers/login", R"({"email": "x@y.z", "password": "9876"})", "application/json"));
    ASSERT_TRUE(http.Get("/companies?search_term=secret"));
    program.closeInput();
    EXPECT_EQ(program.wait(30s), 0);
    std::ifstream file(log);
    std::string text(std::istreambuf_iterator<char>(file), {});
    EXPECT_EQ(text, "POST /api/freelancers/login 401\nGET /companies 200\n");
    EXPECT_EQ(text.find("9876"), std::string::npos);

    auto unwritable = startBackend({ "--port", "0", "--log", (folder.path() / "missing" / "log").string() });
    EXPECT_EQ(unwritable.wait(30s), 1);
    auto reportsInAFile = startBackend({ "--port", "0", "--reports", log.string() });
    EXPECT_EQ(reportsInAFile.wait(30s), 1) << "no report could be kept, so the program does not serve";
    EXPECT_EQ(startBackend({ "--log" }).wait(30s), 2);
}

}
}

namespace testing {
namespace {

TEST(BackendProgramTest, WritesReportsAsFilesAndFailsTheRoutesItIsTold)
{
    TemporaryDirectory folder;
    auto reports = folder.path() / "reports";
    // Port 0: the program picks a free one and names it on its first line, so no other program can take it
    // in between.
    auto program = startBackend({ "--port", "0", "--watch-stdin", "--reports", reports.string(), "--fail",
        "POST", "/sdk-api/v1/platforms/:platform/apps/:app/reports", "503", "1", "--fail", "GET",
        "/companies", "500" });
    ASSERT_TRUE(program.started());
    int port = portOf(firstLine(program));
    ASSERT_NE(port, 0);

    httplib::Client http("127.0.0.1", port);
    httplib::Headers key { { "X-Ember-API-Key", KitService::acceptedAPIKey() } };
    const std::string signal = "{\"signal\":{\"number\":11}}\n";
    auto body = package({ { "report_id", "7d3c" },
        { "signal.embrecord", gzip(signal), "signal.embrecord.gz", "application/x-gzip" },
        { "metadata.embrecord", "{}\n", "metadata.embrecord.gz", "text/plain" } });
    const char* path = "/sdk-api/v1/platforms/ios/apps/com.zorvik.Zorvik/reports";
    auto failed = http.Post(path, key, body, "multipart/form-data; boundary=B0UND");
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->status, 503) << "the first upload is failed";
    EXPECT_FALSE(std::filesystem::exists(reports / "7d3c"));
    auto stored = http.Post(path, key, body, "multipart/form-data; boundary=B0UND");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->status, 201);
    for (int i = 0; i < 2; ++i) {
        auto search = http.Get("/companies?search_term=kestrel");
        ASSERT_TRUE(search);
        EXPECT_EQ(search->status, 500) << "a hook without a count stays";
    }
    program.closeInput();
    EXPECT_EQ(program.wait(30s), 0);

    auto read = [](const std::filesystem::path& file) {
        std::ifstream input(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(input), {});
    };
    EXPECT_EQ(read(reports / "7d3c" / "signal.embrecord"), signal);
    EXPECT_EQ(read(reports / "7d3c" / "metadata.embrecord"), "{}\n");
}

TEST(BackendProgramTest, RefusesBadFailuresAndReports)
{
    const std::vector<std::string> refused[] = { { "--fail", "POST", "/x" },
        { "--fail", "POST", "/x", "abc" }, { "--fail", "POST", "/x", "99" }, { "--fail", "POST", "x", "500" },
        { "--reports" }, { "--reports", "" }, { "--fail", "POST", "/x", "500", "0" },
        { "--reports", "a", "--reports", "b" }, { "--log", "a", "--log", "b" } };
    for (const auto& arguments : refused) {
        SCOPED_TRACE(arguments.back());
        auto program = startBackend(arguments);
        ASSERT_TRUE(program.started());
        EXPECT_EQ(program.wait(30s), 2);
    }
}

}
}
