#pragma once

#include "ZorvikAPI/models/Resource.h"

#include <string>
#include <string_view>

namespace zorvik::api {

/// A business's bank account, its child "bank-account": "account_number" and "sort_code".
class BankAccount : public Resource {
public:
    using Resource::Resource;

    /// A new bank account record.
    static BankAccount withAccountNumber(std::string_view accountNumber, std::string_view sortCode);

    /// "account_number" ("" when absent).
    std::string accountNumber() const;
    /// "sort_code" ("" when absent).
    std::string sortCode() const;
};

}
