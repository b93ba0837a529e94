#include "ZorvikAPI/models/BankAccount.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

TEST(BankAccount, ReadsItsNumbersOrEmptyText)
{
    BankAccount account = BankAccount::withAccountNumber("12345678", "12-34-56");
    EXPECT_EQ(account.accountNumber(), "12345678");
    EXPECT_EQ(account.sortCode(), "12-34-56");

    BankAccount blank(platform::foundation::Dictionary::make());
    EXPECT_EQ(blank.accountNumber(), "");
    EXPECT_EQ(blank.sortCode(), "");
}

}
}
