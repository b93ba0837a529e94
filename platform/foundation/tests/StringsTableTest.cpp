#include "platform/foundation/StringsTable.h"

#include <gtest/gtest.h>

namespace platform::foundation {
namespace {

TEST(StringsTableTest, ReadsEntriesCommentsAndEscapes)
{
    auto table = parseStringsTable("\xEF\xBB\xBF/* header\n spans lines */\n"
                                   "\"Title\" = \"Send \\\"it\\\"?\";  // trailing\n"
                                   "\"Multi\"=\"one\\ntwo\\\\\";\n"
                                   "\"Title\" = \"Later wins\";\n");
    ASSERT_TRUE(table);
    EXPECT_EQ(*table,
        (std::map<std::string, std::string> { { "Title", "Later wins" }, { "Multi", "one\ntwo\\" } }));
    EXPECT_EQ(parseStringsTable(""), (std::map<std::string, std::string> {}));
}

TEST(StringsTableTest, RejectsWhatIsNotATable)
{
    for (const char* text :
        { "\"a\" = \"b\"", "\"a\" \"b\";", "a = \"b\";", "\"a\" = \"b;", "/* open", "\"a\" = \"b\"; junk" })
        EXPECT_FALSE(parseStringsTable(text)) << text;
}

}
}
