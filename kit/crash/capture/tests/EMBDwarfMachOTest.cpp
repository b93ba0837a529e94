#include "kit/crash/capture/EMBDwarfUnwind.h"

#include "platform/foundation/Files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>

namespace kit {
namespace {

const char* const kNames[kEMBDwarfRegisterCount] { "RAX", "RDX", "RCX", "RBX", "RSI", "RDI", "RBP", "RSP",
    "R8", "R9", "R10", "R11", "R12", "R13", "R14", "R15", "RIP" };

struct Section {
    std::uint64_t address { 0 };
    std::uint64_t size { 0 };
    std::uint32_t offset { 0 };
};

template<class T> T at(const platform::foundation::Bytes& bytes, std::size_t offset)
{
    T value {};
    if (offset + sizeof value <= bytes.size())
        std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// The __TEXT,__eh_frame section of a 64-bit Mach-O file.
Section ehFrameSection(const platform::foundation::Bytes& file)
{
    if (at<std::uint32_t>(file, 0) != 0xfeedfacf)
        return {};
    std::uint32_t commands = at<std::uint32_t>(file, 16);
    std::size_t command = 32;
    for (std::uint32_t i = 0; i < commands; ++i) {
        std::uint32_t kind = at<std::uint32_t>(file, command);
        std::uint32_t size = at<std::uint32_t>(file, command + 4);
        if (kind == 0x19) {
            std::uint32_t sections = at<std::uint32_t>(file, command + 64);
            for (std::uint32_t s = 0; s < sections; ++s) {
                std::size_t section = command + 72 + 80 * s;
                if (std::strncmp(reinterpret_cast<const char*>(file.data() + section), "__eh_frame", 16) == 0)
                    return { at<std::uint64_t>(file, section + 32), at<std::uint64_t>(file, section + 40),
                        at<std::uint32_t>(file, section + 48) };
            }
        }
        command += size;
    }
    return {};
}

// One row as llvm-dwarfdump writes it: "CFA=RSP+16: RBP=[CFA-16], RIP=[CFA-8]".
std::string rowText(const EMBDwarfState& state)
{
    std::ostringstream text;
    text << "CFA=" << kNames[state.cfaRegister] << (state.cfaOffset < 0 ? "" : "+") << state.cfaOffset << ":";
    const char* separator = " ";
    for (std::uint64_t reg = 0; reg < kEMBDwarfRegisterCount; ++reg) {
        if (state.rules[reg].kind != kEMBDwarfRuleOffset)
            continue;
        text << separator << kNames[reg] << "=[CFA" << (state.rules[reg].value < 0 ? "" : "+")
             << state.rules[reg].value << "]";
        separator = ", ";
    }
    return text.str();
}

std::string dwarfdump(const std::string& path)
{
    std::string output;
    for (const char* tool : { "llvm-dwarfdump-16", "llvm-dwarfdump" }) {
        if (FILE* pipe = popen((std::string(tool) + " --eh-frame '" + path + "' 2>/dev/null").c_str(), "r")) {
            char chunk[4096];
            while (std::fgets(chunk, sizeof chunk, pipe))
                output += chunk;
            if (pclose(pipe) == 0 && !output.empty())
                return output;
        }
    }
    return output;
}

TEST(EMBDwarfMachO, ReadsAMachOEhFrameAsLlvmDwarfdumpDoes)
{
    std::string path = CRASH_CAPTURE_FIXTURES "/macho_eh_frame.o";
    auto file = platform::foundation::Files::readBytes(path);
    ASSERT_TRUE(file);
    Section section = ehFrameSection(*file);
    ASSERT_GT(section.size, 0u);
    ASSERT_LE(section.offset + section.size, file->size());
    auto start = reinterpret_cast<std::uint64_t>(file->data() + section.offset);
    EMBDwarfSection mapped { start, start + section.size };
    // Where the section's bytes sit here, against the address the file gives them.
    std::uint64_t moved = start - section.address;

    std::map<std::uint64_t, std::string> expected;
    std::istringstream lines(dwarfdump(path));
    bool inFde = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" FDE ") != std::string::npos)
            inFde = true;
        else if (line.find(" CIE") != std::string::npos)
            inFde = false;
        unsigned long long location = 0;
        int used = 0;
        if (inFde && std::sscanf(line.c_str(), "  0x%llx: %n", &location, &used) == 1 && used > 0)
            expected[location] = line.substr(std::size_t(used));
    }
    ASSERT_GT(expected.size(), 4u);

    std::size_t compared = 0;
    for (std::uint64_t record = start; record + 8 <= mapped.end;) {
        std::uint32_t length = 0;
        std::memcpy(&length, reinterpret_cast<const void*>(record), 4);
        std::uint32_t id = 0;
        std::memcpy(&id, reinterpret_cast<const void*>(record + 4), 4);
        if (length == 0)
            break;
        if (id != 0) {
            EMBDwarfCFIRecord cfi;
            ASSERT_TRUE(EMBDwarfParseCFIFromFDERecord(&cfi, record, mapped));
            for (auto& [location, text] : expected) {
                std::uint64_t pc = location + moved;
                if (pc < cfi.fde.pcBegin || pc - cfi.fde.pcBegin >= cfi.fde.pcRange)
                    continue;
                EMBDwarfState state;
                ASSERT_TRUE(EMBDwarfComputeState(&cfi, pc, &state));
                EXPECT_EQ(rowText(state), text) << std::hex << "at 0x" << location;
                ++compared;
            }
        }
        record += 4 + length;
    }
    EXPECT_EQ(compared, expected.size());
}

}
}
