#include "kit/crash/EMBThreadArrayOperation.h"

namespace kit {

void EMBThreadArrayOperation::enumerateFramesWithBlock(
    const std::function<void(EMBStackFrame& frame, std::size_t index)>& block)
{
    if (!m_threadArray)
        return;
    for (auto& thread : *m_threadArray) {
        for (std::size_t index = 0; index < thread.size(); ++index)
            block(thread[index], index);
    }
}

}
