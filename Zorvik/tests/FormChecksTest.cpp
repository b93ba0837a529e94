#include "Zorvik/Models/FormChecks.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace zorvik::test {
namespace {

const char* kFormat = "A VAT number has 9 digits (12 for a branch), with or without GB in front.";
const char* kMissing = "Enter your VAT number, or switch VAT registration off.";
const char* kSortCode = "A sort code has 6 digits, like 12-34-56.";
const char* kAccount = "An account number has 8 digits. Put zeros in front of a shorter one.";

TEST(FormChecksTest, VATNumbersOfEveryKindWhileRegistered)
{
    struct Case {
        bool registered;
        const char* number;
        std::optional<std::string> problem;
    };
    for (const Case& c : {
             Case { true, "GB123456789", std::nullopt },
             Case { true, "123456789", std::nullopt },
             Case { true, "gb 123 4567 89", std::nullopt },
             Case { true, "GB123456789001", std::nullopt },
             Case { true, "GBGD001", std::nullopt },
             Case { true, "HA599", std::nullopt },
             Case { true, "GB12345678", kFormat },
             Case { true, "GB1234567890", kFormat },
             Case { true, "GB12345678A", kFormat },
             Case { true, "GD1234", kFormat },
             Case { true, "XX123456789", kFormat },
             Case { true, "GB", kFormat },
             Case { true, "", kMissing },
             Case { true, "   ", kMissing },
             Case { false, "", std::nullopt },
             Case { false, "not a number", std::nullopt },
         }) {
        SCOPED_TRACE(std::string(c.registered ? "on " : "off ") + c.number);
        EXPECT_EQ(FormChecks::vatRegistrationProblem(c.registered, c.number), c.problem);
    }
}

TEST(FormChecksTest, BankDetailsAreEightAndSixDigitsOrNothing)
{
    struct Case {
        const char* accountNumber;
        const char* sortCode;
        std::optional<std::string> problem;
    };
    for (const Case& c : {
             Case { "12345678", "12-34-56", std::nullopt },
             Case { "12345678", "123456", std::nullopt },
             Case { "", "", std::nullopt },
             Case { "12345678", "12-34-5", kSortCode },
             Case { "12345678", "12-34-567", kSortCode },
             Case { "12345678", "12 34 56", kSortCode },
             Case { "12345678", "", kSortCode },
             Case { "1234567", "12-34-56", kAccount },
             Case { "123456789", "12-34-56", kAccount },
             Case { "1234567a", "12-34-56", kAccount },
             Case { "", "12-34-56", kAccount },
         }) {
        SCOPED_TRACE(std::string(c.accountNumber) + " / " + c.sortCode);
        EXPECT_EQ(FormChecks::bankAccountProblem(c.accountNumber, c.sortCode), c.problem);
    }
}

TEST(FormChecksTest, ABusinessNeedsANameThatIsNotBlank)
{
    EXPECT_EQ(FormChecks::businessProblem("Copperfinch Ltd"), std::nullopt);
    EXPECT_EQ(FormChecks::businessProblem(""), "Your business needs a name.");
    EXPECT_EQ(FormChecks::businessProblem(" \t "), "Your business needs a name.");
}

}
}
