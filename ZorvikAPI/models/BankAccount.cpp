#include "ZorvikAPI/models/BankAccount.h"
#include "platform/foundation/Dictionary.h"

namespace zorvik::api {

using platform::foundation::Dictionary;

BankAccount BankAccount::withAccountNumber(std::string_view accountNumber, std::string_view sortCode)
{
    return BankAccount(Dictionary::make({ { "account_number", accountNumber }, { "sort_code", sortCode } }));
}

std::string BankAccount::accountNumber() const
{
    return text("account_number").value_or("");
}

std::string BankAccount::sortCode() const
{
    return text("sort_code").value_or("");
}

}
