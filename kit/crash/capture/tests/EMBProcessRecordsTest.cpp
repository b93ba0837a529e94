#include "kit/crash/capture/EMBProcessRecords.h"
#include "kit/crash/capture/EMBFile.h"
#include "kit/crash/capture/EMBFileReader.h"
#include "kit/crash/capture/EMBHost.h"
#include "kit/crash/capture/EMBProcess.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/DispatchQueue.h"
#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <future>
#include <pthread.h>
#include <sstream>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace kit {
namespace {

namespace fs = std::filesystem;
using platform::foundation::DictionaryRef;

std::string run(std::vector<std::string> arguments)
{
    ::testing::ChildProcess tool(std::move(arguments));
    return tool.readAll(std::chrono::seconds(20));
}

std::vector<std::uint64_t> numbers(const std::string& text)
{
    std::vector<std::uint64_t> values;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        if (!word.empty() && std::isdigit(static_cast<unsigned char>(word[0])))
            values.push_back(std::stoull(word));
    }
    return values;
}

class EMBProcessRecordsTest : public ::testing::Test {
protected:
    void SetUp() override { EMBHostInitialize(m_folder.path().string()); }

    // Writes one record with `write` and reads it back.
    DictionaryRef record(const char* name, const std::function<bool(EMBFile*)>& write)
    {
        fs::path path = m_folder.path() / (std::string(name) + ".embrecord");
        fs::remove(path);
        EMBFile file;
        if (!EMBFileInitWithPath(&file, path.c_str(), false))
            return nullptr;
        bool written = write(&file);
        EMBFileClose(&file);
        auto sections = EMBFileReadSections(path.string(), false);
        if (!written || !sections || sections->partial() || sections->records.size() != 1)
            return nullptr;
        return sections->records[0];
    }

    ::testing::TemporaryDirectory m_folder;
};

TEST_F(EMBProcessRecordsTest, HostFactsAgreeWithTheSystemsTools)
{
    auto host = record("host", EMBHostRecord);
    ASSERT_TRUE(host);
    auto facts = host->get("host").dictionary();
    ASSERT_TRUE(facts);
    std::string machine = run({ "/usr/bin/uname", "-m" });
    EXPECT_EQ(facts->get("machine").stringValue() + "\n", machine);
    EXPECT_EQ(facts->get("platform").stringValue(), "ios");
    // The processor's own brand string: a virtual machine's kernel may name it otherwise in /proc/cpuinfo.
    std::string cpu = facts->get("cpu").stringValue();
    EXPECT_FALSE(cpu.empty());
    EXPECT_EQ(cpu.find_first_of("\0\n"), std::string::npos);
    EXPECT_NE(cpu.front(), ' ');
    EXPECT_NE(cpu.back(), ' ');
    for (const char* key : { "model", "os_build_version", "os_display_version", "locale" })
        EXPECT_FALSE(facts->get(key).stringValue().empty()) << key;
}

TEST_F(EMBProcessRecordsTest, StorageIsTheCachesFileSystemAsDfSeesIt)
{
    auto storage = record("storage", [](EMBFile* file) { return EMBHostWriteDiskUsage(file); });
    ASSERT_TRUE(storage);
    auto sizes = storage->get("storage").dictionary();
    ASSERT_TRUE(sizes);
    std::string dfOutput = run({ "/usr/bin/df", "-B1", "--output=size,avail", m_folder.path().string() });
    auto df = numbers(dfOutput.substr(dfOutput.find('\n') + 1));
    ASSERT_EQ(df.size(), 2u);
    EXPECT_EQ(std::uint64_t(sizes->get("total").integerValue()), df[0]);
    // Free space moves as others write: within 64 MB.
    EXPECT_NEAR(double(sizes->get("free").integerValue()), double(df[1]), 64.0 * 1024 * 1024);

    EMBHostInitialize(m_folder.path() / "missing");
    auto none = record("storage", [](EMBFile* file) { return EMBHostWriteDiskUsage(file); });
    ASSERT_TRUE(none);
    EXPECT_EQ(none->get("storage").dictionary()->size(), 0u) << "an empty object";
}

TEST_F(EMBProcessRecordsTest, ProcessStatsAgreeWithPs)
{
    EMBProcess process;
    ASSERT_TRUE(EMBProcessInit(&process, pid_t(syscall(SYS_gettid)), nullptr));
    auto stats
        = record("process_stats", [&](EMBFile* file) { return EMBProcessRecordStats(&process, file); });
    ASSERT_TRUE(stats);
    auto values = stats->get("process_stats").dictionary();
    ASSERT_TRUE(values);
    auto ps = numbers(run({ "/usr/bin/ps", "-o", "vsz=,rss=", "-p", std::to_string(getpid()) }));
    ASSERT_EQ(ps.size(), 2u);
    // ps counts kilobytes; the process grows a little between the two looks.
    EXPECT_NEAR(double(values->get("virtual").integerValue()) / 1024, double(ps[0]), 64.0 * 1024);
    EXPECT_NEAR(double(values->get("resident").integerValue()) / 1024, double(ps[1]), 16.0 * 1024);
    EXPECT_EQ(values->get("freeMem").integerValue(), values->get("free_mem").integerValue());
    for (const char* key : { "active", "inactive", "freeMem", "user_time" })
        EXPECT_GT(values->get(key).integerValue(), 0) << key;
    EXPECT_TRUE(values->contains("wired"));
    EXPECT_TRUE(values->contains("sys_time"));
}

TEST_F(EMBProcessRecordsTest, NamesEachThreadAndTheQueueItWorksFor)
{
    std::promise<pid_t> namedThread;
    std::atomic<bool> done { false };
    std::thread named([&] {
        pthread_setname_np(pthread_self(), "say \"cheese\"");
        namedThread.set_value(pid_t(syscall(SYS_gettid)));
        while (!done)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    platform::foundation::DispatchQueue queue("com.zorvik.tests.records");
    std::promise<pid_t> queueThread;
    queue.async([&] { queueThread.set_value(pid_t(syscall(SYS_gettid))); });
    pid_t namedTid = namedThread.get_future().get();
    pid_t queueTid = queueThread.get_future().get();

    EMBProcess process;
    ASSERT_TRUE(EMBProcessInit(&process, pid_t(syscall(SYS_gettid)), nullptr));
    auto names
        = record("thread_names", [&](EMBFile* file) { return EMBProcessRecordThreadNames(&process, file); });
    auto labels = record("dispatch_queue_names",
        [&](EMBFile* file) { return EMBProcessRecordDispatchQueueNames(&process, file); });
    done = true;
    named.join();
    ASSERT_TRUE(names && labels);
    auto nameList = names->get("thread_names").array();
    auto labelList = labels->get("dispatch_queue_names").array();
    ASSERT_EQ(nameList->size(), process.threadCount);
    ASSERT_EQ(labelList->size(), process.threadCount);
    int seen = 0;
    for (std::uint32_t i = 0; i < process.threadCount; ++i) {
        pid_t tid = process.threads[i];
        if (tid == namedTid) {
            EXPECT_EQ(nameList->at(i).stringValue(), "say \"cheese\"");
            EXPECT_EQ(labelList->at(i).stringValue(), "") << "works for no queue";
            ++seen;
        }
        if (tid == queueTid) {
            EXPECT_EQ(labelList->at(i).stringValue(), "com.zorvik.tests.records");
            ++seen;
        }
    }
    EXPECT_EQ(seen, 2);
}

TEST_F(EMBProcessRecordsTest, RuntimeHasNoSelectorAndNoCrashInformation)
{
    EMBProcess process;
    auto runtime
        = record("runtime", [&](EMBFile* file) { return EMBProcessRecordRuntimeInfo(&process, file); });
    ASSERT_TRUE(runtime);
    auto values = runtime->get("runtime").dictionary();
    ASSERT_TRUE(values);
    EXPECT_EQ(values->get("objc_selector").stringValue(), "");
    ASSERT_TRUE(values->get("crash_info_entries").array());
    EXPECT_EQ(values->get("crash_info_entries").array()->size(), 0u);
}

TEST_F(EMBProcessRecordsTest, NoDebuggerTracesTheTests)
{
    EXPECT_FALSE(EMBProcessDebuggerAttached());
    EXPECT_EQ(EMBHostGetPageSize(), std::size_t(sysconf(_SC_PAGESIZE)));
}

}
}
