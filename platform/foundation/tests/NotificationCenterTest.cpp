#include "platform/foundation/NotificationCenter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform::foundation {
namespace {

/// Some object of the app that listens: it records what it hears.
struct Listener {
    std::vector<std::string> heard;
};

class NotificationCenterTest : public testing::Test {
protected:
    NotificationCenter::Received recordInto(std::vector<std::string>& heard, std::string tag = "")
    {
        return [&heard, tag](const Notification& notification) { heard.push_back(tag + notification.name); };
    }

    NotificationCenter m_center;
    int m_senderA { 0 };
    int m_senderB { 0 };
};

TEST_F(NotificationCenterTest, DeliversByNameAndSender)
{
    auto anySender = std::make_shared<Listener>();
    auto onlyA = std::make_shared<Listener>();
    m_center.addObserver(anySender, "KeyboardWillShow", nullptr, recordInto(anySender->heard));
    m_center.addObserver(onlyA, "KeyboardWillShow", &m_senderA, recordInto(onlyA->heard));
    m_center.addObserver(onlyA, "KeyboardWillHide", &m_senderA, recordInto(onlyA->heard));

    struct Case {
        std::string name;
        const void* sender;
        int heardByAny;
        int heardByA;
    };
    for (const auto& post :
        { Case { "KeyboardWillShow", &m_senderA, 1, 1 }, Case { "KeyboardWillShow", &m_senderB, 1, 0 },
            Case { "KeyboardWillShow", nullptr, 1, 0 }, Case { "KeyboardWillHide", &m_senderA, 0, 1 },
            Case { "KeyboardWillHide", &m_senderB, 0, 0 }, Case { "Other", &m_senderA, 0, 0 } }) {
        SCOPED_TRACE(post.name);
        anySender->heard.clear();
        onlyA->heard.clear();
        m_center.post(post.name, post.sender);
        EXPECT_EQ(anySender->heard.size(), static_cast<std::size_t>(post.heardByAny));
        EXPECT_EQ(onlyA->heard.size(), static_cast<std::size_t>(post.heardByA));
    }
}

TEST_F(NotificationCenterTest, HandsOverSenderAndUserInfoInRegistrationOrder)
{
    std::vector<std::string> order;
    const void* sender = nullptr;
    DictionaryRef userInfo;
    auto first = m_center.addObserver("Saved", nullptr, recordInto(order, "first "));
    auto second = m_center.addObserver("Saved", nullptr, [&](const Notification& notification) {
        order.push_back("second " + notification.name);
        sender = notification.object;
        userInfo = notification.userInfo;
    });
    auto info = Dictionary::make();

    m_center.post("Saved", &m_senderB, info);

    EXPECT_EQ(order, (std::vector<std::string> { "first Saved", "second Saved" }));
    EXPECT_EQ(sender, &m_senderB);
    EXPECT_EQ(userInfo, info);
}

TEST_F(NotificationCenterTest, RemovesAllOrOneNameOfAnObserversRegistrations)
{
    auto listener = std::make_shared<Listener>();
    auto other = std::make_shared<Listener>();
    for (const char* name : { "A", "B", "C" }) {
        m_center.addObserver(listener, name, nullptr, recordInto(listener->heard));
        m_center.addObserver(other, name, nullptr, recordInto(other->heard));
    }

    m_center.removeObserver(listener.get(), "B");
    for (const char* name : { "A", "B", "C" })
        m_center.post(name);
    EXPECT_EQ(listener->heard, (std::vector<std::string> { "A", "C" }));

    m_center.removeObserver(listener.get());
    m_center.removeObserver(listener.get());
    for (const char* name : { "A", "B", "C" })
        m_center.post(name);
    EXPECT_EQ(listener->heard.size(), 2u);
    EXPECT_EQ(other->heard.size(), 6u);
}

TEST_F(NotificationCenterTest, ObserversThatGoAwayAreDropped)
{
    std::vector<std::string> heard;
    auto listener = std::make_shared<Listener>();
    m_center.addObserver(listener, "Ping", nullptr, recordInto(heard, "listener "));
    auto token = m_center.addObserver("Ping", nullptr, recordInto(heard, "token "));
    m_center.post("Ping");
    EXPECT_EQ(heard.size(), 2u);

    listener.reset();
    m_center.post("Ping");
    EXPECT_EQ(heard.back(), "token Ping");
    EXPECT_EQ(heard.size(), 3u);

    token.reset();
    m_center.post("Ping");
    EXPECT_EQ(heard.size(), 3u);

    std::weak_ptr<Listener> gone;
    m_center.addObserver(gone, "Ping", nullptr, recordInto(heard));
    m_center.post("Ping");
    EXPECT_EQ(heard.size(), 3u);
}

TEST_F(NotificationCenterTest, RemovalDuringDeliveryTakesEffectAtOnce)
{
    std::vector<std::string> heard;
    ObserverToken later;
    auto remover = m_center.addObserver("Ping", nullptr, [&](const Notification&) {
        heard.push_back("remover");
        m_center.removeObserver(later.get());
    });
    auto self = m_center.addObserver("Ping", nullptr, [&](const Notification&) { heard.push_back("self"); });
    auto selfRemover = m_center.addObserver(
        "Ping", nullptr, [&](const Notification&) { m_center.removeObserver(self.get()); });
    later = m_center.addObserver("Ping", nullptr, recordInto(heard, "later "));

    m_center.post("Ping");
    m_center.post("Ping");

    EXPECT_EQ(heard, (std::vector<std::string> { "remover", "self", "remover" }));
}

TEST_F(NotificationCenterTest, ObserversAddedDuringDeliveryHearOnlyLaterPosts)
{
    std::vector<std::string> heard;
    std::vector<ObserverToken> added;
    auto adder = m_center.addObserver("Ping", nullptr, [&](const Notification&) {
        heard.push_back("adder");
        added.push_back(m_center.addObserver("Ping", nullptr, recordInto(heard, "added ")));
    });

    m_center.post("Ping");
    EXPECT_EQ(heard, (std::vector<std::string> { "adder" }));
    m_center.post("Ping");
    EXPECT_EQ(heard, (std::vector<std::string> { "adder", "adder", "added Ping" }));
}

TEST_F(NotificationCenterTest, CallbacksMayPostAndMayReleaseTheirOwnObserver)
{
    /// Releases the last outside reference to itself when told, then keeps using its own members.
    struct SelfReleasing {
        std::shared_ptr<SelfReleasing>* holder { nullptr };
        std::vector<std::string> heard;
        void onPing(const Notification& notification)
        {
            holder->reset();
            heard.push_back(notification.name);
        }
    };
    std::vector<std::string> heard;
    auto nested = m_center.addObserver("Outer", nullptr, [&](const Notification& notification) {
        heard.push_back("outer from " + std::to_string(notification.object == &m_senderA));
        m_center.post("Inner", &m_senderB);
        heard.push_back("outer done");
    });
    auto inner = m_center.addObserver("Inner", &m_senderB, recordInto(heard));
    auto releasing = std::make_shared<SelfReleasing>();
    releasing->holder = &releasing;
    std::weak_ptr<SelfReleasing> watch = releasing;
    m_center.addObserver(releasing, "Outer", nullptr,
        [raw = releasing.get()](const Notification& notification) { raw->onPing(notification); });

    m_center.post("Outer", &m_senderA);

    EXPECT_EQ(heard, (std::vector<std::string> { "outer from 1", "Inner", "outer done" }));
    EXPECT_EQ(releasing, nullptr);
    EXPECT_TRUE(watch.expired());
}

TEST_F(NotificationCenterTest, CallbacksRunOnThePostingThread)
{
    std::thread::id deliveredOn;
    auto token = m_center.addObserver(
        "Background", nullptr, [&](const Notification&) { deliveredOn = std::this_thread::get_id(); });
    std::thread::id poster;
    std::thread thread([&] {
        poster = std::this_thread::get_id();
        m_center.post("Background");
    });
    thread.join();

    EXPECT_EQ(deliveredOn, poster);
    EXPECT_EQ(&NotificationCenter::defaultCenter(), &NotificationCenter::defaultCenter());
}

}
}
