#include "platform/http/Url.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

using namespace platform::http;
using platform::foundation::Array;
using platform::foundation::Dictionary;
using platform::foundation::Value;

namespace {

struct Resolution {
    const char* base;
    const char* reference;
    const char* expected;
};

// Expected values produced with Python 3.11's urllib.parse.urljoin(base, reference):
//   python3 -c 'from urllib.parse import urljoin; print(urljoin(BASE, REFERENCE))'
// except where urljoin departs from RFC 3986 (it collapses empty segments) or a result is written in its
// normal form ("http://g/" for "http://g", RFC 3986 section 6.2.3).
// The first group is RFC 3986's section 5.4 table against its base "http://a/b/c/d;p?q".
const Resolution kResolutions[] = {
    { "http://a/b/c/d;p?q", "g:h", "g:h" },
    { "http://a/b/c/d;p?q", "g", "http://a/b/c/g" },
    { "http://a/b/c/d;p?q", "./g", "http://a/b/c/g" },
    { "http://a/b/c/d;p?q", "g/", "http://a/b/c/g/" },
    { "http://a/b/c/d;p?q", "/g", "http://a/g" },
    { "http://a/b/c/d;p?q", "//g", "http://g/" },
    { "http://a/b/c/d;p?q", "?y", "http://a/b/c/d;p?y" },
    { "http://a/b/c/d;p?q", "g?y", "http://a/b/c/g?y" },
    { "http://a/b/c/d;p?q", "#s", "http://a/b/c/d;p?q#s" },
    { "http://a/b/c/d;p?q", "g?y#s", "http://a/b/c/g?y#s" },
    { "http://a/b/c/d;p?q", ";x", "http://a/b/c/;x" },
    { "http://a/b/c/d;p?q", "g;x?y#s", "http://a/b/c/g;x?y#s" },
    { "http://a/b/c/d;p?q", "", "http://a/b/c/d;p?q" },
    { "http://a/b/c/d;p?q", ".", "http://a/b/c/" },
    { "http://a/b/c/d;p?q", " ./", "http://a/b/c/" },
    { "http://a/b/c/d;p?q", "..", "http://a/b/" },
    { "http://a/b/c/d;p?q", "../g", "http://a/b/g" },
    { "http://a/b/c/d;p?q", "../..", "http://a/" },
    { "http://a/b/c/d;p?q", "../../g", "http://a/g" },
    { "http://a/b/c/d;p?q", "../../../../g", "http://a/g" },
    { "http://a/b/c/d;p?q", "/./g", "http://a/g" },
    { "http://a/b/c/d;p?q", "/../g", "http://a/g" },
    { "http://a/b/c/d;p?q", "g.", "http://a/b/c/g." },
    { "http://a/b/c/d;p?q", "..g", "http://a/b/c/..g" },
    { "http://a/b/c/d;p?q", "./../g", "http://a/b/g" },
    { "http://a/b/c/d;p?q", "./g/.", "http://a/b/c/g/" },
    { "http://a/b/c/d;p?q", "g/../h", "http://a/b/c/h" },
    { "http://a/b/c/d;p?q", "g;x=1/../y", "http://a/b/c/y" },
    { "http://a/b/c/d;p?q", "g?y/../x", "http://a/b/c/g?y/../x" },
    { "http://a/b/c/d;p?q", "g#s/../x", "http://a/b/c/g#s/../x" },
    // An absolute path replaces whatever path the base has.
    { "http://127.0.0.1:4567", "/api/freelancers", "http://127.0.0.1:4567/api/freelancers" },
    { "http://127.0.0.1:4567/v1/base/", "/api/freelancers", "http://127.0.0.1:4567/api/freelancers" },
    { "http://127.0.0.1:4567/v1/base", "/api/freelancers", "http://127.0.0.1:4567/api/freelancers" },
    // Child resources: the parent's URL with "/" appended, then "42/business".
    { "http://127.0.0.1:4567/api/freelancers/", "42/business",
        "http://127.0.0.1:4567/api/freelancers/42/business" },
    { "http://127.0.0.1:4567/api/freelancers", "42/business", "http://127.0.0.1:4567/api/42/business" },
    { "http://127.0.0.1:4567/api/freelancers/", "42/invoices?filter%5Bwhere%5D=0",
        "http://127.0.0.1:4567/api/freelancers/42/invoices?filter%5Bwhere%5D=0" },
    { "https://example.com/a/b?x=1", "?y=2", "https://example.com/a/b?y=2" },
    { "https://example.com/a/b", "https://other.org/c", "https://other.org/c" },
    { "https://example.com/a/b", "ftp://other.org/c", "ftp://other.org/c" },
    { "https://example.com/a/b", "//other.org/c", "https://other.org/c" },
    { "http://example.com//x//y/", "z", "http://example.com//x//y/z" },
    { "http://example.com/a", "/x//y", "http://example.com/x//y" },
    { "http://u:p@Example.COM:80/a/b", "c?d#e", "http://u:p@Example.COM:80/a/c?d#e" },
    { "http://example.com", "g", "http://example.com/g" },
    { "http://example.com/a/b/", "../../../..", "http://example.com/" },
    { "http://example.com/a", "HTTP://example.com/B", "http://example.com/B" },
};

TEST(UrlTest, ResolvesReferencesAsUrljoinDoes)
{
    for (const auto& resolution : kResolutions) {
        EXPECT_EQ(resolve(resolution.reference, resolution.base), resolution.expected)
            << "base " << resolution.base << ", reference \"" << resolution.reference << "\"";
    }
}

// Also from urljoin, which drops tabs and line breaks as browsers do.
TEST(UrlTest, DropsLineBreaksAndTabsBeforeResolving)
{
    EXPECT_EQ(
        resolve("/api/\nfree\tlancers", "http://127.0.0.1:4567/x"), "http://127.0.0.1:4567/api/freelancers");
}

TEST(UrlTest, FindsTheHostOfAUrl)
{
    EXPECT_EQ(hostOf("http://127.0.0.1:4567/api"), "127.0.0.1");
    EXPECT_EQ(hostOf("https://user:pw@Example.COM/a?b"), "example.com");
    EXPECT_EQ(hostOf("http://[::1]:8080/"), "::1");
    EXPECT_EQ(hostOf("/relative/path"), "");
}

TEST(UrlTest, PercentEncodesComponentsAndQueries)
{
    EXPECT_EQ(percentEncode("filter[where][is_deleted]"), "filter%5Bwhere%5D%5Bis_deleted%5D");
    EXPECT_EQ(percentEncode("a b&c=d/é~._-"), "a%20b%26c%3Dd%2F%C3%A9~._-");
    EXPECT_EQ(percentEncodeQuery("a=b c&d=é#\"%"), "a=b%20c&d=%C3%A9%23%22%25");
}

TEST(UrlTest, FlattensParametersIntoAQuery)
{
    auto parameters = Dictionary::make({
        { "filter", Dictionary::make({ { "where", Dictionary::make({ { "is_deleted", 0 } }) } }) },
        { "filter[limit]", 10 },
        { "ids", Array::make({ 1, 2 }) },
        { "name", "Ann & Co" },
        { "paid", true },
        { "rate", 0.2 },
    });
    EXPECT_EQ(queryString(parameters),
        "filter%5Bwhere%5D%5Bis_deleted%5D=0&filter%5Blimit%5D=10&ids%5B%5D=1&ids%5B%5D=2"
        "&name=Ann%20%26%20Co&paid=1&rate=0.2");
    EXPECT_EQ(queryString(Value()), "");
    EXPECT_EQ(queryString(Array::make({ 1 })), "");
}

TEST(UrlTest, AppendsAQueryBeforeAnyFragment)
{
    EXPECT_EQ(appendQuery("http://h/p", "a=1"), "http://h/p?a=1");
    EXPECT_EQ(appendQuery("http://h/p?x=0", "a=1"), "http://h/p?x=0&a=1");
    EXPECT_EQ(appendQuery("http://h/p#top", "a=1"), "http://h/p?a=1#top");
    EXPECT_EQ(appendQuery("http://h/p", ""), "http://h/p");
}

}
