#pragma once

#include <string_view>

namespace zorvik {

/// Wires the API client library to the back-end at launch.
class RESTRepositories {
public:
    RESTRepositories() = delete;

    /// Fills the process's Repositories holder, replacing what it held, with entries that share one new
    /// HTTP session (JSON bodies for POST and PUT, query parameters for GET and DELETE, outcomes on the
    /// main queue): the log-in at "/api/freelancers/login" and the freelancers repository at
    /// "/api/freelancers", both resolved against `baseUrl`, and the company search at "/companies"
    /// resolved against BuildSettings::companiesUrl(). Call on the main thread.
    static void initialise(std::string_view baseUrl);

    /// As initialise(baseUrl), with the company search's server root given as `companiesRootUrl`.
    static void initialise(std::string_view baseUrl, std::string_view companiesRootUrl);
};

}
