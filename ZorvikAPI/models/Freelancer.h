#pragma once

#include "ZorvikAPI/models/Resource.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik::api {

class Authentication;
class Business;

/// The user account: "email", "id" (the server's user identifier, set at log-in) and "business" once it is
/// read or created. Besides its repository a freelancer carries its log-in mechanism. The process keeps one
/// signed-in freelancer, set by a successful log-in and cleared by logOut().
class Freelancer : public Resource {
public:
    using Resource::Resource;

    /// A new freelancer {"email"} with `repository` and `authentication` attached.
    static Freelancer withEmail(std::string_view email, std::shared_ptr<Repository> repository,
        std::shared_ptr<Authentication> authentication);
    /// A new freelancer {"id", "email"} with `repository` and `authentication` attached.
    static Freelancer withIdentifier(const platform::foundation::Value& identifier, std::string_view email,
        std::shared_ptr<Repository> repository, std::shared_ptr<Authentication> authentication);

    /// The signed-in freelancer, or nullopt.
    static std::optional<Freelancer> loggedInFreelancer();
    /// Replaces the signed-in freelancer.
    static void setLoggedInFreelancer(const std::optional<Freelancer>& freelancer);
    /// Signs out: the access token leaves the session's headers and there is no signed-in freelancer.
    static void logOut();

    /// "email", or nullopt.
    std::optional<std::string> email() const;
    /// "business", or nullopt.
    std::optional<Business> business() const;
    /// The repository of the freelancer's business: /api/freelancers/{id}/business.
    std::shared_ptr<Repository> businessRepository() const;

    /// The attached log-in mechanism, or null.
    std::shared_ptr<Authentication> authentication() const;
    /// Attaches `authentication`, replacing any earlier one (null detaches).
    void setAuthentication(std::shared_ptr<Authentication> authentication) const;

    /// Logs in with the freelancer's e-mail and `password` through its log-in mechanism. On success the
    /// answer's "userId" becomes the freelancer's "id", the freelancer becomes the signed-in one, then ok
    /// gets the answer. An answer without "userId" is an error: the token it brought is dropped and nothing
    /// is stored. Wrong credentials call failed.
    void loginWithPassword(std::string_view password, RecordBlock ok, Block failed, ErrorBlock error) const;

    /// Creates the freelancer's business and stores the created record under "business".
    void createBusiness(const Business& business, RecordOutcome<Business> created,
        Block businessAlreadyExists, ErrorBlock error) const;

    /// Reads the freelancer's business and stores it under "business".
    void business(RecordOutcome<Business> found, Block notFound, ErrorBlock error) const;
};

}
