#include "Zorvik/Controls/EmailTextField.h"

#include <gtest/gtest.h>

#include <string>

namespace zorvik::test {
namespace {

using platform::ui::NibCoder;

TEST(EmailTextFieldTest, TheFieldAsksForTheEmailKeyboardWithoutAutocorrection)
{
    EmailTextField field(NibCoder { { 0, 0, 280, 44 } });
    EXPECT_EQ(field.keyboardType(), platform::ui::KeyboardType::EmailAddress);
    EXPECT_EQ(field.autocorrectionType(), platform::ui::AutocorrectionType::No);
    EXPECT_EQ(field.frame().width(), 280);
}

TEST(EmailTextFieldTest, OnlyTextThatIsExactlyOneAddressIsValid)
{
    const std::string thirty(30, 'a');
    struct Case {
        std::string text;
        bool valid;
    } cases[] = {
        { "a@b.com", true },
        { "jane.doe+invoices@example.co.uk", true },
        { "JANE_DOE%1@EXAMPLE-MAIL.COM", true },
        { "Jane@Example.Com", true },
        { "a@b.co", true },
        { "a@b." + thirty, true },
        { " a@b.com", true },
        { "a@b.com ", true },
        { "\ta@b.com\n", true },
        { "", false },
        { "   ", false },
        { "a@b.c", false },
        { "a@b." + thirty + "a", false },
        { "a@b.c0m", false },
        { "a@b.com junk", false },
        { "a@b.com, c@d.com", false },
        { "a@b.coma@b.com", false },
        { "junk a@b.com", false },
        { "a b@c.com", false },
        { "@b.com", false },
        { "a@.com", false },
        { "a@com", false },
        { "a@@b.com", false },
        { "a@b.com.", false },
        { "#a@b.com", false },
    };
    EmailTextField field(NibCoder {});
    for (const auto& c : cases) {
        field.setText(c.text);
        EXPECT_EQ(field.containsValidEmailAddress(), c.valid) << "'" << c.text << "'";
    }
    field.setText("  a@b.com ");
    EXPECT_EQ(field.emailAddress(), "a@b.com");
}

}
}
