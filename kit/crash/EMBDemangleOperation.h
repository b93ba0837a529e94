#pragma once

#include "kit/crash/EMBThreadArrayOperation.h"

#include <optional>
#include <string>

namespace kit {

/// Gives every named frame of the thread array the readable form of its symbol; a symbol that does not
/// demangle stays as it is.
class EMBDemangleOperation : public EMBThreadArrayOperation {
public:
    using EMBThreadArrayOperation::EMBThreadArrayOperation;

    /// The readable form of a symbol as an image names it: a C++ name ("_Z3foov" gives "foo()") or a C++
    /// block invocation ("__Z3foov_block_invoke_2" gives "foo()_block_invoke_2"). None for any other name,
    /// Swift's ("_T…") included, which stay mangled, and for a name that does not demangle.
    static std::optional<std::string> demangleSymbol(const char* symbol);

    void main() override;

private:
    static std::optional<std::string> demangleCppSymbol(const char* symbol);
    static std::optional<std::string> demangleBlockInvokeCppSymbol(const char* symbol);
};

}
