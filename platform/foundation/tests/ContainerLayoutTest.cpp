#include "platform/foundation/Array.h"
#include "platform/foundation/CacheLineAllocator.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using namespace platform::foundation;

namespace {

std::uintptr_t lineOf(const void* address)
{
    return reinterpret_cast<std::uintptr_t>(address) / kCacheLineSize;
}

// Whether the `size` bytes at `object` lie in one cache line.
bool inOneLine(const void* object, std::size_t size)
{
    return lineOf(object) == lineOf(static_cast<const char*>(object) + size - 1);
}

// A walk over a list reads each record's header and each array's header: however a container was made, each
// header lies in one line, so that reading it costs one wait for memory, not two.
TEST(ContainerLayout, EveryContainersHeaderLiesInOneCacheLine)
{
    const std::vector<std::pair<const char*, std::function<DictionaryRef()>>> records {
        { "empty", [] { return Dictionary::make(); } },
        { "from entries", [] { return Dictionary::make({ { "id", 7 }, { "name", "Ada" } }); } },
        { "shallow copy", [] { return Dictionary::make({ { "id", 7 } })->shallowCopy(); } },
        { "deep copy", [] { return Dictionary::make({ { "id", 7 } })->deepCopy(); } },
        { "parsed", [] { return parseJson(R"({"id": 7, "folders": [{"name": "todo"}]})").value.dictionary(); } },
    };
    for (const auto& [name, make] : records) {
        SCOPED_TRACE(name);
        // Many at once, so that they do not all happen to land on the same boundary.
        std::vector<DictionaryRef> made;
        std::vector<ArrayRef> arrays;
        for (int index = 0; index < 64; ++index) {
            made.push_back(make());
            arrays.push_back(Array::make({ index }));
        }
        for (const auto& record : made)
            ASSERT_TRUE(inOneLine(record.get(), sizeof(Dictionary)));
        for (const auto& array : arrays)
            ASSERT_TRUE(inOneLine(array.get(), sizeof(Array)));
    }
}

}
