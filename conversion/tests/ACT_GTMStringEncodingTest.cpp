#include "conversion/ACT_GTMStringEncoding.h"

#include <gtest/gtest.h>

#include <functional>

namespace conversion::test {
namespace {

using platform::foundation::Bytes;
using Preset = std::function<std::shared_ptr<ACT_GTMStringEncoding>()>;

Bytes bytesOf(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

struct PresetCase {
    const char* name;
    Preset make;
    // The encodings of "", "f", "fo", "foo", "foob", "fooba" and "foobar".
    std::vector<std::string> foobar;
};

const std::vector<PresetCase>& presets()
{
    static const std::vector<PresetCase> cases {
        { "binary", ACT_GTMStringEncoding::binaryStringEncoding,
            { "", "01100110", "0110011001101111", "011001100110111101101111",
                "01100110011011110110111101100010", "0110011001101111011011110110001001100001",
                "011001100110111101101111011000100110000101110010" } },
        { "hex", ACT_GTMStringEncoding::hexStringEncoding,
            { "", "66", "666F", "666F6F", "666F6F62", "666F6F6261", "666F6F626172" } },
        { "base32", ACT_GTMStringEncoding::rfc4648Base32StringEncoding,
            { "", "MY======", "MZXQ====", "MZXW6===", "MZXW6YQ=", "MZXW6YTB", "MZXW6YTBOI======" } },
        { "base32hex", ACT_GTMStringEncoding::rfc4648Base32HexStringEncoding,
            { "", "CO======", "CPNG====", "CPNMU===", "CPNMUOG=", "CPNMUOJ1", "CPNMUOJ1E8======" } },
        { "crockford", ACT_GTMStringEncoding::crockfordBase32StringEncoding,
            { "", "CR", "CSQG", "CSQPY", "CSQPYRG", "CSQPYRK1", "CSQPYRK1E8" } },
        { "base64", ACT_GTMStringEncoding::rfc4648Base64StringEncoding,
            { "", "Zg==", "Zm8=", "Zm9v", "Zm9vYg==", "Zm9vYmE=", "Zm9vYmFy" } },
        { "base64url", ACT_GTMStringEncoding::rfc4648Base64WebsafeStringEncoding,
            { "", "Zg==", "Zm8=", "Zm9v", "Zm9vYg==", "Zm9vYmE=", "Zm9vYmFy" } },
    };
    return cases;
}

TEST(ACT_GTMStringEncodingTest, EveryPresetEncodesAndDecodesItsOwnText)
{
    const std::string foobar = "foobar";
    for (const auto& [name, make, encodings] : presets()) {
        SCOPED_TRACE(name);
        auto encoding = make();
        for (std::size_t length = 0; length <= foobar.size(); ++length) {
            auto input = foobar.substr(0, length);
            EXPECT_EQ(encoding->encodeString(input), encodings[length]);
            EXPECT_EQ(encoding->stringByDecoding(encodings[length]), input);
        }
        Bytes every;
        for (int byte = 0; byte < 256; ++byte)
            every.push_back(static_cast<std::uint8_t>(byte));
        EXPECT_EQ(encoding->decode(encoding->encode(every)), every);
    }
}

TEST(ACT_GTMStringEncodingTest, SynonymsDecodeAsTheirCharacters)
{
    EXPECT_EQ(ACT_GTMStringEncoding::hexStringEncoding()->decode("fFaA09"), (Bytes { 0xFF, 0xAA, 0x09 }));
    auto crockford = ACT_GTMStringEncoding::crockfordBase32StringEncoding();
    EXPECT_EQ(crockford->decode("oO"), crockford->decode("00"));
    EXPECT_EQ(crockford->decode("lIi0"), crockford->decode("1110"));
    EXPECT_EQ(crockford->stringByDecoding("csqpyrk1e8"), "foobar");
}

TEST(ACT_GTMStringEncodingTest, DecodingRefusesWhatItCannotRead)
{
    struct Case {
        const char* name;
        Preset make;
        std::string text;
    };
    const Case cases[] = {
        { "outside the alphabet", ACT_GTMStringEncoding::rfc4648Base64StringEncoding, "Zm9v!" },
        { "data after padding", ACT_GTMStringEncoding::rfc4648Base64StringEncoding, "Zg==Zg==" },
        { "bits left over", ACT_GTMStringEncoding::rfc4648Base64StringEncoding, "Zh==" },
        { "not ASCII", ACT_GTMStringEncoding::hexStringEncoding, "66\xC3\xA9" },
        { "the other alphabet's character", ACT_GTMStringEncoding::rfc4648Base64WebsafeStringEncoding, "+/" },
        { "padding of an encoding without", ACT_GTMStringEncoding::hexStringEncoding, "66==" },
    };
    for (const auto& [name, make, text] : cases) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(make()->decode(text));
        EXPECT_FALSE(make()->stringByDecoding(text));
    }
    EXPECT_FALSE(ACT_GTMStringEncoding::hexStringEncoding()->stringByDecoding("C3"));
}

TEST(ACT_GTMStringEncodingTest, IgnoredCharactersAreSkipped)
{
    auto base64 = ACT_GTMStringEncoding::rfc4648Base64StringEncoding();
    base64->ignoreCharacters(" \n");
    EXPECT_EQ(base64->stringByDecoding("Zm9v\nYmFy "), "foobar");
}

TEST(ACT_GTMStringEncodingTest, AnAlphabetIsAPowerOfTwoOfDistinctASCIICharacters)
{
    for (std::string_view alphabet : { std::string_view(""), std::string_view("0"), std::string_view("012"),
             std::string_view("0012"), std::string_view("01\xC3\xA9") }) {
        SCOPED_TRACE(alphabet);
        EXPECT_FALSE(ACT_GTMStringEncoding::stringEncodingWithString(alphabet));
    }
    std::string ascii;
    for (int c = 0; c < 128; ++c)
        ascii += static_cast<char>(c);
    auto base128 = ACT_GTMStringEncoding::stringEncodingWithString(ascii);
    ASSERT_TRUE(base128);
    EXPECT_EQ(base128->decode(base128->encode(bytesOf("any bytes at all"))), bytesOf("any bytes at all"));

    auto octal = ACT_GTMStringEncoding::stringEncodingWithString("01234567");
    ASSERT_TRUE(octal);
    EXPECT_EQ(octal->padLen(), 8);
    octal->setPaddingChar('=');
    octal->setDoPad(true);
    EXPECT_EQ(octal->encodeString("A"), "202=====");
    EXPECT_EQ(octal->stringByDecoding("202====="), "A");
}

TEST(ACT_GTMStringEncodingTest, DescribesItsBaseAndAlphabet)
{
    EXPECT_EQ(ACT_GTMStringEncoding::binaryStringEncoding()->description(), "<Base2 StringEncoder: <3031>>");
    EXPECT_EQ(ACT_GTMStringEncoding::stringEncodingWithString("abcdefgh")->description(),
        "<Base8 StringEncoder: <61626364 65666768>>");
}

}
}
