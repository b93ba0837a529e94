#include "ZorvikAPI/repositories/CompaniesHouse.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/tests/BackendFixture.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;
using platform::foundation::Value;
using ::testing::ServerResponse;

class CompaniesHouseTest : public BackendTest {
protected:
    /// Searches for `term` against the answer `response`; returns the one outcome.
    std::string search(std::string_view term, ServerResponse response)
    {
        // Scripted for several attempts: the session sends a request again when a kept-alive connection
        // closes unanswered, once for each idle connection it holds; the rest is cleared afterwards.
        m_server.scriptNext(std::move(response), kAttempts);
        m_results = nullptr;
        OutcomeLog log;
        m_companies.searchWithTerm(
            term,
            [&](const ArrayRef& results) {
                log.outcomes.push_back("results");
                m_results = results;
            },
            log.failure());
        settle(log);
        m_server.clearScripts();
        return log.only();
    }

    /// The business at `index` of the last results.
    Business result(std::size_t index) { return Business(m_results->at(index).dictionary()); }

    CompaniesHouse m_companies { repositoryAt("/companies") };
    ArrayRef m_results;
};

TEST_F(CompaniesHouseTest, TurnsEveryHitIntoABusiness)
{
    auto full = Dictionary::make({
        { "companyName", "ACME WIDGETS LTD" },
        { "registrationNumber", "01234567" },
        { "addressLine1", "1 Road" },
        { "addressLine2", "Unit 2" },
        { "postTown", "Leeds" },
        { "county", "West Yorkshire" },
        { "postCode", "LS1 1AA" },
        { "country", "United Kingdom" },
        { "companyStatus", "active" },
    });
    auto sparse = Dictionary::make({ { "companyName", "BARE LTD" }, { "registrationNumber", 7654321 } });
    sparse->set("addressLine1", Value());
    auto nulls = Dictionary::make({ { "county", Dictionary::make() } });
    ASSERT_EQ(
        search("acme & co", ServerResponse::json(200, Array::make({ full, sparse, Value("junk"), nulls }))),
        "results");

    auto request = lastRequest();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.path, "/companies");
    EXPECT_EQ(request.queryValue("search_term"), "acme & co");

    ASSERT_EQ(m_results->size(), 3u);
    Business acme = result(0);
    EXPECT_EQ(acme.name(), "ACME WIDGETS LTD");
    EXPECT_EQ(acme.registrationNumber(), "01234567");
    EXPECT_EQ(acme.addressLine1(), "1 Road");
    EXPECT_EQ(acme.addressLine2(), "Unit 2");
    EXPECT_EQ(acme.town(), "Leeds");
    EXPECT_EQ(acme.county(), "West Yorkshire");
    EXPECT_EQ(acme.postCode(), "LS1 1AA");
    EXPECT_EQ(acme.country(), "United Kingdom");
    EXPECT_EQ(acme.record()->size(), 8u);
    EXPECT_EQ(acme.repository(), nullptr);

    Business bare = result(1);
    EXPECT_EQ(bare.name(), "BARE LTD");
    EXPECT_EQ(bare.registrationNumber(), "7654321");
    EXPECT_EQ(bare.addressLine1(), "");
    EXPECT_EQ(bare.town(), "");
    EXPECT_EQ(bare.record()->size(), 8u);

    Business blank = result(2);
    EXPECT_EQ(blank.name(), "");
    EXPECT_EQ(blank.county(), "");
    EXPECT_FALSE(CompaniesHouse::isBusinessRegisteredWithCompaniesHouse(blank));
}

TEST_F(CompaniesHouseTest, ReportsEachAnswerThroughOneBlock)
{
    struct Case {
        std::string answer;
        ServerResponse response;
        std::string expected;
        std::size_t results;
    };
    const std::vector<Case> cases {
        { "empty list", ServerResponse::json(200, Array::make()), "results", 0 },
        { "empty body", ServerResponse::empty(200), "results", 0 },
        { "an object", ServerResponse::json(200, Dictionary::make({ { "companyName", "X" } })), "error", 0 },
        { "404", ServerResponse::json(404, Dictionary::make({ { "error", "none" } })), "error", 0 },
        { "500", ServerResponse::empty(500), "error", 0 },
        { "dropped", ServerResponse::dropped(), "error", 0 },
    };
    for (auto& testCase : cases) {
        SCOPED_TRACE(testCase.answer);
        EXPECT_EQ(search("", testCase.response), testCase.expected);
        if (testCase.expected == "results") {
            EXPECT_EQ(m_results->size(), testCase.results);
        }
        EXPECT_EQ(lastRequest().queryValue("search_term"), "");
    }
}

TEST(CompaniesHouseRegistration, NeedsANonEmptyRegistrationNumber)
{
    EXPECT_TRUE(CompaniesHouse::isBusinessRegisteredWithCompaniesHouse(
        Business::withName("Acme", "01234567", "", "", "", "", "", "")));
    EXPECT_FALSE(CompaniesHouse::isBusinessRegisteredWithCompaniesHouse(
        Business::withName("Acme", "", "", "", "", "", "", "")));
    EXPECT_FALSE(CompaniesHouse::isBusinessRegisteredWithCompaniesHouse(Business::withName("Typed In")));
}

}
}
