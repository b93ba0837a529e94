#include "attribution/tests/TrackerFixture.h"

#include "platform/foundation/Json.h"

namespace attribution::test {
namespace {

using platform::foundation::Value;

class WayfinderPurchaseTest : public TrackerFixture {
protected:
    void SetUp() override
    {
        TrackerFixture::SetUp();
        ASSERT_TRUE(platform::foundation::Files::writeText(m_bundle.path() / "receipt",
            R"({"bundle_id":"com.zorvik.Zorvik","in_app":[{"product_id":"pro","transaction_id":"t-1"}]})"));
    }

    /// Validates a purchase of "pro" in transaction `transaction` and lets the event arrive.
    void purchase(const std::string& transaction, const Value& extra = {})
    {
        tracker.validateAndTrackInAppPurchase(
            "pro", "4.99", "GBP", transaction, extra,
            [this](const platform::foundation::DictionaryRef& answer) {
                succeeded.push_back(platform::foundation::toJson(Value(answer)));
            },
            [this](const std::optional<platform::foundation::Error>& error, const Value& answer) {
                failed.emplace_back(error.has_value(), platform::foundation::toJson(answer));
            });
        settle();
        settle();
    }

    /// The purchase event's values, decoded.
    platform::foundation::DictionaryRef eventValues() const
    {
        auto requests = received();
        if (requests.empty() || requests.back().field("event") != "wf_purchase")
            return nullptr;
        auto text = requests.back().field("eventvalue").value_or("");
        std::string json;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '%' && i + 2 < text.size()) {
                json += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                json += text[i];
            }
        }
        return platform::foundation::parseJson(json).value.dictionary();
    }

    std::vector<std::string> succeeded;
    std::vector<std::pair<bool, std::string>> failed;
};

TEST_F(WayfinderPurchaseTest, AListedTransactionSucceedsAndIsTrackedValidated)
{
    tracker.setUseReceiptValidationSandbox(true);
    purchase("t-1", Value("gift"));
    ASSERT_EQ(succeeded.size(), 1u);
    EXPECT_TRUE(failed.empty());
    auto validations = service()->validations();
    ASSERT_EQ(validations.size(), 1u);
    EXPECT_TRUE(validations[0].sandbox);
    EXPECT_EQ(validations[0].wayfinderId, tracker.getWayfinderUID());
    auto values = eventValues();
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->get("wf_validated"), Value("true"));
    EXPECT_EQ(values->get("wf_revenue"), Value("4.99"));
    EXPECT_EQ(values->get("wf_content_id"), Value("pro"));
    EXPECT_EQ(values->get("wf_currency"), Value("GBP"));
    EXPECT_EQ(values->get("wf_quantity"), Value(1));
    EXPECT_EQ(values->get("wf_param_1"), Value("gift"));
    EXPECT_TRUE(
        logged("* * * Wayfinder is set to verify in app purchases on Apple sandbox. This should only be "
               "used in development enviornment!!!! * * *"));
}

TEST_F(WayfinderPurchaseTest, AnUnlistedTransactionRunsNoBlockButCountsAsValidated)
{
    purchase("t-9");
    EXPECT_TRUE(succeeded.empty());
    EXPECT_TRUE(failed.empty());
    auto values = eventValues();
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->get("wf_validated"), Value("true"));
    EXPECT_EQ(values->size(), 5u);
}

TEST_F(WayfinderPurchaseTest, ARefusalReachesTheFailureBlockAndIsTrackedUnvalidated)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
        bool withError;
    };
    const std::vector<Case> cases {
        { "a non-zero status",
            [&] {
                m_backend.answerRoute("POST", "/validate-ios-receipt",
                    ::testing::ServerResponse::text(200, R"({"status":21007})", "application/json"), 1);
            },
            false },
        { "no answer", [&] { m_backend.dropRoute("POST", "/validate-ios-receipt", 1); }, true },
        { "no receipt", [&] { platform::foundation::Files::remove(m_bundle.path() / "receipt"); }, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        failed.clear();
        c.arrange();
        purchase("t-1");
        ASSERT_EQ(failed.size(), 1u);
        EXPECT_EQ(failed[0].first, c.withError);
        EXPECT_TRUE(succeeded.empty());
        auto values = eventValues();
        ASSERT_NE(values, nullptr);
        EXPECT_EQ(values->get("wf_validated"), Value("false"));
    }
}

TEST_F(WayfinderPurchaseTest, WithoutATransactionNothingHappensButALogLine)
{
    purchase("");
    EXPECT_TRUE(logged("Wayfinder Error: validateInAppPurchase Parameters cannot be nil"));
    EXPECT_TRUE(succeeded.empty());
    EXPECT_TRUE(failed.empty());
    EXPECT_TRUE(m_backend.requests().empty());
}

}
}
