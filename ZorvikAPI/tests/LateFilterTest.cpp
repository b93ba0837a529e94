#include "ZorvikAPI/filters/LateFilter.h"
#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/DeviceEnvironment.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Date;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

DictionaryRef invoice(std::string description, int moves, Value sent)
{
    auto folders = Array::make();
    for (int move = 0; move < moves; ++move)
        folders->append(Dictionary::make({ { "name", move % 2 ? "done" : "todo" } }));
    return Dictionary::make(
        { { "description", std::move(description) }, { "folders", folders }, { "sent", sent } });
}

std::vector<std::string> descriptions(const ArrayRef& invoices)
{
    std::vector<std::string> list;
    for (auto& element : *invoices)
        list.push_back(element.dictionary()->get("description").stringValue());
    return list;
}

class LateFilterTest : public ::testing::Test {
protected:
    void TearDown() override { platform::foundation::mainQueue().useVirtualClock(); }
};

TEST_F(LateFilterTest, ThirtyDaysToTheSecondIsLate)
{
    EXPECT_EQ(THIRTY_DAYS_AGO, -2592000.0);
    // Mid-winter and mid-summer (London one hour ahead of UTC), with sent dates written in two zones.
    for (double now : { 1421236800.0, 1467374400.0 }) {
        for (auto zone : { "Europe/London", "America/New_York" }) {
            SCOPED_TRACE(std::string(zone) + " at " + std::to_string(now));
            platform::foundation::ScopedDeviceEnvironment device("en_GB", zone);
            platform::foundation::mainQueue().useVirtualClock(Date { now });
            auto sentAgo = [&](double seconds) { return Value(toServerDateString(Date { now - seconds })); };

            auto invoices = Array::make({
                invoice("exactly thirty days", 1, sentAgo(2592000)),
                invoice("ten milliseconds short", 1, sentAgo(2591999.99)),
                invoice("a second more", 1, sentAgo(2592001)),
                invoice("sent today", 1, sentAgo(0)),
                invoice("never sent", 1, Value()),
                invoice("unreadable", 1, Value("last Tuesday")),
                invoice("done long ago", 2, sentAgo(9000000)),
                invoice("to do again", 3, sentAgo(9000000)),
            });
            EXPECT_EQ(descriptions(LateFilter().filterInvoices(invoices)),
                (std::vector<std::string> {
                    "exactly thirty days", "a second more", "never sent", "unreadable", "to do again" }));
        }
    }
}

// Records of a list change between two refreshes (keys added before "sent" and "folders", "sent" removed or
// changed): each refresh reads each record as it is then.
TEST_F(LateFilterTest, ReadsEachRecordAsItIsAtEachRefresh)
{
    double now = 1421236800.0;
    platform::foundation::mainQueue().useVirtualClock(Date { now });
    auto longAgo = Value(toServerDateString(Date { now - 9000000 }));
    auto today = Value(toServerDateString(Date { now }));
    auto invoices = Array::make();
    for (int index = 0; index < 40; ++index)
        invoices->append(invoice(std::to_string(index), 1 + index % 2, index % 3 ? today : longAgo));
    auto late = [&]() { return descriptions(LateFilter().filterInvoices(invoices)); };
    EXPECT_EQ(late(), (std::vector<std::string> { "0", "6", "12", "18", "24", "30", "36" }));

    for (int index : { 0, 1, 2, 4, 5, 6 }) {
        auto record = invoices->at(static_cast<std::size_t>(index)).dictionary();
        record->set("amount", index);
        record->set("reference", "R" + std::to_string(index));
    }
    invoices->at(2).dictionary()->set("sent", longAgo);
    invoices->at(4).dictionary()->remove("sent");
    invoices->at(6).dictionary()->set("sent", today);
    invoices->at(12).dictionary()->remove("folders");
    EXPECT_EQ(late(), (std::vector<std::string> { "0", "2", "4", "18", "24", "30", "36" }));
}

TEST_F(LateFilterTest, AnEmptyListGivesANewEmptyList)
{
    auto empty = Array::make();
    auto late = LateFilter().filterInvoices(empty);
    EXPECT_TRUE(late->empty());
    EXPECT_NE(late, empty);
    EXPECT_TRUE(LateFilter().filterInvoices(nullptr)->empty());
}

}
}
