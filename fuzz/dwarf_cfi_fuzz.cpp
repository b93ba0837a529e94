// libFuzzer target for the call-frame information reader: the input is a PC offset, a thread's registers and
// an .eh_frame section. Every FDE in it is unwound at the offset, with the input itself as the only memory
// the unwinder may read. Nothing may crash, hang or read outside the input.
#include "kit/crash/capture/EMBDwarfUnwind.h"
#include "kit/crash/capture/EMBMemoryReader.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

class InputReader final : public kit::EMBMemoryReader {
public:
    InputReader(std::uint64_t start, std::uint64_t end)
        : m_start(start)
        , m_end(end)
    {
    }

    bool readUnknown(std::uint64_t address, void* buffer, std::size_t length) const override
    {
        if (address < m_start || address > m_end || m_end - address < length)
            return false;
        std::memcpy(buffer, reinterpret_cast<const void*>(address), length);
        return true;
    }

private:
    std::uint64_t m_start;
    std::uint64_t m_end;
};

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t kHeader = 8 + 8 * kit::kEMBDwarfRegisterCount;
    if (size < kHeader)
        return 0;
    std::uint64_t offset = 0;
    std::memcpy(&offset, data, 8);
    kit::EMBThreadContext context;
    std::memcpy(context.registers, data + 8, 8 * kit::kEMBDwarfRegisterCount);
    auto start = reinterpret_cast<std::uint64_t>(data);
    kit::EMBDwarfSection section { start + kHeader, start + size };
    InputReader reader(start, start + size);
    // Registers that point into the input make stack reads succeed now and then.
    context.registers[kit::kEMBDwarfRegisterRSP]
        = start + context.registers[kit::kEMBDwarfRegisterRSP] % size;

    int records = 0;
    for (std::uint64_t at = section.start; at + 4 <= section.end && records < 64; ++records) {
        std::uint32_t length = 0;
        std::memcpy(&length, reinterpret_cast<const void*>(at), 4);
        if (length == 0 || length == 0xffffffff || length > section.end - at - 4)
            break;
        kit::EMBDwarfCFIRecord cfi;
        if (kit::EMBDwarfParseCFIFromFDERecord(&cfi, at, section)) {
            std::uint64_t pc = cfi.fde.pcBegin + (cfi.fde.pcRange ? offset % cfi.fde.pcRange : 0);
            context.registers[kit::kEMBDwarfRegisterRIP] = pc;
            kit::EMBDwarfFrame caller;
            kit::EMBDwarfUnwindComputeRegisters(&cfi, &context, pc, &reader, &caller);
        }
        at += 4 + length;
    }
    return 0;
}
