#pragma once

namespace zorvik {

/// The install-attribution tracker's settings for this app, given to the tracker once at launch.
struct WayfinderConfiguration {
    /// The tracker's developer key.
    static constexpr const char* kDevKey { "Zq7v" };
    /// The app's App Store id.
    static constexpr const char* kAppleAppID { "1047395822" };

    /// Gives the shared tracker the developer key, then the App Store id.
    static void setUp();
};

}
