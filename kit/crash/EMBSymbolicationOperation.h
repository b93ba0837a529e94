#pragma once

#include "kit/crash/EMBSymbolResolver.h"
#include "kit/crash/EMBThreadArrayOperation.h"

#include <memory>

namespace kit {

/// Names every frame of the thread array through the resolver; a frame it cannot name stays unresolved.
class EMBSymbolicationOperation : public EMBThreadArrayOperation {
public:
    EMBSymbolicationOperation(
        std::shared_ptr<EMBThreadArray> threadArray, std::shared_ptr<const EMBSymbolResolver> symbolResolver)
        : EMBThreadArrayOperation(std::move(threadArray))
        , m_symbolResolver(std::move(symbolResolver))
    {
    }

    /// A thread's first frame is the instruction it was at; every later one is a return address.
    void main() override;

private:
    std::shared_ptr<const EMBSymbolResolver> m_symbolResolver;
};

}
