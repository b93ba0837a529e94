#include "kit/crash/capture/EMBSafeRead.h"

#include "kit/crash/capture/EMBMemoryReader.h"
#include "kit/crash/capture/tests/CrashTimeChild.h"
#include "testing/AllocationTrap.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace kit {
namespace {

using Reader = bool (*)(const void*, void*, std::size_t);

/// Three pages: readable, PROT_NONE, then unmapped.
class Pages {
public:
    Pages()
    {
        m_base = static_cast<char*>(
            mmap(nullptr, 3 * 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        std::memset(m_base, 'r', 4096);
        mprotect(m_base + 4096, 4096, PROT_NONE);
        munmap(m_base + 8192, 4096);
    }
    ~Pages() { munmap(m_base, 8192); }

    char* readable() const { return m_base; }
    char* protectedPage() const { return m_base + 4096; }
    char* unmapped() const { return m_base + 8192; }

private:
    char* m_base { nullptr };
};

class EMBSafeReadTest : public ::testing::TestWithParam<Reader> {
protected:
    Pages m_pages;
};

TEST_P(EMBSafeReadTest, FailsWithoutASignalWhereNothingCanBeRead)
{
    Reader read = GetParam();
    struct Case {
        const char* name;
        const void* address;
        std::size_t length;
    };
    Case cases[] {
        { "address 0", nullptr, 8 },
        { "the first page", reinterpret_cast<const void*>(4095), 1 },
        { "a PROT_NONE page", m_pages.protectedPage(), 8 },
        { "an unmapped page", m_pages.unmapped(), 8 },
        { "running into a PROT_NONE page", m_pages.protectedPage() - 4, 8 },
    };
    for (auto& c : cases) {
        char buffer[8] { 'k', 'k', 'k', 'k', 'k', 'k', 'k', 'k' };
        EXPECT_FALSE(read(c.address, buffer, c.length)) << c.name;
    }
}

TEST_P(EMBSafeReadTest, CopiesWhatIsReadable)
{
    Reader read = GetParam();
    char buffer[4096] {};
    ASSERT_TRUE(read(m_pages.readable(), buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer, 4096), std::string(4096, 'r'));

    std::vector<char> large(100000);
    std::vector<char> copy(large.size());
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = char(i * 7);
    ASSERT_TRUE(read(large.data(), copy.data(), copy.size()));
    EXPECT_EQ(copy, large);
}

INSTANTIATE_TEST_SUITE_P(Readers, EMBSafeReadTest,
    ::testing::Values(&EMBReadMemory, &EMBReadMemoryThroughPipe),
    [](const auto& info) { return info.index == 0 ? std::string("Kernel") : std::string("Pipe"); });

TEST(EMBSafeMemoryReader, ARememberedPageVouchesForItselfOnly)
{
    Pages pages;
    EMBSafeMemoryReader reader;
    auto base = reinterpret_cast<std::uint64_t>(pages.readable());
    std::uint64_t word = 0;
    ASSERT_TRUE(reader.readWord(base, &word));
    EXPECT_EQ(word, 0x7272727272727272u);
    char buffer[16] {};
    EXPECT_FALSE(reader.read(base + 4096 - 8, buffer, sizeof buffer)) << "running on into the PROT_NONE page";
    EXPECT_FALSE(reader.readWord(base + 4096, &word));
    EXPECT_FALSE(reader.readWord(base + 8192, &word)) << "the unmapped page";
    ASSERT_TRUE(reader.read(base + 4096 - 13, buffer, 13)) << "the page's last bytes";
    EXPECT_EQ(std::string(buffer, 13), std::string(13, 'r'));

    // Pages read once are read directly afterwards: the same bytes, across page boundaries, at any alignment.
    std::vector<char> large(5 * 4096);
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = char(i * 13);
    std::vector<char> copy(large.size());
    auto start = reinterpret_cast<std::uint64_t>(large.data());
    ASSERT_TRUE(reader.read(start, copy.data(), copy.size()));
    EXPECT_EQ(copy, large);
    for (std::size_t offset : { std::size_t(4096 - 3), std::size_t(8192 - 8), std::size_t(4096 * 3 + 5) }) {
        std::vector<char> slice(24);
        ASSERT_TRUE(reader.read(start + offset, slice.data(), slice.size())) << offset;
        EXPECT_EQ(slice, std::vector<char>(large.begin() + long(offset), large.begin() + long(offset + 24)))
            << offset;
    }
}

TEST(EMBReadString, ChecksTheTextUpToItsTerminatorOrTheLimit)
{
    Pages pages;
    char* text = pages.protectedPage() - 100;
    std::memcpy(text, "abcde", 6);
    char* unterminated = pages.protectedPage() - 4;
    std::memset(unterminated, 'x', 4);
    const char* out = nullptr;

    EXPECT_TRUE(EMBReadString(text, &out, 100));
    EXPECT_EQ(out, text);
    EXPECT_FALSE(EMBReadString(unterminated, &out, 100)) << "runs into a PROT_NONE page";
    EXPECT_TRUE(EMBReadString(unterminated, &out, 4)) << "the limit stops before the page";
    EXPECT_TRUE(EMBReadString(nullptr, &out, 0)) << "a zero-length range succeeds at once";
    EXPECT_FALSE(EMBReadString(reinterpret_cast<const char*>(16), &out, 1));
    std::string across(9000, 'x');
    EXPECT_TRUE(EMBReadString(across.c_str(), &out, 20000));
}

TEST(EMBSafeReadChild, DISABLED_ReadsInASignalHandler)
{
    static Pages pages;
    testing::faultWithHandler([] {
        char buffer[16];
        bool unreadable = !EMBReadMemory(pages.protectedPage(), buffer, 8)
            && !EMBReadMemoryThroughPipe(pages.unmapped(), buffer, 8);
        bool readable = EMBReadMemory(pages.readable(), buffer, 16) && buffer[15] == 'r';
        const char* out = nullptr;
        bool text = EMBReadString("some text", &out, 64);
        if (unreadable && readable && text)
            (void)!write(STDOUT_FILENO, "reads right\n", 12);
    });
}

TEST(EMBSafeRead, ReadsInASignalHandlerWithoutAllocating)
{
    auto child = testing::runCrashTimeChild("EMBSafeReadChild.DISABLED_ReadsInASignalHandler");
    ASSERT_TRUE(child && child->started());
    std::string output = child->readAll(std::chrono::seconds(20));
    EXPECT_EQ(child->deathSignal(std::chrono::seconds(20)), SIGSEGV) << output;
    EXPECT_NE(output.find("reads right"), std::string::npos) << output;
}

}
}

namespace kit {
namespace {

TEST(AllocationTrapChild, DISABLED_AllocatesWhileArmed)
{
    ::testing::AllocationTrap::arm();
    auto* leaked = new std::string(100, 'x');
    (void)!write(STDOUT_FILENO, leaked->c_str(), 1);
}

TEST(AllocationTrap, StopsTheThreadThatAllocatesWhileArmed)
{
    auto child = testing::runCrashTimeChild("AllocationTrapChild.DISABLED_AllocatesWhileArmed");
    ASSERT_TRUE(child && child->started());
    child->readAll(std::chrono::seconds(20));
    EXPECT_EQ(child->deathSignal(std::chrono::seconds(20)), SIGABRT);
}

}
}
