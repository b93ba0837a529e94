#pragma once

#include "kit/crash/EMBStackFrame.h"
#include "platform/foundation/Operation.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace kit {

/// The stacks of a crash record: one array of frames per thread, innermost first.
using EMBThreadArray = std::vector<std::vector<EMBStackFrame>>;

/// One step of a crash record's symbolication, working on the thread array the steps share; the steps run
/// one after the other on the thread that processes the report.
class EMBThreadArrayOperation : public platform::foundation::Operation {
public:
    explicit EMBThreadArrayOperation(std::shared_ptr<EMBThreadArray> threadArray)
        : m_threadArray(std::move(threadArray))
    {
    }

    const std::shared_ptr<EMBThreadArray>& threadArray() const { return m_threadArray; }

    /// Calls `block` with every frame of every thread, thread by thread, innermost first, and the frame's
    /// index in its thread's stack (0 for the instruction the thread was at).
    void enumerateFramesWithBlock(const std::function<void(EMBStackFrame& frame, std::size_t index)>& block);

private:
    std::shared_ptr<EMBThreadArray> m_threadArray;
};

}
