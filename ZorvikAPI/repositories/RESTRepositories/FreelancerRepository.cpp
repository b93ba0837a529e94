#include "ZorvikAPI/repositories/RESTRepositories/FreelancerRepository.h"

#include "platform/http/Url.h"

namespace zorvik::api {

FreelancerRepository::FreelancerRepository(
    std::shared_ptr<platform::http::SessionManager> manager, std::string_view baseUrl)
    : RESTRepository(std::move(manager), platform::http::resolve("/api/freelancers", baseUrl))
{
}

}
