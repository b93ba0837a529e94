#pragma once

#include <string>

namespace zorvik {

/// The server addresses and keys this build talks to. Each address is a build setting (a CMake cache
/// variable of the same name, with a default pointing at a local back-end on 127.0.0.1:8080) that the
/// environment variable of that name overrides when it is set and not empty:
///
///   ZORVIK_API_URL        base URL of the back-end REST API (path "/")
///   ZORVIK_COMPANIES_URL  root URL of the live server that answers the company search ("/companies")
///   ZORVIK_CONFIG_URL     URL of the remote configuration service (path "/")
///   ZORVIK_PHOTO_URL      base URL of the photo storage (uploads and public logo addresses)
///   ZORVIK_SITE_URL       root URL of the product's web site (the terms page is "/terms" there)
///
/// The photo storage's keys, ZORVIK_PHOTO_ACCESS_KEY and ZORVIK_PHOTO_SECRET_KEY, are build settings
/// only; their defaults are placeholders that the local back-end accepts.
class BuildSettings {
public:
    BuildSettings() = delete;

    /// The back-end API's base URL.
    static std::string apiBaseUrl();
    /// The company-search server's root URL.
    static std::string companiesUrl();
    /// The remote configuration service's URL.
    static std::string configurationUrl();
    /// The photo storage's base URL.
    static std::string photoStorageUrl();
    /// The product web site's root URL, without a final "/".
    static std::string siteUrl();
    /// The photo storage's access key.
    static std::string photoAccessKey();
    /// The photo storage's secret key.
    static std::string photoSecretKey();
};

}
