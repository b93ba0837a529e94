#pragma once

#include "ZorvikAPI/models/Resource.h"

#include <optional>
#include <string>
#include <string_view>

namespace zorvik::api {

/// A business's VAT registration, its child "vat-registration": "is_registered" and "registration_number".
class VATRegistration : public Resource {
public:
    using Resource::Resource;

    /// A new VAT registration record.
    static VATRegistration withIsRegistered(bool isRegistered, std::string_view registrationNumber);

    /// "is_registered" (false when absent).
    bool isRegistered() const;
    /// "registration_number", or nullopt.
    std::optional<std::string> registrationNumber() const;
};

}
