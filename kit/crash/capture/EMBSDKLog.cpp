#include "kit/crash/capture/EMBSDKLog.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kit {
namespace {

// Reserved at start: the path never changes while anything logs, the descriptor is claimed once.
char g_path[PATH_MAX] {};
std::atomic<int> g_descriptor { -1 };

class LineWriter {
public:
    LineWriter(char* out, std::size_t capacity)
        : m_out(out)
        , m_capacity(capacity)
    {
    }

    void put(char c)
    {
        if (m_length < m_capacity)
            m_out[m_length] = c;
        ++m_length;
    }
    void put(const char* text, std::size_t length)
    {
        for (std::size_t i = 0; i < length; ++i)
            put(text[i]);
    }
    void pad(std::size_t count, char with)
    {
        while (count-- > 0)
            put(with);
    }
    std::size_t length() const { return m_length < m_capacity ? m_length : m_capacity; }

private:
    char* m_out;
    std::size_t m_capacity;
    std::size_t m_length { 0 };
};

enum class Length { Int, Char, Short, Long, LongLong, Size, Max, PtrDiff };

struct Directive {
    bool zeroPad { false };
    std::size_t width { 0 };
    Length length { Length::Int };
};

std::uint64_t takeUnsigned(va_list& arguments, Length length)
{
    switch (length) {
    case Length::Char:
        return static_cast<unsigned char>(va_arg(arguments, unsigned));
    case Length::Short:
        return static_cast<unsigned short>(va_arg(arguments, unsigned));
    case Length::Int:
        return va_arg(arguments, unsigned);
    case Length::Long:
        return va_arg(arguments, unsigned long);
    case Length::LongLong:
        return va_arg(arguments, unsigned long long);
    case Length::Size:
        return va_arg(arguments, std::size_t);
    case Length::Max:
        return va_arg(arguments, std::uintmax_t);
    case Length::PtrDiff:
        return static_cast<std::uint64_t>(va_arg(arguments, std::ptrdiff_t));
    }
    return 0;
}

std::int64_t takeSigned(va_list& arguments, Length length)
{
    switch (length) {
    case Length::Char:
        return static_cast<signed char>(va_arg(arguments, int));
    case Length::Short:
        return static_cast<short>(va_arg(arguments, int));
    case Length::Int:
        return va_arg(arguments, int);
    case Length::Long:
        return va_arg(arguments, long);
    case Length::LongLong:
        return va_arg(arguments, long long);
    case Length::Size:
        return va_arg(arguments, ssize_t);
    case Length::Max:
        return va_arg(arguments, std::intmax_t);
    case Length::PtrDiff:
        return va_arg(arguments, std::ptrdiff_t);
    }
    return 0;
}

// Writes `value` in `base`, right to left in a local buffer, padded to the directive's width.
void putNumber(LineWriter& line, std::uint64_t value, unsigned base, bool negative, const char* prefix,
    const Directive& directive)
{
    char digits[24];
    std::size_t count = 0;
    do {
        digits[count++] = "0123456789abcdef"[value % base];
        value /= base;
    } while (value != 0);
    std::size_t prefixLength = std::strlen(prefix) + (negative ? 1 : 0);
    std::size_t fill = directive.width > count + prefixLength ? directive.width - count - prefixLength : 0;
    if (!directive.zeroPad)
        line.pad(fill, ' ');
    if (negative)
        line.put('-');
    line.put(prefix, std::strlen(prefix));
    if (directive.zeroPad)
        line.pad(fill, '0');
    while (count > 0)
        line.put(digits[--count]);
}

// Reads flags, width and length after a "%"; answers the position of the conversion character.
const char* readDirective(const char* at, Directive& directive)
{
    while (*at == '0') {
        directive.zeroPad = true;
        ++at;
    }
    while (*at >= '0' && *at <= '9' && directive.width < 4096)
        directive.width = directive.width * 10 + std::size_t(*at++ - '0');
    switch (*at) {
    case 'h':
        directive.length = at[1] == 'h' ? Length::Char : Length::Short;
        at += at[1] == 'h' ? 2 : 1;
        break;
    case 'l':
        directive.length = at[1] == 'l' ? Length::LongLong : Length::Long;
        at += at[1] == 'l' ? 2 : 1;
        break;
    case 'z':
        directive.length = Length::Size;
        ++at;
        break;
    case 'j':
        directive.length = Length::Max;
        ++at;
        break;
    case 't':
        directive.length = Length::PtrDiff;
        ++at;
        break;
    default:
        break;
    }
    return at;
}

}

std::size_t EMBSDKLogFormat(char* out, std::size_t capacity, const char* format, va_list arguments)
{
    LineWriter line(out, capacity);
    va_list rest;
    va_copy(rest, arguments);
    for (const char* at = format; *at != '\0'; ++at) {
        if (*at != '%') {
            line.put(*at);
            continue;
        }
        const char* start = at;
        Directive directive;
        at = readDirective(at + 1, directive);
        switch (*at) {
        case 'd':
        case 'i': {
            std::int64_t value = takeSigned(rest, directive.length);
            std::uint64_t magnitude
                = value < 0 ? 0 - static_cast<std::uint64_t>(value) : std::uint64_t(value);
            putNumber(line, magnitude, 10, value < 0, "", directive);
            break;
        }
        case 'u':
            putNumber(line, takeUnsigned(rest, directive.length), 10, false, "", directive);
            break;
        case 'x':
            putNumber(line, takeUnsigned(rest, directive.length), 16, false, "", directive);
            break;
        case 'p':
            putNumber(
                line, reinterpret_cast<std::uintptr_t>(va_arg(rest, void*)), 16, false, "0x", directive);
            break;
        case 'c':
            line.pad(directive.width > 1 ? directive.width - 1 : 0, ' ');
            line.put(static_cast<char>(va_arg(rest, int)));
            break;
        case 's': {
            const char* text = va_arg(rest, const char*);
            if (text == nullptr)
                text = "(null)";
            std::size_t length = std::strlen(text);
            line.pad(directive.width > length ? directive.width - length : 0, ' ');
            line.put(text, length);
            break;
        }
        default:
            // Not a directive: written as it stands, "%" included.
            line.put(start, std::size_t(at - start));
            if (*at == '\0')
                --at;
            else
                line.put(*at);
            break;
        }
    }
    va_end(rest);
    return line.length();
}

void EMBSDKLogSetPath(const char* path)
{
    int previous = g_descriptor.exchange(-1);
    if (previous >= 0)
        close(previous);
    g_path[0] = '\0';
    if (path != nullptr && std::strlen(path) < sizeof g_path)
        std::memcpy(g_path, path, std::strlen(path) + 1);
}

void EMBSDKFileLog(const char* format, ...)
{
    if (g_path[0] == '\0')
        return;
    int savedErrno = errno;
    int descriptor = g_descriptor.load();
    if (descriptor < 0) {
        int opened = open(g_path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (opened < 0) {
            errno = savedErrno;
            return;
        }
        if (g_descriptor.compare_exchange_strong(descriptor, opened)) {
            descriptor = opened;
        } else {
            close(opened);
        }
    }
    char buffer[kEMBSDKLogLineCapacity];
    va_list arguments;
    va_start(arguments, format);
    std::size_t length = EMBSDKLogFormat(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (length == sizeof buffer)
        buffer[length - 1] = '\n';
    while (write(descriptor, buffer, length) < 0 && errno == EINTR) { }
    errno = savedErrno;
}

}
