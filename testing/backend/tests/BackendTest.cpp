#include "testing/backend/Backend.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "testing/backend/tests/BackendClient.h"

#include <gtest/gtest.h>

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace testing {
namespace {

using platform::foundation::Array;
using platform::foundation::Date;
using platform::foundation::Dictionary;
using platform::foundation::Value;

// Whether `text` is a date in the server's pattern, written in UTC.
bool isServerDate(const std::string& text)
{
    const std::string shape = "dddd-dd-ddTdd:dd:dd.ddd+0000";
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i])
            return false;
    }
    return true;
}

class BackendTest : public ::testing::Test {
protected:
    // A signed-up, logged-in freelancer with a business.
    struct Account {
        std::int64_t id { 0 };
        std::string token;
        std::int64_t businessId { 0 };
        std::string freelancerPath;
        std::string businessPath;
    };

    Account makeAccount(std::string_view email)
    {
        Account account;
        std::tie(account.id, account.token) = client.signUp(email);
        account.freelancerPath = "/api/freelancers/" + std::to_string(account.id);
        auto business = client.send("POST", account.freelancerPath + "/business",
            Dictionary::make({ { "name", "Amberly Joinery Ltd" }, { "registration_number", "07431982" } }),
            account.token);
        EXPECT_EQ(business.status, 200);
        account.businessId = business["id"].integerValue();
        account.businessPath = account.freelancerPath + "/business/" + std::to_string(account.businessId);
        return account;
    }

    BackendAnswer sendInvoice(const Account& account, std::string_view reference)
    {
        auto invoice = Dictionary::make({ { "description", "Fitted kitchen" }, { "reference", reference },
            { "net_amount", 120000 }, { "gross_amount", 144000 }, { "payment_term", 30 } });
        return client.send("POST", account.businessPath + "/invoices", invoice, account.token);
    }

    BackendAnswer liveInvoices(const Account& account)
    {
        return client.send("GET", account.businessPath + "/invoices",
            Dictionary::make({ { "filter[where][is_deleted]", 0 } }), account.token);
    }

    Backend backend;
    BackendClient client { backend };
};

TEST_F(BackendTest, CreatesAccountsWithUniqueEmails)
{
    auto created = client.send("POST", "/api/freelancers",
        Dictionary::make({ { "email", "sam@example.com" }, { "password", "1234" } }));
    EXPECT_EQ(created.status, 200);
    EXPECT_GT(created["id"].integerValue(), 0);
    EXPECT_EQ(created["email"], Value("sam@example.com"));
    EXPECT_FALSE(created.object()->contains("password"));

    struct Case {
        const char* name;
        Value body;
        int status;
    };
    const Case refused[] = {
        { "same e-mail in other case",
            Dictionary::make({ { "email", "Sam@Example.com" }, { "password", "9" } }), 422 },
        { "no password", Dictionary::make({ { "email", "kim@example.com" } }), 400 },
        { "empty e-mail", Dictionary::make({ { "email", "" }, { "password", "1234" } }), 400 },
        { "no e-mail", Dictionary::make({ { "password", "1234" } }), 400 },
    };
    for (const auto& test : refused) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(client.send("POST", "/api/freelancers", test.body).status, test.status);
    }
    EXPECT_EQ(backend.freelancers()->size(), 1u);
}

TEST_F(BackendTest, LogInAnswersATokenAndTheUserId)
{
    auto created = client.send("POST", "/api/freelancers",
        Dictionary::make({ { "email", "sam@example.com" }, { "password", "1234" } }));
    auto credentials = Dictionary::make({ { "email", "sam@example.com" }, { "password", "1234" } });
    auto first = client.send("POST", "/api/freelancers/login", credentials);
    auto second = client.send("POST", "/api/freelancers/login", credentials);
    ASSERT_EQ(first.status, 200);
    EXPECT_EQ(first["userId"], created["id"]);
    ASSERT_TRUE(first["id"].string());
    EXPECT_FALSE(first["id"].string()->empty());
    EXPECT_NE(first["id"], second["id"]);
    EXPECT_TRUE(isServerDate(first["created"].stringValue()));

    struct Case {
        const char* email;
        const char* password;
    };
    for (auto [email, password] :
        { Case { "sam@example.com", "4321" }, Case { "nobody@example.com", "1234" } }) {
        SCOPED_TRACE(email);
        auto refused = client.send("POST", "/api/freelancers/login",
            Dictionary::make({ { "email", email }, { "password", password } }));
        EXPECT_EQ(refused.status, 401);
    }
}

TEST_F(BackendTest, FreelancerRoutesNeedTheFreelancersOwnToken)
{
    auto sam = makeAccount("sam@example.com");
    auto kim = makeAccount("kim@example.com");
    struct Case {
        const char* method;
        std::string path;
        Value body;
    };
    const Case routes[] = {
        { "GET", sam.freelancerPath, {} },
        { "GET", sam.freelancerPath + "/business", {} },
        { "PUT", sam.businessPath, Dictionary::make({ { "name", "Taken over" } }) },
        { "POST", sam.businessPath + "/bank-account", Dictionary::make() },
        { "GET", sam.businessPath + "/vat-registration", {} },
        { "POST", sam.businessPath + "/invoices", Dictionary::make({ { "reference", "001" } }) },
        { "POST", sam.businessPath + "/invoices", Array::make() },
        { "GET", sam.businessPath + "/invoices", {} },
    };
    for (const auto& route : routes) {
        SCOPED_TRACE(std::string(route.method) + " " + route.path);
        EXPECT_EQ(client.send(route.method, route.path, route.body).status, 401);
        EXPECT_EQ(client.send(route.method, route.path, route.body, "not-a-token").status, 401);
        EXPECT_EQ(client.send(route.method, route.path, route.body, kim.token).status, 401);
    }
    EXPECT_EQ(client.send("GET", sam.freelancerPath, {}, sam.token)["email"], Value("sam@example.com"));
    EXPECT_EQ(backend.invoices()->size(), 0u);
    EXPECT_EQ(backend.businesses()->at(0).dictionary()->get("name"), Value("Amberly Joinery Ltd"));
}

TEST_F(BackendTest, BusinessIsCreatedOnceReadAndMerged)
{
    auto [id, token] = client.signUp("sam@example.com");
    auto path = "/api/freelancers/" + std::to_string(id) + "/business";
    EXPECT_EQ(client.send("GET", path, {}, token).status, 404);

    auto business = Dictionary::make({ { "name", "Copperfinch Software Ltd" }, { "town", "London" },
        { "invoices", Array::make({ Dictionary::make({ { "id", 1 } }) }) } });
    auto created = client.send("POST", path, business, token);
    ASSERT_EQ(created.status, 200);
    EXPECT_EQ(created["name"], Value("Copperfinch Software Ltd"));
    EXPECT_FALSE(created.object()->contains("invoices"));
    auto businessId = created["id"];
    EXPECT_EQ(client.send("POST", path, business, token).status, 422);

    auto read = client.send("GET", path, {}, token);
    EXPECT_EQ(read.status, 200);
    EXPECT_TRUE(read.object()->equals(*created.object()));

    auto logo = Dictionary::make({ { "logo", backend.url("/qz-image-uploads/abc") } });
    for (const auto& target : { path, path + "/" + businessId.stringValue() }) {
        SCOPED_TRACE(target);
        auto updated = client.send("PUT", target, logo, token);
        EXPECT_EQ(updated.status, 200);
        EXPECT_EQ(updated["logo"], logo->get("logo"));
        EXPECT_EQ(updated["town"], Value("London"));
        EXPECT_EQ(updated["id"], businessId);
    }
    auto otherId = std::to_string(businessId.integerValue() + 100);
    EXPECT_EQ(client.send("GET", path + "/" + otherId, {}, token).status, 404);
    EXPECT_EQ(client.send("PUT", path + "/" + otherId, logo, token).status, 404);
}

TEST_F(BackendTest, VATRegistrationAndBankAccountAreSingularChildren)
{
    auto account = makeAccount("sam@example.com");
    struct Case {
        const char* relation;
        const char* key;
        Value value;
        // The creating body: an empty record, or none at all (as some clients send an empty record).
        Value emptyRecord;
    };
    const Case children[] = {
        { "/vat-registration", "registration_number", "GB123456789", Dictionary::make() },
        { "/bank-account", "sort_code", "12-34-56", Value() },
    };
    for (const auto& child : children) {
        SCOPED_TRACE(child.relation);
        auto path = account.businessPath + child.relation;
        EXPECT_EQ(client.send("GET", path, {}, account.token).status, 404);
        EXPECT_EQ(
            client.send("PUT", path, Dictionary::make({ { child.key, child.value } }), account.token).status,
            404);

        auto created = client.send("POST", path, child.emptyRecord, account.token);
        ASSERT_EQ(created.status, 200);
        auto childId = created["id"].stringValue();
        EXPECT_EQ(client.send("POST", path, Dictionary::make(), account.token).status, 422);

        auto updated
            = client.send("PUT", path, Dictionary::make({ { child.key, child.value } }), account.token);
        EXPECT_EQ(updated.status, 200);
        EXPECT_EQ(updated[child.key], child.value);
        EXPECT_EQ(updated["id"], created["id"]);
        auto byId = client.send(
            "PUT", path + "/" + childId, Dictionary::make({ { "extra", true } }), account.token);
        EXPECT_EQ(byId[child.key], child.value);
        EXPECT_EQ(byId["extra"], Value(true));
        EXPECT_EQ(client.send("GET", path + "/" + childId + "0", {}, account.token).status, 404);
        EXPECT_EQ(client.send("GET", path, {}, account.token)[child.key], child.value);
    }
    auto stored = backend.businesses()->at(0).dictionary();
    EXPECT_EQ(stored->get("freelancerId"), Value(account.id));
    EXPECT_EQ(stored->get("bank-account").dictionary()->get("sort_code"), Value("12-34-56"));
}

TEST_F(BackendTest, InvoiceLifecycle)
{
    auto account = makeAccount("sam@example.com");
    auto empty = liveInvoices(account);
    ASSERT_EQ(empty.status, 200);
    ASSERT_TRUE(empty.list());
    EXPECT_TRUE(empty.list()->empty());

    auto invoice = Dictionary::make({ { "description", "Fitted kitchen" }, { "reference", "INV-001" },
        { "id", 999 }, { "sent", "1999-01-01T00:00:00.000+0000" } });
    auto sent = client.send("POST", account.businessPath + "/invoices", invoice, account.token);
    ASSERT_EQ(sent.status, 200);
    EXPECT_NE(sent["id"], Value(999));
    EXPECT_EQ(sent["description"], Value("Fitted kitchen"));
    EXPECT_TRUE(isServerDate(sent["sent"].stringValue()));
    auto folders = sent["folders"].array();
    ASSERT_TRUE(folders);
    ASSERT_EQ(folders->size(), 1u);
    EXPECT_EQ(folders->at(0).dictionary()->get("name"), Value("todo"));
    EXPECT_EQ(folders->at(0).dictionary()->get("date"), sent["sent"]);
    auto second = sendInvoice(account, "INV-002");

    auto listed = liveInvoices(account);
    ASSERT_EQ(listed.list()->size(), 2u);
    EXPECT_EQ(listed.list()->at(0).dictionary()->get("id"), second["id"]);
    EXPECT_TRUE(listed.list()->at(1).dictionary()->equals(*sent.object()));

    auto invoicePath = account.businessPath + "/invoices/" + sent["id"].stringValue();
    EXPECT_TRUE(client.send("GET", invoicePath, {}, account.token).object()->equals(*sent.object()));

    auto moved = folders->shallowCopy();
    moved->append(Dictionary::make({ { "name", "done" } }));
    auto update = Dictionary::make({ { "id", sent["id"] }, { "sent", sent["sent"] }, { "folders", moved } });
    auto updated = client.send("PUT", invoicePath, update, account.token);
    ASSERT_EQ(updated.status, 200);
    EXPECT_EQ(updated["description"], Value("Fitted kitchen"));
    auto updatedFolders = updated["folders"].array();
    ASSERT_EQ(updatedFolders->size(), 2u);
    EXPECT_EQ(updatedFolders->at(1).dictionary()->get("name"), Value("done"));
    EXPECT_TRUE(isServerDate(updatedFolders->at(1).dictionary()->get("date").stringValue()));

    auto deleted = client.send("DELETE", invoicePath, {}, account.token);
    EXPECT_EQ(deleted.status, 200);
    EXPECT_EQ(deleted["count"], Value(1));
    auto remaining = liveInvoices(account);
    ASSERT_EQ(remaining.list()->size(), 1u);
    EXPECT_EQ(remaining.list()->at(0).dictionary()->get("id"), second["id"]);
    auto all = client.send("GET", account.businessPath + "/invoices", {}, account.token);
    EXPECT_EQ(all.list()->size(), 2u);
    auto gone = client.send("GET", account.businessPath + "/invoices",
        Dictionary::make({ { "filter[where][is_deleted]", 1 } }), account.token);
    ASSERT_EQ(gone.list()->size(), 1u);
    EXPECT_EQ(gone.list()->at(0).dictionary()->get("is_deleted"), Value(true));

    for (const char* method : { "GET", "PUT", "DELETE" }) {
        SCOPED_TRACE(method);
        EXPECT_EQ(client
                      .send(method, invoicePath, method == std::string("PUT") ? Value(update) : Value(),
                          account.token)
                      .status,
            404);
    }
}

TEST_F(BackendTest, InvoiceRulesAndMissingResources)
{
    auto account = makeAccount("sam@example.com");
    auto kim = makeAccount("kim@example.com");
    auto sent = sendInvoice(account, "INV-001");
    EXPECT_EQ(sendInvoice(account, "INV-001").status, 422);
    EXPECT_EQ(sendInvoice(kim, "INV-001").status, 200);
    EXPECT_EQ(sendInvoice(account, "").status, 200);
    EXPECT_EQ(sendInvoice(account, "").status, 200);

    for (const Value& body : { Value(), Value(Array::make()), Value("text") }) {
        EXPECT_EQ(client.send("POST", account.businessPath + "/invoices", body, account.token).status, 400);
        EXPECT_EQ(client.send("PUT", account.businessPath, body, account.token).status, 400);
    }
    auto invoices = account.businessPath + "/invoices/";
    auto badFolders = Dictionary::make({ { "folders", Array::make({ "todo" }) } });
    EXPECT_EQ(client.send("PUT", invoices + sent["id"].stringValue(), badFolders, account.token).status, 400);

    struct Case {
        const char* method;
        std::string path;
        std::string token;
    };
    const Case missing[] = {
        { "GET", invoices + "123456", account.token },
        { "GET", invoices + "abc", account.token },
        { "DELETE", invoices + "123456", account.token },
        { "GET", kim.freelancerPath + "/business/" + std::to_string(account.businessId) + "/invoices",
            kim.token },
        { "GET", "/api/no-such-route", account.token },
    };
    for (const auto& test : missing) {
        SCOPED_TRACE(test.path);
        EXPECT_EQ(client.send(test.method, test.path, {}, test.token).status, 404);
    }
    auto kimsInvoice = sendInvoice(kim, "INV-009");
    EXPECT_EQ(client.send("GET", invoices + kimsInvoice["id"].stringValue(), {}, account.token).status, 404);
    EXPECT_EQ(
        client.send("DELETE", invoices + kimsInvoice["id"].stringValue(), {}, account.token).status, 404);
}

TEST_F(BackendTest, SetInvoiceSentAndTheClock)
{
    backend.setClock([] { return Date { 1421236800.25 }; });
    auto account = makeAccount("sam@example.com");
    auto sent = sendInvoice(account, "INV-001");
    EXPECT_EQ(sent["sent"], Value("2015-01-14T12:00:00.250+0000"));

    EXPECT_TRUE(backend.setInvoiceSent(sent["id"].integerValue(), Date { 1421236800 - 31 * 86400.0 }));
    EXPECT_FALSE(backend.setInvoiceSent(424242, Date {}));
    auto listed = liveInvoices(account);
    EXPECT_EQ(listed.list()->at(0).dictionary()->get("sent"), Value("2014-12-14T12:00:00.000+0000"));
    auto stored = backend.invoices()->at(0).dictionary();
    EXPECT_EQ(stored->get("businessId"), Value(account.businessId));
    EXPECT_EQ(stored->get("sent"), Value("2014-12-14T12:00:00.000+0000"));
}

TEST_F(BackendTest, CompanySearch)
{
    auto hits = client.send("GET", "/companies", Dictionary::make({ { "search_term", "AMBERLY" } }));
    ASSERT_EQ(hits.status, 200);
    ASSERT_EQ(hits.list()->size(), 2u);
    auto first = hits.list()->at(0).dictionary();
    for (const char* key : { "companyName", "registrationNumber", "addressLine1", "addressLine2", "postTown",
             "county", "postCode", "country" })
        EXPECT_TRUE(first->get(key).string()) << key;
    EXPECT_EQ(first->get("postTown"), Value("Tewkesbury"));
    // The register has no line 2 for the second: the hit still carries the key, empty.
    EXPECT_EQ(hits.list()->at(1).dictionary()->get("addressLine2"), Value(""));

    struct Case {
        const char* term;
        std::size_t count;
    };
    for (auto [term, count] : { Case { "zzzz", 0 }, Case { "", 0 }, Case { "  ", 0 }, Case { "SC412987", 1 },
             Case { " ltd", 18 } }) {
        SCOPED_TRACE(term);
        auto answer = client.send("GET", "/companies", Dictionary::make({ { "search_term", term } }));
        EXPECT_EQ(answer.status, 200);
        ASSERT_TRUE(answer.list());
        EXPECT_EQ(answer.list()->size(), count);
    }
    EXPECT_EQ(client.send("GET", "/companies").list()->size(), 0u);

    backend.setCompanies(Array::make({ Dictionary::make({ { "companyName", "Only One Ltd" } }) }));
    auto only = client.send("GET", "/companies", Dictionary::make({ { "search_term", "one" } })).list();
    ASSERT_EQ(only->size(), 1u);
    EXPECT_EQ(only->at(0).dictionary()->size(), 8u);
    EXPECT_EQ(only->at(0).dictionary()->get("postTown"), Value(""));
}

TEST_F(BackendTest, ConfigurationIsSettable)
{
    auto document = client.send("GET", "/");
    ASSERT_EQ(document.status, 200);
    EXPECT_EQ(document["redirectUrl"], Value(backend.url("/upgrade")));
    auto accepted = document["versions"].dictionary()->get("accepted").array();
    ASSERT_TRUE(accepted);
    EXPECT_TRUE(accepted->equals(*Array::make({ "1000" })));

    backend.setAcceptedVersions({ "1001", "1002" });
    auto changed = client.send("GET", "/");
    EXPECT_TRUE(
        changed["versions"].dictionary()->get("accepted").array()->equals(*Array::make({ "1001", "1002" })));
    EXPECT_EQ(changed["redirectUrl"], Value(backend.url("/upgrade")));

    backend.setConfiguration(Dictionary::make({ { "versions", Dictionary::make() } }));
    EXPECT_FALSE(client.send("GET", "/").object()->contains("redirectUrl"));
}

TEST_F(BackendTest, RequestsAreRecorded)
{
    auto account = makeAccount("sam@example.com");
    backend.clearRequests();
    liveInvoices(account);
    auto requests = backend.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, account.businessPath + "/invoices");
    EXPECT_EQ(requests[0].queryValue("filter[where][is_deleted]"), "0");
    EXPECT_EQ(requests[0].header("Authorization"), account.token);
    EXPECT_EQ(backend.lastRequest()->path, requests[0].path);
}

TEST_F(BackendTest, FailAndDropHooksAnswerInsteadOfTheRoute)
{
    auto account = makeAccount("sam@example.com");
    backend.failRoute("GET", "/api/freelancers/:freelancer/business/:business/invoices", 500, 2);
    EXPECT_EQ(liveInvoices(account).status, 500);
    auto second = liveInvoices(account);
    EXPECT_EQ(second.status, 500);
    EXPECT_EQ(second["error"].dictionary()->get("statusCode"), Value(500));
    EXPECT_EQ(liveInvoices(account).status, 200);

    backend.failRoute("*", "/api/freelancers/*", 503);
    for (const char* reference : { "INV-001", "INV-002", "INV-003" })
        EXPECT_EQ(sendInvoice(account, reference).status, 503);
    EXPECT_EQ(liveInvoices(account).status, 503);
    EXPECT_EQ(backend.invoices()->size(), 0u);
    backend.clearHooks();
    EXPECT_EQ(sendInvoice(account, "INV-001").status, 200);

    backend.dropRoute("GET", "/");
    EXPECT_EQ(client.send("GET", "/").status, 0);
    EXPECT_EQ(client.send("GET", "/").status, 0);
    EXPECT_EQ(client.send("GET", "/companies").status, 200);
    backend.clearHooks();
    EXPECT_EQ(client.send("GET", "/").status, 200);
}

TEST_F(BackendTest, DelayHookSendsTheRoutesOwnAnswerLate)
{
    using namespace std::chrono_literals;
    auto term = Dictionary::make({ { "search_term", "amberly" } });
    backend.delayRoute("GET", "/companies", 0.2);
    for (int i = 0; i < 2; ++i) {
        auto start = std::chrono::steady_clock::now();
        auto delayed = client.send("GET", "/companies", term);
        EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
        ASSERT_TRUE(delayed.list());
        EXPECT_EQ(delayed.list()->size(), 2u);
    }
    backend.clearHooks();

    // A counted delay long enough to outlast the client's time-out, used up by one request.
    backend.delayRoute("*", "/:anything", 30, 1);
    client.session().setTimeout(0.5);
    EXPECT_EQ(client.send("GET", "/companies", term).status, 0);
    EXPECT_EQ(client.send("GET", "/companies", term).status, 200);
}

TEST_F(BackendTest, PhotoStorageKeepsTheBytes)
{
    httplib::Client http("127.0.0.1", backend.port());
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\0", 18);
    auto posted = http.Post("/qz-image-uploads", png, "image/png");
    ASSERT_TRUE(posted);
    ASSERT_EQ(posted->status, 200);
    auto key = platform::foundation::parseJson(posted->body).value.dictionary()->get("key").stringValue();
    ASSERT_FALSE(key.empty());
    auto fetched = http.Get(("/qz-image-uploads/" + key).c_str());
    ASSERT_TRUE(fetched);
    EXPECT_EQ(fetched->status, 200);
    EXPECT_EQ(fetched->body, png);
    EXPECT_EQ(fetched->get_header_value("Content-Type"), "image/png");

    auto put = http.Put("/qz-image-uploads/logo-7.png", "GIF89a", "image/gif");
    ASSERT_TRUE(put);
    EXPECT_EQ(platform::foundation::parseJson(put->body).value.dictionary()->get("key"), Value("logo-7.png"));
    EXPECT_EQ(http.Get("/qz-image-uploads/logo-7.png")->body, "GIF89a");

    struct Case {
        const char* name;
        httplib::Result result;
        int status;
    };
    Case refused[] = {
        { "empty", http.Post("/qz-image-uploads", "", "image/png"), 400 },
        { "bad key", http.Put("/qz-image-uploads/bad%21key", "x", "image/png"), 400 },
        { "too large",
            http.Post(
                "/qz-image-uploads", std::string(BackendState::kMaximumPhotoSize + 1, 'x'), "image/png"),
            413 },
        { "unknown", http.Get("/qz-image-uploads/nothing-here"), 404 },
    };
    for (auto& test : refused) {
        SCOPED_TRACE(test.name);
        ASSERT_TRUE(test.result);
        EXPECT_EQ(test.result->status, test.status);
    }
}

TEST_F(BackendTest, UpgradePageIsHtml)
{
    httplib::Client http("127.0.0.1", backend.port());
    auto page = http.Get("/upgrade");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(page->get_header_value("Content-Type").rfind("text/html", 0), 0u);
    EXPECT_NE(page->body.find("<html>"), std::string::npos);
}

TEST_F(BackendTest, ConcurrentRequestsKeepTheStoreConsistent)
{
    auto account = makeAccount("sam@example.com");
    constexpr int kThreads = 6;
    constexpr int kInvoicesEach = 10;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            httplib::Client http("127.0.0.1", backend.port());
            httplib::Headers headers { { "Authorization", account.token } };
            for (int i = 0; i < kInvoicesEach; ++i) {
                auto reference = "T" + std::to_string(t) + "-" + std::to_string(i);
                auto body = platform::foundation::toJson(Dictionary::make({ { "reference", reference } }));
                auto answer = http.Post(
                    (account.businessPath + "/invoices").c_str(), headers, body, "application/json");
                EXPECT_TRUE(answer && answer->status == 200);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    auto listed = liveInvoices(account);
    ASSERT_EQ(listed.list()->size(), std::size_t { kThreads * kInvoicesEach });
    std::vector<std::int64_t> ids;
    for (const auto& invoice : *listed.list())
        ids.push_back(invoice.dictionary()->get("id").integerValue());
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end(), std::greater<>()));
    EXPECT_EQ(std::set<std::int64_t>(ids.begin(), ids.end()).size(), ids.size());
}

}
}
