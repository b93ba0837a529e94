#include "kit/crash/capture/EMBDemangle.h"

#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <memory>

namespace kit {
namespace {

std::string demangled(const char* text)
{
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> readable(
        abi::__cxa_demangle(text, nullptr, nullptr, &status), &std::free);
    return status == 0 && readable ? std::string(readable.get()) : std::string(text);
}

}

std::string EMBDemangle(const char* symbol)
{
    if (symbol == nullptr)
        return {};
    // Without the prefix a short C name ("f") would decode as a type ("float").
    return std::strncmp(symbol, "_Z", 2) == 0 ? demangled(symbol) : std::string(symbol);
}

std::string EMBDemangleTypeName(const char* name)
{
    return name != nullptr ? demangled(name) : std::string();
}

}
