#include "kit/crash/capture/EMBBinaryImage.h"

#include "kit/crash/capture/EMBFileReader.h"
#include "kit/crash/capture/EMBMemoryReader.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "kit/crash/capture/tests/CrashTimeChild.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/ExecutableImage.h"
#include "platform/foundation/Files.h"
#include "testing/AllocationTrap.h"
#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/mman.h>
#include <thread>
#include <ucontext.h>
#include <unistd.h>

namespace kit {
namespace {

namespace fs = std::filesystem;

int g_data = 7;

std::string canonical(const std::string& path)
{
    std::error_code error;
    auto resolved = fs::canonical(path, error);
    return error ? path : resolved.string();
}

bool isElf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    char magic[4] {};
    file.read(magic, 4);
    return file && std::memcmp(magic, ELFMAG, SELFMAG) == 0;
}

class EMBBinaryImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EMBSDKLogSetPath(m_logPath.c_str());
        EMBBinaryImageInit(m_recordPath.c_str());
    }

    void TearDown() override
    {
        EMBBinaryImageDeinit();
        EMBSDKLogSetPath(nullptr);
    }

    /// The "load" and "unload" records written so far, as (kind, record).
    std::vector<std::pair<std::string, platform::foundation::DictionaryRef>> records()
    {
        EMBBinaryImageDeinit();
        std::vector<std::pair<std::string, platform::foundation::DictionaryRef>> found;
        auto sections = EMBFileReadSections(m_recordPath, false);
        EXPECT_TRUE(sections && !sections->partial());
        for (auto& record : sections ? sections->records : decltype(sections->records) {}) {
            for (auto& [kind, value] : record->entries())
                found.push_back({ kind, value.dictionary() });
        }
        return found;
    }

    ::testing::TemporaryDirectory m_folder;
    std::string m_recordPath { (m_folder.path() / "binary_images.embrecord").string() };
    std::string m_logPath { (m_folder.path() / "sdk.log").string() };
};

TEST_F(EMBBinaryImageTest, RecordsTheObjectsTheProcessHasMappedWithTheirBuildIds)
{
    std::map<std::string, std::uint64_t> mapped;
    std::ifstream maps("/proc/self/maps");
    for (std::string text; std::getline(maps, text);) {
        unsigned long long start = 0;
        unsigned long long offset = 1;
        char file[4096] = {};
        if (std::sscanf(text.c_str(), "%llx-%*x %*s %llx %*s %*u %4095s", &start, &offset, file) != 3)
            continue;
        std::string path = file;
        if (offset == 0 && path.starts_with("/") && isElf(path) && !mapped.contains(canonical(path)))
            mapped[canonical(path)] = start;
    }
    std::map<std::string, std::uint64_t> recorded;
    std::map<std::string, std::string> uuids;
    for (auto& [kind, record] : records()) {
        ASSERT_EQ(kind, "load");
        std::string path = record->get("path").stringValue();
        if (path.starts_with("/")) {
            recorded[canonical(path)] = std::uint64_t(record->get("base").integerValue());
            uuids[canonical(path)] = record->get("uuid").stringValue();
        }
    }
    EXPECT_EQ(recorded, mapped);
    for (auto& [path, uuid] : uuids) {
        std::string notes = ::testing::commandOutput("readelf -n '" + path + "'");
        auto at = notes.find("Build ID: ");
        std::string buildId
            = at == std::string::npos ? "" : notes.substr(at + 10, notes.find('\n', at) - at - 10);
        buildId = buildId.substr(0, 32);
        buildId.resize(buildId.empty() ? 0 : 32, '0');
        EXPECT_EQ(uuid, buildId) << path;
    }
}

TEST_F(EMBBinaryImageTest, FindsCodeOfLoadedImagesOnly)
{
    EMBBinaryImageSlot slot;
    ASSERT_TRUE(
        EMBBinaryImageSafeFindImageForAddress(reinterpret_cast<std::uint64_t>(&EMBBinaryImageInit), &slot));
    EXPECT_TRUE(EMBBinaryImageSafeHasUnwindInfo(&slot));
    EXPECT_EQ(std::memcmp(reinterpret_cast<const void*>(slot.base), ELFMAG, SELFMAG), 0)
        << "base is the ELF header";
    EXPECT_FALSE(EMBBinaryImageSafeFindImageForAddress(reinterpret_cast<std::uint64_t>(&g_data), &slot))
        << "a data address is in no image's code";
    EXPECT_FALSE(EMBBinaryImageSafeFindImageForAddress(0, &slot));
    int local = 0;
    EXPECT_FALSE(EMBBinaryImageSafeFindImageForAddress(reinterpret_cast<std::uint64_t>(&local), &slot));
}

TEST_F(EMBBinaryImageTest, FollowsDlopenAndDlclose)
{
    void* library = dlopen(CRASH_CAPTURE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto answer = reinterpret_cast<std::uint64_t>(dlsym(library, "crash_capture_plugin_answer"));
    ASSERT_NE(answer, 0u);
    EMBBinaryImageSlot slot;
    ASSERT_TRUE(EMBBinaryImageSafeFindImageForAddress(answer, &slot)) << "resolves as soon as dlopen returns";
    std::uint64_t base = slot.base;
    ASSERT_EQ(dlclose(library), 0);
    EXPECT_FALSE(EMBBinaryImageSafeFindImageForAddress(answer, &slot)) << "not after dlclose";

    auto all = records();
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[all.size() - 2].first, "load");
    EXPECT_EQ(all.back().first, "unload");
    EXPECT_EQ(std::uint64_t(all.back().second->get("base").integerValue()), base);
    EXPECT_NE(
        all.back().second->get("path").stringValue().find("crash_capture_test_plugin"), std::string::npos);
}

EMBBinaryImageDetails synthetic(std::uint64_t base)
{
    EMBBinaryImageDetails details;
    details.base = base;
    details.size = 0x1000;
    std::snprintf(
        details.path, sizeof details.path, "/synthetic/lib%llx.so", static_cast<unsigned long long>(base));
    return details;
}

TEST_F(EMBBinaryImageTest, TracksAtMost512ImagesAndSaysWhichItCannot)
{
    constexpr std::uint64_t kFirst = 0x100000000000;
    for (std::uint64_t i = 0; i < 600; ++i)
        EMBBinaryImageChanged(true, synthetic(kFirst + i * 0x10000));
    std::size_t tracked = 0;
    EMBBinaryImageSlot slot;
    for (std::uint64_t i = 0; i < 600; ++i)
        tracked += EMBBinaryImageSafeFindImageForAddress(kFirst + i * 0x10000 + 8, &slot);
    std::size_t real = 0;
    for (auto& [kind, record] : records())
        real += !record->get("path").stringValue().starts_with("/synthetic/");
    EXPECT_EQ(real + tracked, kEMBBinaryImageSlots);
    EXPECT_NE(
        platform::foundation::Files::readText(m_logPath).value_or("").find("Unable to track a loaded node"),
        std::string::npos);
}

TEST_F(EMBBinaryImageTest, ThreadsLoadingUnloadingAndLookingUpAgree)
{
    constexpr int kThreads = 8;
    constexpr int kImages = 40;
    std::atomic<int> wrong { 0 };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &wrong] {
            EMBBinaryImageSlot slot;
            for (int i = 0; i < kImages; ++i) {
                auto details
                    = synthetic(0x200000000000 + std::uint64_t(t) * 0x100000000 + std::uint64_t(i) * 0x10000);
                EMBBinaryImageChanged(true, details);
                if (!EMBBinaryImageSafeFindImageForAddress(details.base + 16, &slot)
                    || slot.base != details.base)
                    ++wrong;
                EMBBinaryImageChanged(false, details);
                if (EMBBinaryImageSafeFindImageForAddress(details.base + 16, &slot))
                    ++wrong;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, 0);
}

TEST(EMBBinaryImageChild, DISABLED_FindsImagesAndUnwindsInASignalHandler)
{
    static std::string path = std::string(getenv("EMB_TEST_RECORD_PATH"));
    EMBBinaryImageInit(path.c_str());
    struct sigaction action { };
    action.sa_sigaction = [](int, siginfo_t*, void* raw) {
        ::testing::AllocationTrap::arm();
        EMBBinaryImageSlot slot;
        if (EMBBinaryImageSafeFindImageForAddress(
                reinterpret_cast<std::uint64_t>(&EMBBinaryImageInit), &slot))
            (void)!write(STDOUT_FILENO, "found image\n", 12);
        const greg_t* gregs = static_cast<ucontext_t*>(raw)->uc_mcontext.gregs;
        EMBDwarfFrame frame;
        auto& r = frame.context.registers;
        int order[] { REG_RAX, REG_RDX, REG_RCX, REG_RBX, REG_RSI, REG_RDI, REG_RBP, REG_RSP };
        for (int i = 0; i < 8; ++i)
            r[i] = std::uint64_t(gregs[order[i]]);
        for (int i = 0; i < 8; ++i)
            r[8 + i] = std::uint64_t(gregs[REG_R8 + i]);
        r[16] = std::uint64_t(gregs[REG_RIP]);
        EMBSafeMemoryReader reader;
        int frames = 0;
        while (frames < 100 && EMBDwarfUnwindFrame(EMBBinaryImageDwarfLookup, &reader, &frame))
            ++frames;
        if (frames >= 3)
            (void)!write(STDOUT_FILENO, "unwound frames\n", 15);
        ::testing::AllocationTrap::disarm();
        signal(SIGSEGV, SIG_DFL);
        raise(SIGSEGV);
    };
    action.sa_flags = SA_SIGINFO;
    sigaction(SIGSEGV, &action, nullptr);
    void* guard = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    *static_cast<volatile int*>(guard) = 1;
}

TEST_F(EMBBinaryImageTest, FindsImagesAndUnwindsInASignalHandlerWithoutAllocating)
{
    setenv("EMB_TEST_RECORD_PATH", (m_folder.path() / "child.embrecord").c_str(), 1);
    auto child
        = testing::runCrashTimeChild("EMBBinaryImageChild.DISABLED_FindsImagesAndUnwindsInASignalHandler");
    unsetenv("EMB_TEST_RECORD_PATH");
    ASSERT_TRUE(child && child->started());
    std::string output = child->readAll(std::chrono::seconds(20));
    EXPECT_EQ(child->deathSignal(std::chrono::seconds(20)), SIGSEGV) << output;
    EXPECT_NE(output.find("found image"), std::string::npos) << output;
    EXPECT_NE(output.find("unwound frames"), std::string::npos) << output;
}

}
}

namespace kit {
namespace {

TEST_F(EMBBinaryImageTest, RecordsTheProgramAsItsExecutableImage)
{
    std::string metadata = (m_folder.path() / "metadata.embrecord").string();
    EMBFile file;
    ASSERT_TRUE(EMBFileInitWithPath(&file, metadata.c_str(), false));
    ASSERT_TRUE(EMBBinaryImageRecordMainExecutable(&file));
    EMBFileClose(&file);
    auto sections = EMBFileReadSections(metadata, false);
    ASSERT_TRUE(sections && sections->records.size() == 1u);
    auto executable = sections->records[0]->get("executable").dictionary();
    ASSERT_TRUE(executable);
    auto program = platform::foundation::ExecutableImage::current();
    ASSERT_TRUE(program);
    EXPECT_EQ(executable->get("architecture").stringValue(), "x86_64");
    EXPECT_EQ(executable->get("uuid").stringValue(), program->uuidString().value_or(""));
    EXPECT_EQ(std::uint64_t(executable->get("base").integerValue()), program->loadAddress());
    EXPECT_FALSE(executable->get("encrypted").boolValue());
}

TEST_F(EMBBinaryImageTest, AFrameworkOutsideTheSystemNamesItsBundle)
{
    fs::path framework = m_folder.path() / "Widgets.framework";
    fs::create_directories(framework);
    fs::copy_file(CRASH_CAPTURE_PLUGIN_PATH, framework / "Widgets");
    platform::foundation::Files::writeText(framework / "Info.plist",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        "<key>CFBundleIdentifier</key><string>com.zorvik.widgets</string>"
        "<key>CFBundleVersion</key><string>12</string>"
        "<key>CFBundleShortVersionString</key><string></string></dict></plist>\n");
    void* library = dlopen((framework / "Widgets").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    dlclose(library);

    bool sawFramework = false;
    for (auto& [kind, record] : records()) {
        std::string path = record->get("path").stringValue();
        if (kind == "load" && path.find("Widgets.framework") != std::string::npos) {
            sawFramework = true;
            EXPECT_EQ(record->get("bundle_id").stringValue(), "com.zorvik.widgets");
            EXPECT_EQ(record->get("build_version").stringValue(), "12");
            EXPECT_FALSE(record->contains("display_version")) << "empty: left out";
        } else {
            EXPECT_FALSE(record->contains("bundle_id")) << path;
        }
    }
    EXPECT_TRUE(sawFramework);
}

}
}
