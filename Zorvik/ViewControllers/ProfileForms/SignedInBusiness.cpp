#include "Zorvik/ViewControllers/ProfileForms/SignedInBusiness.h"

#include "ZorvikAPI/models/Freelancer.h"
#include "platform/foundation/Assertion.h"

#include <string>

namespace zorvik {

api::Business signedInBusiness(std::string_view screen)
{
    auto freelancer = api::Freelancer::loggedInFreelancer();
    auto business = freelancer ? freelancer->business() : std::nullopt;
    if (!business)
        platform::foundation::fatalError(
            std::string(screen) + " needs a signed-in freelancer with a business");
    return *business;
}

}
