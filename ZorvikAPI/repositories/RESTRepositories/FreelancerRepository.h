#pragma once

#include "ZorvikAPI/repositories/RESTRepositories/RESTRepository.h"

#include <string_view>

namespace zorvik::api {

/// The freelancers collection: the path "/api/freelancers" on the back-end server. Creating a record
/// here opens an account; a 422 answer means that the e-mail address is taken.
class FreelancerRepository : public RESTRepository {
public:
    /// The collection at "/api/freelancers" resolved against `baseUrl` (the path replaces any path that
    /// `baseUrl` has). Make it with std::make_shared.
    FreelancerRepository(std::shared_ptr<platform::http::SessionManager> manager, std::string_view baseUrl);
};

}
