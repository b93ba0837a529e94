#include "kit/crash/EMBSymbolResolver.h"

#include "kit/crash/tests/ReportRecords.h"
#include "platform/foundation/ExecutableImage.h"
#include "platform/foundation/Log.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>

// Two functions back to back: a return address at the second's start belongs to a call ending the first.
extern "C" {
void resolver_before();
void resolver_after();
}

asm(R"(
    .pushsection .text
    .p2align 4
    .globl resolver_before
    .type resolver_before, @function
resolver_before:
    nop
    nop
    nop
    ret
    .size resolver_before, .-resolver_before
    .globl resolver_after
    .type resolver_after, @function
resolver_after:
    ret
    .size resolver_after, .-resolver_after
    .popsection
)");

// A function of this file alone: the dynamic linker's table does not list it.
__attribute__((noinline)) static int resolverLocalFunction(int value)
{
    return value * 3 + 1;
}

namespace kit {
namespace {

using Kind = EMBSymbolResolver::AddressKind;
using testing::addressAt;
using testing::loadRecord;
using testing::writeLines;
namespace fs = std::filesystem;

std::uint64_t addressOf(const void* function)
{
    return reinterpret_cast<std::uint64_t>(function);
}

class EMBSymbolResolverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::foundation::Log::setCapture([this](const std::string& line) { m_log.push_back(line); });
        auto program = platform::foundation::ExecutableImage::current();
        ASSERT_TRUE(program && program->uuidString());
        m_program = *program;
    }
    void TearDown() override { platform::foundation::Log::setCapture({}); }

    // A binary image file of `lines`, read by the resolver.
    bool load(const std::vector<std::string>& lines)
    {
        writeLines(m_records, lines);
        return m_resolver.loadBinaryImagesFromFile(m_records.string());
    }

    ::testing::TemporaryDirectory m_folder;
    fs::path m_records { m_folder.path() / "binary_images.embrecord" };
    platform::foundation::ExecutableImage m_program;
    EMBSymbolResolver m_resolver;
    std::vector<std::string> m_log;
};

struct AddressCase {
    const char* name;
    std::uint64_t (*address)();
    Kind kind;
    const char* symbol;
    std::uint64_t offset;

    friend std::ostream& operator<<(std::ostream& output, const AddressCase& item)
    {
        return output << item.name;
    }
};

class EMBSymbolResolverAddressTest : public EMBSymbolResolverTest,
                                     public ::testing::WithParamInterface<AddressCase> { };

// The crashed process had the program at another address: frames are named from this process's copy.
TEST_P(EMBSymbolResolverAddressTest, NamesAnAddressOfTheCrashedProcess)
{
    const AddressCase& item = GetParam();
    constexpr std::uint64_t kBase = 0x5a5a00000000;
    ASSERT_TRUE(load({ loadRecord(m_program, kBase) }));
    auto frame = EMBStackFrame::stackFrameWithAddress(addressAt(m_program, kBase, item.address()));
    ASSERT_TRUE(m_resolver.updateStackFrame(frame, item.kind));
    EXPECT_EQ(frame.symbol, item.symbol);
    EXPECT_EQ(frame.offset, item.offset);
    EXPECT_EQ(frame.library, m_program.path().filename().string());
}

INSTANTIATE_TEST_SUITE_P(Addresses, EMBSymbolResolverAddressTest,
    ::testing::Values(AddressCase { "LocalFunction", [] { return addressOf((void*)resolverLocalFunction); },
                          Kind::InstructionPointer, "_ZL21resolverLocalFunctioni", 0 },
        AddressCase { "InsideAFunction", [] { return addressOf((void*)resolver_before) + 3; },
            Kind::ReturnAddress, "resolver_before", 3 },
        AddressCase { "ReturnAddressAtAStart", [] { return addressOf((void*)resolver_after); },
            Kind::ReturnAddress, "resolver_before", 2 },
        AddressCase { "InstructionAtAStart", [] { return addressOf((void*)resolver_after); },
            Kind::InstructionPointer, "resolver_after", 0 }),
    [](const auto& info) { return std::string(info.param.name); });

// An image whose UUID no image of this process has (another build) names nothing; nor does an address
// outside every image, or 0.
TEST_F(EMBSymbolResolverTest, LeavesFramesOfAnotherBuildAndOfNoImageUnresolved)
{
    std::uint64_t address = addressOf((void*)resolver_before);
    ASSERT_TRUE(load({ loadRecord(
        "/opt/app/Zorvik", "00112233445566778899aabbccddeeff", 0x10000, m_program.textSize()) }));
    for (std::uint64_t unknown : { addressAt(m_program, 0x10000, address),
             std::uint64_t(0x10000) + m_program.textSize(), std::uint64_t(0) }) {
        auto frame = EMBStackFrame::stackFrameWithAddress(unknown);
        EXPECT_FALSE(m_resolver.updateStackFrame(frame, Kind::ReturnAddress)) << unknown;
        EXPECT_EQ(frame.symbol, std::nullopt);
        EXPECT_EQ(frame.library, std::nullopt);
        EXPECT_EQ(frame.offset, 0u);
    }
}

// The image table is what was loaded at the crash: an unloaded image's range goes to the one loaded there
// next; images are kept by address; a record without its range is left out.
TEST_F(EMBSymbolResolverTest, KeepsTheImagesLoadedAtTheCrashByAddress)
{
    ASSERT_TRUE(
        load({ loadRecord("/lib/c.so", "cc", 0x9000, 0x1000), loadRecord("/lib/a.so", "aa", 0x4000, 0x1000),
            R"({"unload":{"path":"/lib/a.so","uuid":"aa","base":16384,"size":4096}})",
            loadRecord("/lib/b.so", "bb", 0x4000, 0x800),
            R"({"load":{"path":"/lib/d.so","uuid":"dd","base":40960}})",
            R"({"load":{"path":"/lib/e.so","uuid":"ee","base":null,"size":16}})" }));
    std::vector<std::string> paths;
    for (const auto& image : m_resolver.binaryImages())
        paths.push_back(image.path);
    EXPECT_EQ(paths, (std::vector<std::string> { "/lib/b.so", "/lib/c.so" }));
    ASSERT_NE(m_resolver.loadedBinaryImageForPC(0x4010), nullptr);
    EXPECT_EQ(m_resolver.loadedBinaryImageForPC(0x4010)->path, "/lib/b.so");
    EXPECT_EQ(m_resolver.loadedBinaryImageForPC(0x4800), nullptr);
    EXPECT_EQ(m_resolver.loadedBinaryImageForPC(0x9fff)->path, "/lib/c.so");
    EXPECT_EQ(m_resolver.loadedBinaryImageForPC(0xa000), nullptr);
}

// A record broken by a failed write costs that record only; a file with no record at all is a failure.
TEST_F(EMBSymbolResolverTest, ReadsADamagedFileAsFarAsItsWholeRecordsGo)
{
    ASSERT_TRUE(load({ loadRecord("/lib/a.so", "aa", 0x4000, 0x1000), R"({"load":{"path":"/lib/x.so","uu)",
        loadRecord("/lib/b.so", "bb", 0x8000, 0x1000) }));
    EXPECT_EQ(m_resolver.binaryImages().size(), 2u);
    EXPECT_EQ(m_log,
        (std::vector<std::string> { "[Ember:Crash:SymbolResolver] binary image file " + m_records.string()
            + " is damaged: reading its whole records" }));

    m_log.clear();
    fs::remove(m_records);
    EXPECT_FALSE(m_resolver.loadBinaryImagesFromFile(m_records.string()));
    EXPECT_FALSE(m_resolver.loadBinaryImagesFromFile(""));
    EXPECT_EQ(m_log,
        (std::vector<std::string> {
            "[Ember:Crash:SymbolResolver] failed to read binary image file " + m_records.string() }));
}

// A library stripped of its own symbol table is named from the dynamic linker's.
TEST_F(EMBSymbolResolverTest, NamesAStrippedLibraryFromItsDynamicSymbols)
{
    fs::path stripped = m_folder.path() / "libstripped.so";
    ASSERT_EQ(std::system(("strip -o '" + stripped.string() + "' '" CRASH_PLUGIN_A "'").c_str()), 0);
    void* library = dlopen(stripped.c_str(), RTLD_NOW);
    ASSERT_NE(library, nullptr);
    std::optional<platform::foundation::ExecutableImage> image;
    for (auto& loaded : platform::foundation::ExecutableImage::loadedImages())
        if (loaded.path() == stripped)
            image = loaded;
    ASSERT_TRUE(image && image->uuidString());
    ASSERT_TRUE(
        load({ loadRecord("/opt/app/libplugin.so", *image->uuidString(), 0x7000000, image->textSize()) }));
    auto address = addressOf(dlsym(library, "crash_plugin_a_crash")) + 1;
    auto frame = EMBStackFrame::stackFrameWithAddress(addressAt(*image, 0x7000000, address));
    EXPECT_TRUE(m_resolver.updateStackFrame(frame, Kind::ReturnAddress));
    EXPECT_EQ(frame.symbol, "crash_plugin_a_crash");
    EXPECT_EQ(frame.offset, 1u);
    EXPECT_EQ(frame.library, "libplugin.so");
    dlclose(library);
}

}
}
