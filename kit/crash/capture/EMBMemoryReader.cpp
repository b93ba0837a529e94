#include "kit/crash/capture/EMBMemoryReader.h"

#include "kit/crash/capture/EMBSafeRead.h"

namespace kit {

bool EMBSafeMemoryReader::read(std::uint64_t address, void* buffer, std::size_t length) const
{
    return EMBReadMemory(reinterpret_cast<const void*>(address), buffer, length);
}

}
