#include "attribution/WayfinderUtils.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

#include <gtest/gtest.h>

namespace attribution::test {
namespace {

using platform::foundation::parseJson;
using platform::foundation::toJson;
using platform::foundation::Value;

TEST(WayfinderUtilsTest, NullsGoFromEveryLevel)
{
    auto data = parseJson(R"({"a": null, "b": [null, {"c": null}, [1, null]], "d": 1})").value.dictionary();
    WayfinderUtils::recursivelyRemoveNulls(data);
    EXPECT_EQ(toJson(Value(data)), R"({"b":[{},[1]],"d":1})");
}

TEST(WayfinderUtilsTest, QueryParametersTakeKeysWithValuesAndThePathAndScheme)
{
    struct Case {
        const char* url;
        const char* parameters;
    };
    for (auto [url, parameters] : {
             Case { "zorvik://?x=1&y", R"({"scheme":"zorvik","x":"1"})" },
             Case { "https://z.test/open/here?wf_deeplink=a%20b&x=1&x=2&c=d=e",
                 R"({"c":"d","path":"/open/here","scheme":"https","wf_deeplink":"a b","x":"2"})" },
         }) {
        SCOPED_TRACE(url);
        EXPECT_EQ(toJson(Value(WayfinderUtils::URLQueryParameters(url))), parameters);
    }
}

TEST(WayfinderUtilsTest, DigestsAndBase64FollowTheirStandards)
{
    EXPECT_EQ(WayfinderUtils::md5("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(WayfinderUtils::sha1("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(WayfinderUtils::md5("é"), WayfinderUtils::md5("\xc3\xa9")) << "all of the UTF-8 bytes";
    EXPECT_EQ(WayfinderUtils::sha1("é"), "bf15be717ac1b080b4f1c456692825891ff5073d");
    for (auto [data, text] : { std::pair { "", "" }, std::pair { "f", "Zg==" }, std::pair { "fo", "Zm8=" },
             std::pair { "foo", "Zm9v" }, std::pair { "foobar", "Zm9vYmFy" } })
        EXPECT_EQ(WayfinderUtils::base64forData(data), text);
}

}
}
