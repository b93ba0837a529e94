#include "kit/core/Cairn.h"

#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kit {
namespace {

// A kit that notes in a shared journal when it is asked to start, and what the platform showed it then.
class JournalKit : public Kit {
public:
    JournalKit(std::string name, std::vector<std::string>& journal)
        : m_name(std::move(name))
        , m_journal(journal)
    {
    }

    std::string kitName() const override { return m_name; }
    std::string bundleIdentifier() const override { return "test." + m_name; }
    std::string kitDisplayVersion() const override { return "1.0"; }
    void initializeIfNeeded() override
    {
        auto key = Cairn::sharedSDK().APIKey();
        m_journal.push_back(m_name + " started with key " + key.value_or("none"));
    }

private:
    std::string m_name;
    std::vector<std::string>& m_journal;
};

class CairnTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Cairn::sharedSDK().reset();
        platform::foundation::Log::setCapture([this](const std::string& line) { m_log.push_back(line); });
    }

    void TearDown() override
    {
        platform::foundation::Log::setCapture({});
        Cairn::sharedSDK().reset();
    }

    std::shared_ptr<Kit> kit(const std::string& name)
    {
        return std::make_shared<JournalKit>(name, m_journal);
    }

    std::vector<std::string> m_journal;
    std::vector<std::string> m_log;
};

TEST_F(CairnTest, StartsTheKitsInListOrderOncePerProcess)
{
    Cairn::sharedSDK().setAPIKey("k-123");
    auto first = kit("Ember");
    auto second = kit("Other");

    auto& platform = Cairn::with({ first, second });

    EXPECT_EQ(&platform, &Cairn::sharedSDK());
    EXPECT_TRUE(platform.isStarted());
    EXPECT_EQ(platform.kitClasses(), (std::vector<std::shared_ptr<Kit>> { first, second }));
    EXPECT_EQ(m_journal,
        (std::vector<std::string> { "Ember started with key k-123", "Other started with key k-123" }));

    auto& again = Cairn::with({ kit("Late") });
    EXPECT_EQ(&again, &platform);
    EXPECT_EQ(m_journal.size(), 2u) << "a second call starts nothing";
    EXPECT_EQ(platform.kitClasses().size(), 2u);
    EXPECT_TRUE(m_log.empty());
}

TEST_F(CairnTest, WithoutAnAPIKeyNothingStartsAndALaterKeyDoesNotRestart)
{
    auto& platform = Cairn::with({ kit("Ember") });

    EXPECT_FALSE(platform.isStarted());
    EXPECT_TRUE(platform.kitClasses().empty());
    EXPECT_TRUE(m_journal.empty());
    EXPECT_EQ(m_log,
        (std::vector<std::string> { "[Cairn] Cairn API Key is nil! Cairn won't work unless there is a valid "
                                    "API Key setup in Info.plist" }));

    platform.setAPIKey("k-123");
    Cairn::with({ kit("Ember") });
    EXPECT_TRUE(m_journal.empty()) << "the start body runs once per process, key or not";
    EXPECT_EQ(m_log.size(), 1u);
}

}
}
