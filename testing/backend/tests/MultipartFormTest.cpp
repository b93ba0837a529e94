#include "testing/backend/MultipartForm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testing {
namespace {

// A part as "name|file name|type|body", absent values left empty, to compare forms in one line each.
std::vector<std::string> described(const MultipartForm& form)
{
    std::vector<std::string> lines;
    for (const auto& part : form.parts) {
        lines.push_back(part.name + "|" + part.fileName.value_or("") + "|" + part.contentType.value_or("")
            + "|" + part.body);
    }
    return lines;
}

TEST(MultipartFormTest, ReadsThePartsInOrderPastAPreamble)
{
    std::string body
        = "MIME-Version: 1.0\r\n"
          "--B\r\nContent-Disposition: form-data; name=\"app[name]\"\r\n"
          "Content-Type: text/plain\r\n\r\nZorvik\r\n"
          "--B\r\nContent-Disposition: form-data; name=\"app[icon][data]\"; filename=\"icon.png\"\r\n"
          "Content-Type: image/png\r\nContent-Transfer-Encoding: binary\r\n\r\n\x89PNG\r\n--Bx\r\n"
          "--B\r\ncontent-disposition: form-data; name=\"empty\"\r\n\r\n\r\n"
          "--B--\r\n";
    auto form = MultipartForm::parse("multipart/form-data; boundary=B", body);
    ASSERT_TRUE(form);
    EXPECT_EQ(described(*form),
        (std::vector<std::string> { "app[name]||text/plain|Zorvik",
            "app[icon][data]|icon.png|image/png|\x89PNG\r\n--Bx", "empty|||" }));
    EXPECT_EQ(form->value("app[name]"), "Zorvik");
    EXPECT_EQ(form->value("missing"), std::nullopt);
}

TEST(MultipartFormTest, TakesTheBoundaryAsTheHeaderGivesIt)
{
    std::string part = "Content-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n";
    struct Case {
        const char* contentType;
        std::string body;
    };
    const Case cases[] = {
        { "multipart/form-data; boundary=\"quoted b\"", "--quoted b\r\n" + part + "--quoted b--\r\n" },
        { "Multipart/Form-Data;boundary=X", "--X\r\n" + part + "--X--" },
        { "multipart/form-data; charset=utf-8; boundary=X", "preamble\r\n--X\r\n" + part + "--X--\r\n" },
    };
    for (const auto& c : cases) {
        auto form = MultipartForm::parse(c.contentType, c.body);
        ASSERT_TRUE(form) << c.contentType;
        EXPECT_EQ(described(*form), std::vector<std::string> { "a|||1" }) << c.contentType;
    }
}

TEST(MultipartFormTest, RefusesWhatNoFormReaderCouldTrust)
{
    std::string part = "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n";
    struct Case {
        const char* what;
        const char* contentType;
        std::string body;
    };
    const Case cases[] = {
        { "another type", "application/json; boundary=B", part + "--B--\r\n" },
        { "no boundary", "multipart/form-data", part + "--B--\r\n" },
        { "cut before the closing boundary", "multipart/form-data; boundary=B", part },
        { "cut inside a part", "multipart/form-data; boundary=B", part.substr(0, 30) },
        { "no boundary line at all", "multipart/form-data; boundary=B", "MIME-Version: 1.0\r\n" },
        { "a part without a name", "multipart/form-data; boundary=B",
            "--B\r\nContent-Disposition: form-data\r\n\r\n1\r\n--B--\r\n" },
        { "a part that is no form data", "multipart/form-data; boundary=B",
            "--B\r\nContent-Disposition: attachment; name=\"a\"\r\n\r\n1\r\n--B--\r\n" },
        { "a part without headers", "multipart/form-data; boundary=B", "--B\r\n1\r\n--B--\r\n" },
        { "an unterminated quote", "multipart/form-data; boundary=B",
            "--B\r\nContent-Disposition: form-data; name=\"a\r\n\r\n1\r\n--B--\r\n" },
    };
    for (const auto& c : cases)
        EXPECT_FALSE(MultipartForm::parse(c.contentType, c.body)) << c.what;
}

}
}
