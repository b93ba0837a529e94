#include "kit/crash/EMBDemangleOperation.h"

#include "kit/crash/capture/EMBDemangle.h"

#include <string_view>

namespace kit {

std::optional<std::string> EMBDemangleOperation::demangleSymbol(const char* symbol)
{
    if (symbol == nullptr)
        return std::nullopt;
    std::string_view name(symbol);
    if (name.starts_with("_Z"))
        return demangleCppSymbol(symbol);
    if (name.starts_with("__Z"))
        return demangleBlockInvokeCppSymbol(symbol);
    return std::nullopt;
}

std::optional<std::string> EMBDemangleOperation::demangleCppSymbol(const char* symbol)
{
    std::string readable = EMBDemangle(symbol);
    return readable != symbol ? std::optional<std::string>(std::move(readable)) : std::nullopt;
}

std::optional<std::string> EMBDemangleOperation::demangleBlockInvokeCppSymbol(const char* symbol)
{
    std::string_view name(symbol);
    std::size_t suffix = name.rfind("_block_invoke");
    if (suffix == std::string_view::npos || suffix < 5)
        return std::nullopt;
    auto function = demangleCppSymbol(std::string(name.substr(1, suffix - 1)).c_str());
    return function ? std::optional<std::string>(*function + std::string(name.substr(suffix))) : std::nullopt;
}

void EMBDemangleOperation::main()
{
    enumerateFramesWithBlock([](EMBStackFrame& frame, std::size_t) {
        if (!frame.symbol)
            return;
        if (auto readable = demangleSymbol(frame.symbol->c_str()))
            frame.symbol = std::move(*readable);
    });
}

}
