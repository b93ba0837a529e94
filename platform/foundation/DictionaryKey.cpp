#include "platform/foundation/DictionaryKey.h"

#include <cstring>
#include <limits>
#include <ostream>
#include <stdexcept>

namespace platform::foundation {

DictionaryKey::DictionaryKey(std::string_view text)
{
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("a dictionary key of 4 GiB or more");
    m_size = static_cast<std::uint32_t>(text.size());
    if (m_size > kInlineCapacity) {
        char* heapText = new char[m_size];
        std::memcpy(heapText, text.data(), m_size);
        std::memcpy(m_bytes, &heapText, sizeof heapText);
    } else if (m_size) {
        std::memcpy(m_bytes, text.data(), m_size);
    }
}

DictionaryKey::DictionaryKey(DictionaryKey&& other) noexcept
    : m_size(other.m_size)
{
    std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
    // The heap text, if any, now belongs to this key.
    other.m_size = 0;
}

DictionaryKey& DictionaryKey::operator=(const DictionaryKey& other)
{
    if (this != &other)
        *this = DictionaryKey(other);
    return *this;
}

DictionaryKey& DictionaryKey::operator=(DictionaryKey&& other) noexcept
{
    if (this != &other) {
        release();
        m_size = other.m_size;
        std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
        other.m_size = 0;
    }
    return *this;
}

DictionaryKey::~DictionaryKey()
{
    release();
}

void DictionaryKey::release()
{
    if (m_size > kInlineCapacity)
        delete[] heap();
    m_size = 0;
}

std::ostream& operator<<(std::ostream& stream, const DictionaryKey& key)
{
    return stream << key.view();
}

}
