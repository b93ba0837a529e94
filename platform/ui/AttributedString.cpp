#include "platform/ui/AttributedString.h"

#include <stdexcept>

namespace platform::ui {

TextAttributes TextAttributes::mergedWith(const TextAttributes& other) const
{
    TextAttributes merged = *this;
    if (other.font)
        merged.font = other.font;
    if (other.foregroundColor)
        merged.foregroundColor = other.foregroundColor;
    if (other.underlineStyle)
        merged.underlineStyle = other.underlineStyle;
    return merged;
}

AttributedString::AttributedString(std::string text, const TextAttributes& attributes)
    : m_text(std::move(text))
    , m_length(foundation::utf16Length(m_text))
{
    if (m_length)
        m_stretches.push_back({ m_length, attributes });
}

void AttributedString::checkRange(foundation::Utf16Range range) const
{
    if (range.location > m_length || range.length > m_length - range.location)
        throw std::out_of_range("AttributedString: range {" + std::to_string(range.location) + ", "
            + std::to_string(range.length) + "} is beyond the length " + std::to_string(m_length));
}

TextAttributes AttributedString::attributesAt(std::size_t index, foundation::Utf16Range* effectiveRange) const
{
    if (index >= m_length)
        throw std::out_of_range("AttributedString: index " + std::to_string(index) + " is beyond the length "
            + std::to_string(m_length));
    for (const auto& run : runs()) {
        if (index < run.range.location + run.range.length) {
            if (effectiveRange)
                *effectiveRange = run.range;
            return run.attributes;
        }
    }
    return {};
}

std::vector<AttributedString::Run> AttributedString::runs() const
{
    std::vector<Run> result;
    std::size_t location = 0;
    for (const auto& stretch : m_stretches) {
        if (!result.empty() && result.back().attributes == stretch.attributes)
            result.back().range.length += stretch.length;
        else
            result.push_back({ { location, stretch.length }, stretch.attributes });
        location += stretch.length;
    }
    return result;
}

std::size_t AttributedString::splitAt(std::size_t index)
{
    std::size_t location = 0;
    for (std::size_t i = 0; i < m_stretches.size(); ++i) {
        if (location == index)
            return i;
        std::size_t end = location + m_stretches[i].length;
        if (index < end) {
            Stretch tail { end - index, m_stretches[i].attributes };
            m_stretches[i].length = index - location;
            m_stretches.insert(m_stretches.begin() + std::ptrdiff_t(i) + 1, tail);
            return i + 1;
        }
        location = end;
    }
    return m_stretches.size();
}

void AttributedString::coalesce()
{
    std::vector<Stretch> merged;
    for (auto& stretch : m_stretches) {
        if (stretch.length == 0)
            continue;
        if (!merged.empty() && merged.back().attributes == stretch.attributes)
            merged.back().length += stretch.length;
        else
            merged.push_back(stretch);
    }
    m_stretches = std::move(merged);
}

template<class Change> void AttributedString::changeRange(foundation::Utf16Range range, Change change)
{
    checkRange(range);
    if (range.length == 0)
        return;
    std::size_t first = splitAt(range.location);
    std::size_t last = splitAt(range.location + range.length);
    for (std::size_t i = first; i < last; ++i)
        change(m_stretches[i].attributes);
    coalesce();
}

void AttributedString::setAttributes(const TextAttributes& attributes, foundation::Utf16Range range)
{
    changeRange(range, [&](TextAttributes& current) { current = attributes; });
}

void AttributedString::addAttributes(const TextAttributes& attributes, foundation::Utf16Range range)
{
    changeRange(range, [&](TextAttributes& current) { current = current.mergedWith(attributes); });
}

void AttributedString::setFont(const Font& font, foundation::Utf16Range range)
{
    changeRange(range, [&](TextAttributes& current) { current.font = font; });
}

void AttributedString::setForegroundColor(const Color& color, foundation::Utf16Range range)
{
    changeRange(range, [&](TextAttributes& current) { current.foregroundColor = color; });
}

void AttributedString::setUnderlineStyle(int style, foundation::Utf16Range range)
{
    changeRange(range, [&](TextAttributes& current) { current.underlineStyle = style; });
}

void AttributedString::append(const AttributedString& other)
{
    m_text += other.m_text;
    m_length += other.m_length;
    m_stretches.insert(m_stretches.end(), other.m_stretches.begin(), other.m_stretches.end());
    coalesce();
}

AttributedString AttributedString::substring(foundation::Utf16Range range) const
{
    checkRange(range);
    auto text = foundation::utf16Substring(m_text, range);
    if (!text)
        throw std::out_of_range("AttributedString: range splits a character");
    AttributedString result(*text);
    result.m_stretches.clear();
    for (const auto& run : runs()) {
        std::size_t begin = std::max(run.range.location, range.location);
        std::size_t end = std::min(run.range.location + run.range.length, range.location + range.length);
        if (begin < end)
            result.m_stretches.push_back({ end - begin, run.attributes });
    }
    return result;
}

std::string AttributedString::description() const
{
    std::string out;
    for (const auto& run : runs()) {
        if (!out.empty())
            out += ' ';
        out += '"' + foundation::utf16Substring(m_text, run.range).value_or("\uFFFD") + '"';
        std::string attributes;
        auto add = [&](const std::string& text) { attributes += (attributes.empty() ? "" : ", ") + text; };
        if (run.attributes.font)
            add(run.attributes.font->description());
        if (run.attributes.foregroundColor)
            add(run.attributes.foregroundColor->description());
        if (run.attributes.underlineStyle)
            add("underline " + std::to_string(*run.attributes.underlineStyle));
        if (!attributes.empty())
            out += " {" + attributes + "}";
    }
    return out.empty() ? "\"\"" : out;
}

}
