#pragma once

#include "ZorvikAPI/models/Resource.h"

#include <optional>
#include <string>

namespace zorvik::api {

class Business;

/// A party of an invoice: "contact", an e-mail address, and "business", the party's business record.
class Contact : public Resource {
public:
    using Resource::Resource;

    /// A new contact; an absent argument leaves its key out.
    static Contact withEmail(
        const std::optional<std::string>& email, const std::optional<Business>& business);

    /// "contact", the e-mail address, or nullopt.
    std::optional<std::string> contact() const;
    /// Stores "contact" (nullopt removes it).
    void setContact(const std::optional<std::string>& contact) const;

    /// "business", or nullopt.
    std::optional<Business> business() const;
    /// Stores "business" (nullopt removes it).
    void setBusiness(const std::optional<Business>& business) const;
};

}
