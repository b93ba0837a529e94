#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace platform::ui {

/// A colour as red, green, blue and alpha components between 0 and 1.
class Color {
public:
    /// Transparent black.
    constexpr Color() = default;
    /// A colour from components between 0 and 1 (clamped).
    constexpr Color(double red, double green, double blue, double alpha = 1)
        : m_red(clamp(red))
        , m_green(clamp(green))
        , m_blue(clamp(blue))
        , m_alpha(clamp(alpha))
    {
    }

    /// A grey from a white level between 0 and 1.
    static constexpr Color fromWhite(double white, double alpha = 1)
    {
        return { white, white, white, alpha };
    }
    /// A colour from 0-255 components and an alpha between 0 and 1.
    static constexpr Color fromBytes(int red, int green, int blue, double alpha = 1)
    {
        return { red / 255.0, green / 255.0, blue / 255.0, alpha };
    }
    /// A colour from a 0xRRGGBB number.
    static constexpr Color fromHex(std::uint32_t rgb, double alpha = 1)
    {
        return fromBytes(int((rgb >> 16) & 0xff), int((rgb >> 8) & 0xff), int(rgb & 0xff), alpha);
    }
    /// A colour from "#RRGGBB", "RRGGBB", "#RRGGBBAA" or "#RGB"; nothing when the text is not one of those.
    static std::optional<Color> fromHexString(const std::string& text);

    /// Opaque white.
    static constexpr Color white() { return { 1, 1, 1 }; }
    /// Opaque black.
    static constexpr Color black() { return { 0, 0, 0 }; }
    /// Fully transparent.
    static constexpr Color clear() { return { 0, 0, 0, 0 }; }
    /// Opaque pure red.
    static constexpr Color red() { return { 1, 0, 0 }; }
    /// Opaque pure green.
    static constexpr Color green() { return { 0, 1, 0 }; }
    /// Opaque pure blue.
    static constexpr Color blue() { return { 0, 0, 1 }; }
    /// One-third grey.
    static constexpr Color darkGray() { return fromWhite(1.0 / 3); }
    /// Half grey.
    static constexpr Color gray() { return fromWhite(0.5); }
    /// Two-thirds grey.
    static constexpr Color lightGray() { return fromWhite(2.0 / 3); }
    /// The blue that controls take when nothing sets their tint.
    static constexpr Color systemBlue() { return fromBytes(0, 122, 255); }

    /// The red component.
    constexpr double redComponent() const { return m_red; }
    /// The green component.
    constexpr double greenComponent() const { return m_green; }
    /// The blue component.
    constexpr double blueComponent() const { return m_blue; }
    /// The alpha component.
    constexpr double alphaComponent() const { return m_alpha; }

    /// The same colour with another alpha.
    constexpr Color withAlpha(double alpha) const { return { m_red, m_green, m_blue, alpha }; }

    /// The colour as 0xRRGGBB, components rounded to the nearest byte.
    std::uint32_t rgbHex() const;

    /// A readable form: "#RRGGBB" for opaque colours, "#RRGGBB alpha 0.5" otherwise, "clear" when
    /// transparent.
    std::string description() const;

    /// Colours are equal when every component rounds to the same byte.
    friend bool operator==(const Color& a, const Color& b);

private:
    static constexpr double clamp(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

    double m_red { 0 };
    double m_green { 0 };
    double m_blue { 0 };
    double m_alpha { 0 };
};

/// Writes the colour's description, for test failure messages.
std::ostream& operator<<(std::ostream& stream, const Color& color);

}
