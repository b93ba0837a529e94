#pragma once

#include <string>

namespace zorvik {

/// The install-attribution tracker's settings for this app, given to the tracker once at launch. Both are
/// build settings (ZORVIK_WAYFINDER_DEV_KEY and ZORVIK_WAYFINDER_APP_ID).
struct WayfinderConfiguration {
    /// The tracker's developer key (four characters).
    static std::string devKey();
    /// The app's App Store id (ten digits).
    static std::string appleAppID();

    /// Gives the shared tracker the developer key, then the App Store id.
    static void setUp();
};

}
