#include "kit/crash/capture/EMBDwarfUnwind.h"

#include "kit/crash/capture/tests/LoadedImageTables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>

namespace kit {
namespace {

const char* const kRegisterNames[kEMBDwarfRegisterCount] { "rax", "rdx", "rcx", "rbx", "rsi", "rdi", "rbp",
    "rsp", "r8", "r9", "r10", "r11", "r12", "r13", "r14", "r15", "ra" };

std::string signedText(std::int64_t value)
{
    return (value < 0 ? "" : "+") + std::to_string(value);
}

// One column of a row as readelf's frames-interp view writes it.
std::string ruleText(const EMBDwarfRule& rule)
{
    switch (rule.kind) {
    case kEMBDwarfRuleOffset:
        return "c" + signedText(rule.value);
    case kEMBDwarfRuleValOffset:
        return "v" + signedText(rule.value);
    case kEMBDwarfRuleRegister:
        return "r" + std::to_string(rule.value) + " (" + kRegisterNames[rule.value] + ")";
    case kEMBDwarfRuleExpression:
        return "exp";
    case kEMBDwarfRuleValExpression:
        return "vexp";
    default:
        return "u";
    }
}

struct ReadelfFde {
    std::uint64_t start { 0 };
    std::uint64_t end { 0 };
    std::vector<std::string> columns;
    std::vector<std::pair<std::uint64_t, std::vector<std::string>>> rows;
};

std::string run(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    char chunk[65536];
    while (pipe && std::fgets(chunk, sizeof chunk, pipe.get()))
        output += chunk;
    return output;
}

std::vector<ReadelfFde> readelfFdes(const std::string& path)
{
    std::istringstream lines(run("readelf --debug-dump=frames-interp '" + path + "' 2>/dev/null"));
    std::vector<ReadelfFde> fdes;
    bool inFde = false;
    std::string line;
    while (std::getline(lines, line)) {
        unsigned long long start = 0;
        unsigned long long end = 0;
        auto at = line.find(" FDE cie=");
        if (at != std::string::npos
            && std::sscanf(line.c_str() + line.find("pc=", at), "pc=%llx..%llx", &start, &end) == 2) {
            fdes.push_back({ start, end, {}, {} });
            inFde = true;
            continue;
        }
        if (line.find(" CIE ") != std::string::npos || line.empty()) {
            inFde = inFde && !line.empty();
            continue;
        }
        if (!inFde)
            continue;
        std::istringstream words(line);
        std::vector<std::string> tokens;
        for (std::string word; words >> word;) {
            if (!word.empty() && word[0] == '(' && !tokens.empty())
                tokens.back() += " " + word;
            else
                tokens.push_back(word);
        }
        if (tokens.size() >= 2 && tokens[0] == "LOC")
            fdes.back().columns.assign(tokens.begin() + 1, tokens.end());
        else if (!tokens.empty())
            fdes.back().rows.push_back(
                { std::stoull(tokens[0], nullptr, 16), { tokens.begin() + 1, tokens.end() } });
    }
    return fdes;
}

std::vector<std::string> ourRow(const EMBDwarfState& state, const std::vector<std::string>& columns)
{
    std::vector<std::string> row;
    for (auto& column : columns) {
        if (column == "CFA") {
            row.push_back(state.cfaExpression
                    ? "exp"
                    : kRegisterNames[state.cfaRegister] + signedText(state.cfaOffset));
            continue;
        }
        std::string text = "?";
        for (std::uint64_t reg = 0; reg < kEMBDwarfRegisterCount; ++reg) {
            if (column == kRegisterNames[reg])
                text = ruleText(state.rules[reg]);
        }
        row.push_back(text);
    }
    return row;
}

std::string joined(const std::vector<std::string>& words)
{
    std::string text;
    for (auto& word : words)
        text += word + " ";
    return text;
}

class EMBDwarfTableTest : public ::testing::TestWithParam<const char*> { };

TEST_P(EMBDwarfTableTest, EveryRowEqualsReadelfs)
{
    auto tables = testing::loadedImageTables(GetParam());
    ASSERT_NE(tables.image.ehFrameHeader, 0u) << GetParam();
    auto fdes = readelfFdes(tables.path);
    ASSERT_GT(fdes.size(), 100u) << tables.path;
    std::size_t compared = 0;
    std::size_t mismatches = 0;
    for (auto& fde : fdes) {
        EMBDwarfCFIRecord cfi;
        bool found = EMBDwarfFindFDE(&tables.image, tables.base + fde.start, &cfi);
        EXPECT_TRUE(found) << std::hex << "no FDE at 0x" << fde.start;
        if (!found)
            continue;
        EXPECT_EQ(cfi.fde.pcBegin, tables.base + fde.start);
        EXPECT_EQ(cfi.fde.pcRange, fde.end - fde.start);
        for (auto& [location, expected] : fde.rows) {
            EMBDwarfState state;
            ASSERT_TRUE(EMBDwarfComputeState(&cfi, tables.base + location, &state))
                << std::hex << "FDE 0x" << fde.start << " row 0x" << location;
            auto ours = ourRow(state, fde.columns);
            ++compared;
            if (ours != expected && ++mismatches <= 10) {
                ADD_FAILURE() << std::hex << "FDE 0x" << fde.start << " row 0x" << location
                              << "\n  readelf: " << joined(expected) << "\n  ours:    " << joined(ours);
            }
        }
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_GT(compared, 1000u);
}

INSTANTIATE_TEST_SUITE_P(Objects, EMBDwarfTableTest, ::testing::Values("libc.so.6", ""),
    [](const auto& info) { return info.index == 0 ? std::string("CLibrary") : std::string("TestProgram"); });

}
}
