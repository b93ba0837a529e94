#pragma once

#include <array>
#include <string>
#include <string_view>

namespace attribution {

/// The tracker's keyed encoding of a request body: the Base64 bit packing of RFC 4648 over the body's bytes,
/// with "=" padding, in an alphabet shuffled by the developer key.
class WayfinderScrambler {
public:
    /// "ABC...XYZabc...xyz0123456789-/": standard Base64's alphabet with "-" in place of "+".
    static constexpr std::string_view kBaseAlphabet {
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-/"
    };

    /// The alphabet keyed by `devKey` (taken as UTF-16 code units, at least one): for i = 0 ... 63 in turn,
    /// the characters at i and (key[i mod n] + i) mod 64 change places.
    static std::array<char, 64> alphabet(std::string_view devKey);

    /// `text` packed in the alphabet of `devKey`: 4 × ceil(L / 3) characters for L bytes. Empty for an
    /// empty key, which keys no alphabet.
    static std::string scramble(std::string_view text, std::string_view devKey);
};

}
