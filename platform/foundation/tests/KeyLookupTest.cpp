#include "platform/foundation/KeyLookup.h"
#include "platform/foundation/Array.h"

#include <gtest/gtest.h>

#include <functional>

using namespace platform::foundation;

namespace {

DictionaryRef invoiceRecord()
{
    return Dictionary::make(
        { { "description", "Work" }, { "folders", Array::make({ 1 }) }, { "id", 7 }, { "sent", "x" } });
}

}

// A lookup that has learnt where its key lies in one record reads another record, of another layout or
// changed since, as Dictionary::find does, through every way a record's entries change.
TEST(KeyLookup, AnswersAsFindAfterAnyChangeToTheRecord)
{
    struct Case {
        const char* name;
        std::function<DictionaryRef(const DictionaryRef&)> change;
    };
    const std::vector<Case> cases {
        { "unchanged", [](const DictionaryRef& record) { return record; } },
        { "keys set before it",
            [](const DictionaryRef& record) {
                record->set("amount", 5);
                record->set("currency", "GBP");
                return record;
            } },
        { "a key removed before it",
            [](const DictionaryRef& record) {
                record->remove("description");
                return record;
            } },
        { "its value replaced",
            [](const DictionaryRef& record) {
                record->set("folders", "moved");
                record->set("sent", Array::make());
                return record;
            } },
        { "removed itself",
            [](const DictionaryRef& record) {
                record->remove("folders");
                record->set("sent", nullptr);
                return record;
            } },
        { "entries added from another",
            [](const DictionaryRef& record) {
                record->addEntries(*Dictionary::make({ { "a", 1 }, { "b", 2 }, { "folders", 3 } }));
                return record;
            } },
        { "emptied",
            [](const DictionaryRef& record) {
                for (auto key : { "description", "folders", "id", "sent" })
                    record->remove(key);
                return record;
            } },
        { "a shallow copy", [](const DictionaryRef& record) { return record->shallowCopy(); } },
        { "a deep copy", [](const DictionaryRef& record) { return record->deepCopy(); } },
        { "another layout made at once",
            [](const DictionaryRef&) {
                return Dictionary::make(
                    { { "sent", 1 }, { "folders", 2 }, { "a", 3 }, { "b", 4 }, { "c", 5 } });
            } },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        for (std::string_view key : { "folders", "sent", "description", "absent", "" }) {
            SCOPED_TRACE(key);
            KeyLookup lookup(key);
            lookup.find(*invoiceRecord());
            auto record = testCase.change(invoiceRecord());
            lookup.prefetchEntry(*record);
            lookup.prefetchValue(*record);
            EXPECT_EQ(lookup.find(*record), record->find(key));
            // Read again, from where it was found this time.
            EXPECT_EQ(lookup.find(*record), record->find(key));
        }
    }
}

// Over a list of records whose layouts alternate, every read answers right.
TEST(KeyLookup, ReadsAListOfMixedLayouts)
{
    std::vector<DictionaryRef> records;
    for (int index = 0; index < 12; ++index) {
        auto record = invoiceRecord();
        for (int extra = 0; extra < index % 4; ++extra)
            record->set(std::string(1, static_cast<char>('a' + extra)), extra);
        if (index % 5 == 0)
            record->remove("sent");
        records.push_back(record);
    }
    KeyLookup sent("sent");
    for (auto& record : records) {
        KeyLookup::prefetchHeader(*record);
        EXPECT_EQ(sent.find(*record), record->find("sent"));
    }
}
