#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace kit::testing {

/// Assembles call-frame information by hand: one CIE followed by FDEs, in a buffer that stays put.
class CfiBuilder {
public:
    CfiBuilder() { m_bytes.reserve(4096); }

    /// A CIE with `augmentation` ("zR" and friends), code alignment 1, data alignment -8, return address 16,
    /// pointer encoding `encoding` (for "R"), then `instructions`.
    void cie(
        const char* augmentation, std::uint8_t encoding, std::initializer_list<std::uint8_t> instructions)
    {
        std::size_t start = beginRecord();
        u32(0);
        u8(1);
        for (const char* c = augmentation; *c; ++c)
            u8(std::uint8_t(*c));
        u8(0);
        u8(1);
        u8(0x78);
        u8(16);
        if (augmentation[0] == 'z') {
            u8(augmentation[1] == 'R' ? 1 : 0);
            if (augmentation[1] == 'R')
                u8(encoding);
        }
        bytes(instructions);
        endRecord(start);
    }

    /// An FDE for [pcBegin, pcBegin + range) in the 0x1b encoding (PC-relative signed 32-bit), with
    /// `instructions`. Answers its offset.
    std::size_t fde(
        std::uint64_t pcBegin, std::uint32_t range, std::initializer_list<std::uint8_t> instructions)
    {
        std::size_t start = beginRecord();
        u32(std::uint32_t(m_bytes.size()));
        std::uint64_t field = address() + m_bytes.size();
        u32(std::uint32_t(std::int32_t(std::int64_t(pcBegin - field))));
        u32(range);
        u8(0);
        bytes(instructions);
        endRecord(start);
        return start;
    }

    std::uint64_t address() const { return reinterpret_cast<std::uint64_t>(m_bytes.data()); }
    std::uint64_t end() const { return address() + m_bytes.size(); }
    std::vector<std::uint8_t>& data() { return m_bytes; }

private:
    std::size_t beginRecord()
    {
        std::size_t start = m_bytes.size();
        u32(0);
        return start;
    }
    void endRecord(std::size_t start)
    {
        while ((m_bytes.size() - start) % 8 != 0)
            u8(0);
        auto length = std::uint32_t(m_bytes.size() - start - 4);
        for (int i = 0; i < 4; ++i)
            m_bytes[start + std::size_t(i)] = std::uint8_t(length >> (8 * i));
    }
    void u8(std::uint8_t value) { m_bytes.push_back(value); }
    void u32(std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            u8(std::uint8_t(value >> (8 * i)));
    }
    void bytes(std::initializer_list<std::uint8_t> values) { m_bytes.insert(m_bytes.end(), values); }

    std::vector<std::uint8_t> m_bytes;
};

}
