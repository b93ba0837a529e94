#include "platform/foundation/DictionaryKey.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using platform::foundation::DictionaryKey;

namespace {

// Keys short enough to be held in place and those kept on the heap behave alike through copies, moves and
// assignments, and order as their text does.
TEST(DictionaryKey, KeepsItsTextThroughCopiesAndMovesWhateverItsLength)
{
    const std::vector<std::string> texts { "", "id", std::string(DictionaryKey::kInlineCapacity, 'k'),
        std::string(DictionaryKey::kInlineCapacity + 1, 'l'), "com.ember.insights.lastsessionmetadata" };
    for (const auto& text : texts) {
        SCOPED_TRACE(text);
        DictionaryKey key(text);
        EXPECT_EQ(key.view(), text);
        EXPECT_EQ(key.size(), text.size());

        DictionaryKey copy(key);
        DictionaryKey moved(std::move(copy));
        EXPECT_EQ(moved, key);
        EXPECT_TRUE(copy.empty()) << "a moved-from key is empty";

        for (const auto& other : texts) {
            DictionaryKey assigned(other);
            assigned = key;
            EXPECT_EQ(assigned.str(), text);
            DictionaryKey moveAssigned(other);
            moveAssigned = DictionaryKey(text);
            EXPECT_EQ(moveAssigned.str(), text);
            EXPECT_EQ(DictionaryKey(other) < key, other < text);
        }
        auto& self = key;
        key = self;
        EXPECT_EQ(key.str(), text) << "assigning a key to itself keeps it";
    }
}

}
