#pragma once

#include "ZorvikAPI/models/Resource.h"

#include <optional>
#include <string>
#include <string_view>

namespace zorvik::api {

/// The credentials of an account, {"email", "password"}: the body of a sign-up (a create on the
/// freelancers repository) and of a log-in.
class NewFreelancer : public Resource {
public:
    using Resource::Resource;

    /// A new credentials record.
    static NewFreelancer withEmail(std::string_view email, std::string_view password);

    /// "email", or nullopt.
    std::optional<std::string> email() const;
    /// "password", or nullopt.
    std::optional<std::string> password() const;
};

}
