#include "kit/core/EMBMachO.h"

#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>

using namespace kit;
using platform::foundation::VersionTriple;

namespace fs = std::filesystem;

namespace {

fs::path fixture(const std::string& name)
{
    return fs::path(ZORVIK_MACHO_FIXTURES) / name;
}

// What llvm-otool, the oracle, says of a thin image.
struct Otool {
    std::size_t loadCommands { 0 };
    std::string uuid;
    std::string minimumVersion;
    std::string sdkVersion;
    std::uint64_t textAddress { 0 };
    std::uint64_t textSize { 0 };
    std::uint32_t textOffset { 0 };
};

// The word that follows `marker` at or after `from` in `text` ("" when there is none).
std::string wordAfter(const std::string& text, const std::string& marker, std::size_t from = 0)
{
    auto at = text.find(marker, from);
    if (at == std::string::npos)
        return {};
    at += marker.size();
    return text.substr(at, text.find_first_of(" \n", at) - at);
}

Otool otool(const fs::path& path)
{
    testing::ChildProcess tool({ ZORVIK_LLVM_OTOOL, "-l", path.string() });
    std::string output = tool.readAll(std::chrono::seconds(10));
    Otool seen;
    for (auto at = output.find("Load command "); at != std::string::npos;
         at = output.find("Load command ", at + 1))
        ++seen.loadCommands;
    seen.uuid = wordAfter(output, " uuid ");
    seen.uuid.erase(std::remove(seen.uuid.begin(), seen.uuid.end(), '-'), seen.uuid.end());
    std::transform(seen.uuid.begin(), seen.uuid.end(), seen.uuid.begin(), ::tolower);
    auto versionMinimum = output.find("LC_VERSION_MIN_IPHONEOS");
    if (versionMinimum != std::string::npos) {
        seen.minimumVersion = wordAfter(output, " version ", versionMinimum);
        seen.sdkVersion = wordAfter(output, " sdk ", versionMinimum);
    }
    auto text = output.find("sectname __text");
    if (text != std::string::npos) {
        seen.textAddress = std::stoull(wordAfter(output, " addr ", text), nullptr, 16);
        seen.textSize = std::stoull(wordAfter(output, " size ", text), nullptr, 16);
        seen.textOffset = static_cast<std::uint32_t>(std::stoul(wordAfter(output, " offset ", text)));
    }
    return seen;
}

// What the reader makes of a slice, in the terms otool uses ("8.4" for 8.4.0).
Otool read(EMBMachOSlice slice)
{
    Otool seen;
    EMBMachOSliceEnumerateLoadCommands(slice, [&](std::uint32_t command, std::uint32_t, auto bytes) {
        ++seen.loadCommands;
        if (auto uuid = EMBMachOGetUUID(bytes))
            seen.uuid = EMBMachONormalizeUUID(*uuid);
        if (command == kEMBMachOVersionMinIPhoneOS) {
            auto shortForm = [](VersionTriple version) {
                auto text = version.string();
                return version.patch == 0 ? text.substr(0, text.rfind('.')) : text;
            };
            seen.minimumVersion = shortForm(EMBMachOGetMinimumOSVersion(bytes));
            seen.sdkVersion = shortForm(EMBMachOGetLinkedSDKVersion(bytes));
        }
    });
    if (auto text = EMBMachOSliceInitSectionByName(slice, "__TEXT", "__text")) {
        seen.textAddress = text->addr;
        seen.textSize = text->size;
        seen.textOffset = text->offset;
    }
    return seen;
}

void expectSame(const Otool& read, const Otool& oracle)
{
    EXPECT_EQ(read.loadCommands, oracle.loadCommands);
    EXPECT_EQ(read.uuid, oracle.uuid);
    EXPECT_EQ(read.minimumVersion, oracle.minimumVersion);
    EXPECT_EQ(read.sdkVersion, oracle.sdkVersion);
    EXPECT_EQ(read.textAddress, oracle.textAddress);
    EXPECT_EQ(read.textSize, oracle.textSize);
    EXPECT_EQ(read.textOffset, oracle.textOffset);
}

std::string readFile(const fs::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>() };
}

}

TEST(EMBMachOTest, ThinImagesAgreeWithOtool)
{
    for (const std::string arch : { "x86_64", "arm64" }) {
        SCOPED_TRACE(arch);
        auto file = EMBMachOFile::initWithPath(fixture("tiny-" + arch));
        ASSERT_TRUE(file);
        auto slices = file->slices();
        ASSERT_EQ(slices.size(), 1u);
        EXPECT_EQ(EMBMachOSliceGetArchitectureName(slices[0]), arch);
        EXPECT_TRUE(EMBMachOSliceIs64Bit(slices[0]));
        auto oracle = otool(fixture("tiny-" + arch));
        ASSERT_EQ(oracle.uuid.size(), 32u);
        EXPECT_EQ(oracle.minimumVersion, "8.4");
        expectSame(read(slices[0]), oracle);

        auto text = EMBMachOSliceGetSectionByName(slices[0], "__TEXT", "__text");
        ASSERT_TRUE(text);
        EXPECT_EQ(text->size(), oracle.textSize);
        EXPECT_FALSE(EMBMachOSliceInitSectionByName(slices[0], "__TEXT", "__nothing"));
    }
}

TEST(EMBMachOTest, AFatFileGivesItsSlicesInTableOrder)
{
    auto file = EMBMachOFile::initWithPath(fixture("tiny-fat"));
    ASSERT_TRUE(file);
    auto slices = file->slices();
    ASSERT_EQ(slices.size(), 2u);
    // llvm-lipo orders the table by alignment: x86_64 (4 KiB pages) before arm64 (16 KiB).
    EXPECT_EQ(EMBMachOSliceGetArchitectureName(slices[0]), "x86_64");
    EXPECT_EQ(EMBMachOSliceGetArchitectureName(slices[1]), "arm64");
    for (auto& slice : slices) {
        std::string arch = EMBMachOSliceGetArchitectureName(slice);
        SCOPED_TRACE(arch);
        expectSame(read(slice), otool(fixture("tiny-" + arch)));
    }
    auto arm64 = file->sliceWithArchitectureName("arm64");
    ASSERT_TRUE(arm64);
    EXPECT_EQ(arm64->image.data(), slices[1].image.data());
    EXPECT_FALSE(file->sliceWithArchitectureName("armv7"));
}

TEST(EMBMachOTest, CutFilesYieldLessButNeverReadPastTheEnd)
{
    testing::TemporaryDirectory folder;
    for (const std::string name : { "tiny-arm64", "tiny-fat" }) {
        std::string whole = readFile(fixture(name));
        for (std::size_t length : { std::size_t { 16 }, std::size_t { 40 }, std::size_t { 200 },
                 std::size_t { 700 }, std::size_t { 5000 }, whole.size() - 1 }) {
            SCOPED_TRACE(name + " cut at " + std::to_string(length));
            fs::path cut = folder.path() / "cut";
            std::ofstream(cut, std::ios::binary | std::ios::trunc) << whole.substr(0, length);
            auto file = EMBMachOFile::initWithPath(cut);
            ASSERT_TRUE(file);
            for (auto slice : file->slices()) {
                EXPECT_LE(read(slice).loadCommands, 13u);
                EMBMachOSliceGetSectionByName(slice, "__TEXT", "__unwind_info");
            }
        }
    }
}

TEST(EMBMachOTest, AnElfProgramIsOneUnknownSliceWithoutCommands)
{
    auto file = EMBMachOFile::initWithCurrent();
    ASSERT_TRUE(file);
    auto slices = file->slices();
    ASSERT_EQ(slices.size(), 1u);
    EXPECT_EQ(slices[0].cpuType, 0);
    EXPECT_EQ(slices[0].cpuSubtype, 0);
    EXPECT_EQ(EMBMachOSliceGetArchitectureName(slices[0]), "unknown");
    EXPECT_EQ(read(slices[0]).loadCommands, 0u);
}

TEST(EMBMachOTest, FilesThatCannotBeMappedAreRefused)
{
    testing::TemporaryDirectory folder;
    std::ofstream(folder.path() / "short", std::ios::binary) << std::string(15, 'x');
    EXPECT_FALSE(EMBMachOFile::initWithPath(folder.path() / "short"));
    EXPECT_FALSE(EMBMachOFile::initWithPath(folder.path()));
    EXPECT_FALSE(EMBMachOFile::initWithPath(folder.path() / "missing"));
}

TEST(EMBMachOTest, CommandReaders)
{
    auto words = [](std::initializer_list<std::uint32_t> values) {
        std::vector<std::uint8_t> bytes(values.size() * 4);
        std::size_t offset = 0;
        for (auto value : values) {
            std::memcpy(bytes.data() + offset, &value, 4);
            offset += 4;
        }
        return bytes;
    };
    auto versionMinimum = words({ kEMBMachOVersionMinIPhoneOS, 16, 0x00090201, 0x000A0300 });
    EXPECT_EQ(EMBMachOGetMinimumOSVersion(versionMinimum), (VersionTriple { 9, 2, 1 }));
    EXPECT_EQ(EMBMachOGetLinkedSDKVersion(versionMinimum), (VersionTriple { 10, 3, 0 }));
    VersionTriple version { 9, 2, 1 };
    EXPECT_EQ(EMBMachOFormatVersion(&version), "9.2.1");
    EXPECT_EQ(EMBMachOFormatVersion(nullptr), std::nullopt);
    EXPECT_EQ(EMBMachOGetMinimumOSVersion(words({ kEMBMachOUUID, 24, 0, 0, 0, 0 })), VersionTriple {});

    auto encryption = words({ 0x2C, 24, 0x4000, 0x1000, 1, 0 });
    EXPECT_TRUE(EMBMachOGetEncrypted(encryption));
    EXPECT_FALSE(EMBMachOGetEncrypted(words({ 0x2C, 24, 0x4000, 0x1000, 0, 0 })));

    auto dylib = words({ 0xC, 40, 24, 2, 0x10000, 0x10000 });
    const char path[] = "/usr/lib/libz.dylib";
    dylib.insert(dylib.end(), path, path + sizeof path);
    EXPECT_EQ(EMBMachOGetDylibPath(dylib), "/usr/lib/libz.dylib");
    EXPECT_EQ(EMBMachOGetDylibPath(words({ 0xC, 24, 400, 0, 0, 0 })), std::nullopt);

    EXPECT_EQ(EMBMachOGetSegmentCommand(words({ 0x2 })).segname, "");
    EXPECT_EQ(EMBMachOGetUUID(words({ kEMBMachOUUID, 24, 1 })), std::nullopt) << "cut short";
}

TEST(EMBMachOTest, SegmentsOfTheFixture)
{
    auto file = EMBMachOFile::initWithPath(fixture("tiny-arm64"));
    ASSERT_TRUE(file);
    auto slice = file->slices().front();
    std::vector<std::string> names;
    EMBMachOSegmentInfo text;
    EMBMachOSliceEnumerateLoadCommands(slice, [&](std::uint32_t command, std::uint32_t, auto bytes) {
        if (command != kEMBMachOSegment64)
            return;
        auto segment = EMBMachOGetSegmentCommand(bytes);
        names.push_back(segment.segname);
        if (segment.segname == "__TEXT")
            text = segment;
    });
    EXPECT_EQ(names, (std::vector<std::string> { "__PAGEZERO", "__TEXT", "__LINKEDIT" }));
    EXPECT_EQ(text.vmaddr, 0x100000000u);
    EXPECT_EQ(text.vmsize, 0x8000u);
}
