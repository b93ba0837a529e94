#include "kit/crash/capture/EMBFile.h"

#include "kit/crash/capture/EMBFileReader.h"
#include "kit/crash/capture/tests/CrashTimeChild.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace kit {
namespace {

using platform::foundation::Files;

class EMBFileTest : public ::testing::Test {
protected:
    std::string path(const char* name = "signal.embrecord") const
    {
        return (m_folder.path() / name).string();
    }
    std::string text(const char* name = "signal.embrecord") const
    {
        return Files::readText(path(name)).value_or("");
    }

    /// Writes one record with `body` into a fresh unbuffered file and answers the file's text.
    std::string record(const char* name, const std::function<void(EMBFile*)>& body)
    {
        unlink(path().c_str());
        EMBFile file;
        EXPECT_TRUE(EMBFileInitWithPath(&file, path().c_str(), false));
        EMBFileWriteSectionStart(&file, name);
        body(&file);
        EMBFileWriteSectionEnd(&file);
        EMBFileClose(&file);
        return text();
    }

    ::testing::TemporaryDirectory m_folder;
};

TEST_F(EMBFileTest, WritesOneLinePerRecordInTheLineFormat)
{
    struct Case {
        const char* name;
        std::function<void(EMBFile*)> body;
        std::string expected;
    };
    Case cases[] {
        { "signal with a valid siginfo",
            [](EMBFile* f) {
                EMBFileWriteHashStart(f);
                EMBFileWriteHashEntryUint64(f, "number", 11);
                EMBFileWriteHashEntryUint64(f, "code", 1);
                EMBFileWriteHashEntryUint64(f, "address", 0);
                EMBFileWriteHashEntryString(f, "name", "SIGSEGV");
                EMBFileWriteHashEntryString(f, "code_name", nullptr);
                EMBFileWriteHashEntryUint64(f, "errno", 0);
                EMBFileWriteHashEntryUint64(f, "time", 1700000000);
                EMBFileWriteHashEnd(f);
            },
            "{\"signal\":{\"number\":11,\"code\":1,\"address\":0,\"name\":\"SIGSEGV\",\"code_name\":null,"
            "\"errno\":0,\"time\":1700000000}}\n" },
        { "signal without a valid siginfo",
            [](EMBFile* f) {
                EMBFileWriteHashStart(f);
                EMBFileWriteHashEntryUint64(f, "errno", 4);
                EMBFileWriteHashEntryUint64(f, "time", 5);
                EMBFileWriteHashEnd(f);
            },
            "{\"signal\":{\"errno\":4,\"time\":5}}\n" },
        { "hex strings",
            [](EMBFile* f) {
                EMBFileWriteHashStart(f);
                EMBFileWriteHashEntryHexEncodedString(f, "a", "a");
                EMBFileWriteHashEntryHexEncodedString(f, "empty", "");
                EMBFileWriteHashEntryHexEncodedString(f, "missing", nullptr);
                EMBFileWriteHashEntryHexEncodedString(f, "bytes", "\x01\xff\"");
                EMBFileWriteHashEnd(f);
            },
            "{\"kv\":{\"a\":\"61\",\"empty\":\"\",\"missing\":null,\"bytes\":\"01ff22\"}}\n" },
        { "numbers and booleans",
            [](EMBFile* f) {
                EMBFileWriteHashStart(f);
                EMBFileWriteHashEntryInt64(f, "code", -5);
                EMBFileWriteHashEntryInt64(f, "least", INT64_MIN);
                EMBFileWriteHashEntryUint64(f, "most", UINT64_MAX);
                EMBFileWriteHashEntryBoolean(f, "crashed", true);
                EMBFileWriteHashEntryBoolean(f, "encrypted", false);
                EMBFileWriteHashEnd(f);
            },
            "{\"error\":{\"code\":-5,\"least\":-9223372036854775808,\"most\":18446744073709551615,"
            "\"crashed\":true,\"encrypted\":false}}\n" },
        { "nested collections",
            [](EMBFile* f) {
                EMBFileWriteArrayStart(f);
                for (int thread = 0; thread < 2; ++thread) {
                    EMBFileWriteHashStart(f);
                    EMBFileWriteHashKey(f, "registers");
                    EMBFileWriteHashStart(f);
                    EMBFileWriteHashEntryUint64(f, "rip", 16);
                    EMBFileWriteHashEnd(f);
                    EMBFileWriteHashKey(f, "stacktrace");
                    EMBFileWriteArrayStart(f);
                    EMBFileWriteArrayEntryUint64(f, 1);
                    EMBFileWriteArrayEntryUint64(f, 2);
                    EMBFileWriteArrayEnd(f);
                    EMBFileWriteHashEntryBoolean(f, "crashed", thread == 0);
                    EMBFileWriteHashEnd(f);
                }
                EMBFileWriteArrayEnd(f);
            },
            "{\"threads\":[{\"registers\":{\"rip\":16},\"stacktrace\":[1,2],\"crashed\":true},"
            "{\"registers\":{\"rip\":16},\"stacktrace\":[1,2],\"crashed\":false}]}\n" },
        { "plain strings are escaped",
            [](EMBFile* f) {
                EMBFileWriteArrayStart(f);
                EMBFileWriteArrayEntryString(f, "com.apple.main-thread");
                EMBFileWriteArrayEntryString(f, "say \"hi\"\\now\n\t\x01");
                EMBFileWriteArrayEntryString(f, "caf\xc3\xa9 \xff!");
                EMBFileWriteArrayEntryString(f, nullptr);
                EMBFileWriteArrayEntryHexEncodedString(f, "z");
                EMBFileWriteArrayEnd(f);
            },
            "{\"thread_names\":[\"com.apple.main-thread\",\"say \\\"hi\\\"\\\\now\\n\\t\\u0001\","
            "\"caf\xc3\xa9 \\ufffd!\",null,\"7a\"]}\n" },
        { "string objects",
            [](EMBFile* f) {
                EMBFileWriteHashStart(f);
                EMBFileWriteHashEntryNSString(f, "bundle_id", std::string("com.zorvik.app"));
                EMBFileWriteHashEntryNSString(f, "custom_bundle_id", std::nullopt);
                EMBFileWriteHashEntryNSStringUnlessNilOrEmpty(f, "build_version", std::string(""));
                EMBFileWriteHashEntryNSStringUnlessNilOrEmpty(f, "display_version", std::nullopt);
                EMBFileWriteHashEntryNSStringUnlessNilOrEmpty(f, "uuid", std::string("ab"));
                EMBFileWriteHashEnd(f);
            },
            "{\"load\":{\"bundle_id\":\"com.zorvik.app\",\"custom_bundle_id\":null,\"uuid\":\"ab\"}}\n" },
    };
    for (auto& c : cases) {
        std::string name = c.expected.substr(2, c.expected.find('"', 2) - 2);
        EXPECT_EQ(record(name.c_str(), c.body), c.expected) << c.name;
    }
}

TEST_F(EMBFileTest, AppendingCountsTheBytesAlreadyThere)
{
    Files::writeText(path(), "{\"log\":{}}\n");
    EMBFile file;
    ASSERT_TRUE(EMBFileInitWithPath(&file, path().c_str(), false));
    EXPECT_EQ(file.bytesWritten, 11u);
    EMBFileWriteSectionStart(&file, "log");
    EMBFileWriteHashStart(&file);
    EMBFileWriteHashEnd(&file);
    EMBFileWriteSectionEnd(&file);
    std::uint64_t offset = 0;
    EXPECT_TRUE(EMBFileCloseWithOffset(&file, &offset));
    EXPECT_EQ(offset, 22u);
    EXPECT_FALSE(EMBFileIsOpen(&file));
    EXPECT_EQ(file.fd, -1);

    ASSERT_TRUE(EMBFileInitWithPathMode(&file, path().c_str(), false, false));
    EXPECT_EQ(file.bytesWritten, 0u) << "truncated";
    EMBFileClose(&file);
    EXPECT_EQ(text(), "");
    EXPECT_FALSE(EMBFileInitWithPath(&file, path("missing/x.embrecord").c_str(), false));
    EXPECT_FALSE(EMBFileInitWithPath(nullptr, path().c_str(), false));
}

TEST_F(EMBFileTest, ALongRecordReachesABufferedFileWhole)
{
    EMBFile file;
    ASSERT_TRUE(EMBFileInitWithPath(&file, path().c_str(), true));
    std::string message(2000, 'm');
    EMBFileWriteSectionStart(&file, "log");
    EMBFileWriteHashStart(&file);
    EMBFileWriteHashEntryString(&file, "msg", message.c_str());
    EMBFileWriteHashEnd(&file);
    EMBFileWriteSectionEnd(&file);
    EXPECT_LT(text().size(), 2000u) << "part of the record still waits in the buffer";
    EXPECT_TRUE(EMBFileClose(&file));
    EXPECT_EQ(text(), "{\"log\":{\"msg\":\"" + message + "\"}}\n");
}

TEST_F(EMBFileTest, ALentBufferGathersWritesAndGivesTheSameBytes)
{
    auto write = [](EMBFile* file) {
        EMBFileWriteArrayStart(file);
        for (std::uint64_t value = 0; value < 500; ++value)
            EMBFileWriteArrayEntryUint64(file, value * 0x1000001);
        EMBFileWriteArrayEnd(file);
    };
    std::string unbuffered = record("stacktrace", write);
    std::string lent = record("stacktrace", [&](EMBFile* file) {
        char buffer[EMBFile::kBufferSize];
        ASSERT_TRUE(EMBFileLendBuffer(file, buffer));
        char second[EMBFile::kBufferSize];
        EXPECT_FALSE(EMBFileLendBuffer(file, second)) << "one buffer at a time";
        write(file);
        EXPECT_LT(text().size(), unbuffered.size()) << "part of the record still waits in the buffer";
        EXPECT_TRUE(EMBFileReturnBuffer(file));
    });
    EXPECT_EQ(lent, unbuffered);

    EMBFile buffered;
    ASSERT_TRUE(EMBFileInitWithPath(&buffered, path().c_str(), true));
    char buffer[EMBFile::kBufferSize];
    EXPECT_FALSE(EMBFileLendBuffer(&buffered, buffer)) << "it has one of its own";
    EMBFileClose(&buffered);
    EMBFile closed;
    EXPECT_FALSE(EMBFileLendBuffer(&closed, buffer));
}

TEST_F(EMBFileTest, AfterAFailedWriteTheNextRecordStartsOnALineOfItsOwn)
{
    EMBFile file;
    ASSERT_TRUE(EMBFileInitWithPath(&file, "/dev/full", false));
    EMBFileWriteSectionStart(&file, "signal");
    EMBFileWriteHashStart(&file);
    EXPECT_FALSE(EMBFileWriteHashEntryUint64(&file, "errno", 28));

    // The disk has room again: the same writer goes on into a file that already holds a cut-off record.
    Files::writeText(path(), "{\"signal\":{\"err");
    int good = open(path().c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(good, 0);
    dup2(good, file.fd);
    close(good);
    EMBFileWriteSectionStart(&file, "signal");
    EMBFileWriteHashStart(&file);
    EMBFileWriteHashEntryUint64(&file, "errno", 0);
    EMBFileWriteHashEnd(&file);
    EXPECT_TRUE(EMBFileWriteSectionEnd(&file));
    EMBFileClose(&file);

    EXPECT_EQ(text(), "{\"signal\":{\"err\n{\"signal\":{\"errno\":0}}\n");
    auto sections = EMBFileReadSections(path(), false);
    ASSERT_TRUE(sections);
    ASSERT_EQ(sections->records.size(), 1u);
    EXPECT_EQ(sections->records[0]->get("signal").dictionary()->get("errno").integer(), 0);
    EXPECT_EQ(sections->skippedLines, std::vector<std::size_t> { 1 });
    EXPECT_FALSE(sections->endsMidLine);
}

TEST_F(EMBFileTest, EveryRecordKindReadsBackThroughPythonsJson)
{
    const char* name = "thread \"main\" \\ worker\nline two";
    EMBFile file;
    ASSERT_TRUE(EMBFileInitWithPath(&file, path().c_str(), false));
    auto hashRecord = [&](const char* record, const std::function<void()>& body) {
        EMBFileWriteSectionStart(&file, record);
        EMBFileWriteHashStart(&file);
        body();
        EMBFileWriteHashEnd(&file);
        EMBFileWriteSectionEnd(&file);
    };
    hashRecord("identity", [&] {
        EMBFileWriteHashEntryString(&file, "generator", "Ember iOS SDK/3.7.0");
        EMBFileWriteHashEntryString(&file, "beta_token", nullptr);
    });
    hashRecord("load", [&] {
        EMBFileWriteHashEntryString(&file, "path", "/opt/app/lib\"odd\\name.so");
        EMBFileWriteHashEntryString(&file, "uuid", nullptr);
        EMBFileWriteHashEntryUint64(&file, "base", 0x7f0000000000);
    });
    hashRecord("exception", [&] {
        EMBFileWriteHashEntryString(&file, "type", "c++");
        EMBFileWriteHashEntryHexEncodedString(&file, "name", name);
        EMBFileWriteHashEntryHexEncodedString(&file, "reason", "caf\xc3\xa9");
        EMBFileWriteHashKey(&file, "frames");
        EMBFileWriteArrayStart(&file);
        EMBFileWriteHashStart(&file);
        EMBFileWriteHashEntryUint64(&file, "pc", 4096);
        EMBFileWriteHashEntryHexEncodedString(&file, "symbol", "main");
        EMBFileWriteHashEnd(&file);
        EMBFileWriteArrayEnd(&file);
    });
    EMBFileWriteSectionStart(&file, "thread_names");
    EMBFileWriteArrayStart(&file);
    EMBFileWriteArrayEntryString(&file, name);
    EMBFileWriteArrayEntryString(&file, "");
    EMBFileWriteArrayEnd(&file);
    EMBFileWriteSectionEnd(&file);
    hashRecord("error", [&] {
        EMBFileWriteHashEntryHexEncodedString(&file, "domain", name);
        EMBFileWriteHashEntryInt64(&file, "code", -1009);
        EMBFileWriteHashKey(&file, "info");
        EMBFileWriteArrayStart(&file);
        EMBFileWriteArrayStart(&file);
        EMBFileWriteArrayEntryHexEncodedString(&file, "key");
        EMBFileWriteArrayEntryHexEncodedString(&file, "value");
        EMBFileWriteArrayEnd(&file);
        EMBFileWriteArrayEnd(&file);
    });
    EMBFileClose(&file);

    const char* script = R"(
import json, sys
for line in open(sys.argv[1], encoding='utf-8'):
    record = json.loads(line)
    assert len(record) == 1
    (kind, value), = record.items()
    if kind == 'identity': print(kind, value['generator'], value['beta_token'])
    if kind == 'load': print(kind, value['path'], value['uuid'], value['base'])
    if kind == 'exception':
        name = bytes.fromhex(value['name']).decode()
        print(kind, name == sys.argv[2], bytes.fromhex(value['reason']).decode(),
              bytes.fromhex(value['frames'][0]['symbol']).decode())
    if kind == 'thread_names': print(kind, value[0] == sys.argv[2], repr(value[1]))
    if kind == 'error':
        print(kind, bytes.fromhex(value['domain']).decode() == sys.argv[2], value['code'],
              [[bytes.fromhex(x).decode() for x in pair] for pair in value['info']])
)";
    ::testing::ChildProcess python({ "/usr/bin/python3", "-c", script, path(), name });
    std::string output = python.readAll(std::chrono::seconds(20));
    EXPECT_EQ(python.wait(std::chrono::seconds(20)), 0) << output;
    EXPECT_EQ(output,
        "identity Ember iOS SDK/3.7.0 None\n"
        "load /opt/app/lib\"odd\\name.so None 139637976727552\n"
        "exception True caf\xc3\xa9 main\n"
        "thread_names True ''\n"
        "error True -1009 [['key', 'value']]\n");
}

TEST_F(EMBFileTest, AFileCutAnywhereGivesItsWholeRecordsAndSaysItIsPartial)
{
    std::string whole = record("kv", [](EMBFile* f) {
        EMBFileWriteHashStart(f);
        EMBFileWriteHashEntryHexEncodedString(f, "key", "first");
        EMBFileWriteHashEntryHexEncodedString(f, "value", "one");
        EMBFileWriteHashEnd(f);
    });
    whole += "{\"log\":{\"msg\":\"6869\",\"time\":12}}\n{\"threads\":[{\"stacktrace\":[1,2,3]}]}\n";
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (whole[i] == '\n')
            ends.push_back(i + 1);
    }
    ASSERT_EQ(ends.size(), 3u);
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        Files::writeText(path(), whole.substr(0, cut));
        auto sections = EMBFileReadSections(path(), false);
        ASSERT_TRUE(sections) << cut;
        std::size_t expected
            = std::size_t(std::count_if(ends.begin(), ends.end(), [&](auto end) { return end <= cut; }));
        bool atLineEnd = cut == 0 || whole[cut - 1] == '\n';
        EXPECT_EQ(sections->records.size(), expected) << "cut at " << cut;
        EXPECT_EQ(sections->endsMidLine, !atLineEnd) << "cut at " << cut;
        EXPECT_EQ(sections->partial(), !atLineEnd) << "cut at " << cut;
        EXPECT_TRUE(sections->skippedLines.empty()) << "cut at " << cut;
    }
}

TEST_F(EMBFileTest, TheReaderTransformsSkipsAndFailsAsAsked)
{
    Files::writeText(
        path(), "{\"log\":{\"time\":1}}\nnot json\n\n{\"kv\":{}}\n[1]\n{\"log\":{\"time\":2}}\n");
    auto sections = EMBFileReadSections(path(), false, [](platform::foundation::DictionaryRef record) {
        return record->contains("log") ? record : platform::foundation::DictionaryRef {};
    });
    ASSERT_TRUE(sections);
    ASSERT_EQ(sections->records.size(), 2u);
    EXPECT_EQ(sections->records[1]->get("log").dictionary()->get("time").integer(), 2);
    EXPECT_EQ(sections->skippedLines, (std::vector<std::size_t> { 2, 5 }));

    EXPECT_FALSE(EMBFileReadSections(path("missing.embrecord"), true));
    EXPECT_FALSE(EMBFileReadSections("", false));
    EXPECT_EQ(EMBFileHexEncodeString("a\xff"), "61ff");
}

TEST(EMBFileChild, DISABLED_WritesARecordInASignalHandler)
{
    static EMBFile file;
    EMBFileInitWithPath(&file, getenv("EMB_TEST_RECORD_PATH"), false);
    testing::faultWithHandler([] {
        EMBFileWriteSectionStart(&file, "signal");
        EMBFileWriteHashStart(&file);
        EMBFileWriteHashEntryUint64(&file, "number", SIGSEGV);
        EMBFileWriteHashEntryString(&file, "name", "SIGSEGV");
        EMBFileWriteHashEntryHexEncodedString(&file, "reason", "fault");
        EMBFileWriteHashEntryInt64(&file, "errno", -1);
        EMBFileWriteHashEnd(&file);
        EMBFileWriteSectionEnd(&file);
    });
}

TEST_F(EMBFileTest, WritesARecordInASignalHandlerWithoutAllocating)
{
    setenv("EMB_TEST_RECORD_PATH", path().c_str(), 1);
    auto child = testing::runCrashTimeChild("EMBFileChild.DISABLED_WritesARecordInASignalHandler");
    unsetenv("EMB_TEST_RECORD_PATH");
    ASSERT_TRUE(child && child->started());
    std::string output = child->readAll(std::chrono::seconds(20));
    EXPECT_EQ(child->deathSignal(std::chrono::seconds(20)), SIGSEGV) << output;
    EXPECT_EQ(
        text(), "{\"signal\":{\"number\":11,\"name\":\"SIGSEGV\",\"reason\":\"6661756c74\",\"errno\":-1}}\n");
}

}
}
