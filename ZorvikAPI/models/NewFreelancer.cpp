#include "ZorvikAPI/models/NewFreelancer.h"
#include "platform/foundation/Dictionary.h"

namespace zorvik::api {

NewFreelancer NewFreelancer::withEmail(std::string_view email, std::string_view password)
{
    return NewFreelancer(
        platform::foundation::Dictionary::make({ { "email", email }, { "password", password } }));
}

std::optional<std::string> NewFreelancer::email() const
{
    return text("email");
}

std::optional<std::string> NewFreelancer::password() const
{
    return text("password");
}

}
