#pragma once

#include "platform/foundation/Value.h"

#include <string_view>

namespace testing {

/// The company register behind the back-end's company search: a fixture of
/// made-up UK companies and the search over a list of them.
///
/// Every company is a JSON object with the keys "companyName",
/// "registrationNumber", "addressLine1", "addressLine2", "postTown", "county",
/// "postCode" and "country"; some fixture companies have no "addressLine2" or
/// no "county" key at all, as the register leaves out what it does not know.
class CompanyRegister {
public:
    /// The fixture: 20 fictional companies, in a fixed order. A new array on
    /// every call.
    static platform::foundation::ArrayRef fixture();

    /// Deep copies of the companies whose name contains `term` (ASCII letters
    /// compared without case) or whose registration number equals it, in list
    /// order. Surrounding spaces of the term are ignored; an empty term finds
    /// nothing. Each hit carries all eight keys: one the register left out (or
    /// null) is "", so that an app that drops incomplete hits still lists it.
    static platform::foundation::ArrayRef search(
        const platform::foundation::Array& companies, std::string_view term);
};

}
