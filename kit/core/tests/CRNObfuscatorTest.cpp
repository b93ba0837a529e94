#include "kit/core/CRNObfuscator.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Exception.h"

#include <gtest/gtest.h>

using kit::CRNObfuscator;
using platform::foundation::Array;
using platform::foundation::Dictionary;
using platform::foundation::NamedException;

TEST(CRNObfuscatorTest, PackingAndUnpackingGiveAnEqualDictionary)
{
    auto info = Dictionary::make({ { "bundle_id", "com.cairn.tally" }, { "version", "2.1" },
        { "kits", Array::make({ "Ember", 3 }) }, { "enabled", true } });
    std::string packed = CRNObfuscator::obfuscatedDataFromDictionary(info);
    EXPECT_EQ(packed.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(packed.substr(0, 6), "YnBsaX") << "Base64 of a binary property list";
    EXPECT_TRUE(CRNObfuscator::dictionaryWithObfuscatedData(packed)->equals(*info));
}

TEST(CRNObfuscatorTest, BadDataRaisesInvalidObfuscatedData)
{
    std::string packed = CRNObfuscator::obfuscatedDataFromDictionary(Dictionary::make({ { "a", 1 } }));
    const std::pair<std::string, const char*> cases[] = {
        { "", "Attempting to deobfuscate nil or empty data." },
        { "not base64!", "Improperly obfuscated data." },
        { "YWJj", "Improperly obfuscated data." },
        { "YWJjZA=", "Improperly obfuscated data." },
        { packed.substr(0, packed.size() - 4), "Improperly obfuscated data." },
    };
    for (const auto& [data, reason] : cases) {
        try {
            CRNObfuscator::dictionaryWithObfuscatedData(data);
            ADD_FAILURE() << "no exception for " << data;
        } catch (const NamedException& exception) {
            EXPECT_EQ(exception.name(), "InvalidObfuscatedData");
            EXPECT_EQ(exception.reason(), reason) << data;
        }
    }
}
