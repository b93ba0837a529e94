#include "platform/foundation/StringsTable.h"

namespace platform::foundation {
namespace {

class Reader {
public:
    explicit Reader(std::string_view text)
        : m_text(text)
    {
    }

    // Skips white space and comments; false on an unclosed comment.
    bool skip()
    {
        while (m_at < m_text.size()) {
            char c = m_text[m_at];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                ++m_at;
            } else if (m_text.substr(m_at, 2) == "//") {
                auto end = m_text.find('\n', m_at);
                m_at = end == std::string_view::npos ? m_text.size() : end + 1;
            } else if (m_text.substr(m_at, 2) == "/*") {
                auto end = m_text.find("*/", m_at + 2);
                if (end == std::string_view::npos)
                    return false;
                m_at = end + 2;
            } else {
                break;
            }
        }
        return true;
    }
    bool atEnd() const { return m_at >= m_text.size(); }
    bool take(char c)
    {
        if (!skip() || atEnd() || m_text[m_at] != c)
            return false;
        ++m_at;
        return true;
    }
    std::optional<std::string> quoted()
    {
        if (!take('"'))
            return std::nullopt;
        std::string out;
        while (m_at < m_text.size()) {
            char c = m_text[m_at++];
            if (c == '"')
                return out;
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (m_at >= m_text.size())
                return std::nullopt;
            char escaped = m_text[m_at++];
            switch (escaped) {
            case 'n':
                out.push_back('\n');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'r':
                out.push_back('\r');
                break;
            default:
                out.push_back(escaped);
            }
        }
        return std::nullopt;
    }

private:
    std::string_view m_text;
    std::size_t m_at { 0 };
};

}

std::optional<std::map<std::string, std::string>> parseStringsTable(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::map<std::string, std::string> table;
    Reader reader(text);
    while (reader.skip() && !reader.atEnd()) {
        auto key = reader.quoted();
        if (!key || !reader.take('='))
            return std::nullopt;
        auto value = reader.quoted();
        if (!value || !reader.take(';'))
            return std::nullopt;
        table[*key] = *value;
    }
    if (!reader.skip())
        return std::nullopt;
    return table;
}

}
