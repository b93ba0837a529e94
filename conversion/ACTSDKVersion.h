#pragma once

namespace conversion {

/// The tracker's version, as every ping's "sdkversion" and the public SDKVersion() give it.
inline constexpr const char* kSDKVersion { "ct-sdk-i-v3.2.0" };

}
