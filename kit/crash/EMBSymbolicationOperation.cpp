#include "kit/crash/EMBSymbolicationOperation.h"

namespace kit {

void EMBSymbolicationOperation::main()
{
    if (!m_symbolResolver)
        return;
    enumerateFramesWithBlock([&](EMBStackFrame& frame, std::size_t index) {
        m_symbolResolver->updateStackFrame(frame,
            index == 0 ? EMBSymbolResolver::AddressKind::InstructionPointer
                       : EMBSymbolResolver::AddressKind::ReturnAddress);
    });
}

}
