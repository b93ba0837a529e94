#include "ZorvikAPI/RESTClient/URLQuery.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

using platform::foundation::Dictionary;

TEST(URLQuery, WritesOnePairPerEntry)
{
    auto parameters = Dictionary::make({ { "b", 2 }, { "a", "x y" }, { "c&d", "e=f" } });
    EXPECT_EQ(queryWithParameters(*parameters), "a=x y&b=2&c&d=e=f");
    EXPECT_EQ(urlWithString("http://127.0.0.1/p?old=1#top", *parameters),
        "http://127.0.0.1/p?a=x%20y&b=2&c&d=e=f#top");
    EXPECT_EQ(urlWithString("http://127.0.0.1/p?old=1", *Dictionary::make()), "http://127.0.0.1/p");
}

}
}
