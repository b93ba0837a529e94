#include "kit/analytics/EMBEventLogSessionRepository.h"

#include "kit/analytics/EMBFileSystemError.h"

#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kit {
namespace {

namespace fs = std::filesystem;
using Repository = EMBEventLogSessionRepository;
using platform::foundation::Error;

constexpr const char* kActive { Repository::kActiveStateName };
constexpr const char* kPackaged { Repository::kPackagedStateName };

class EMBEventLogSessionRepositoryTest : public ::testing::Test {
protected:
    // The fragment directory <fragmentTimestamp>_<fragment> of session 100_s in `state`, made.
    fs::path fragment(const char* state, std::uint64_t fragmentTimestamp, const char* fragment = "f",
        std::uint64_t sessionTimestamp = 100, const char* session = "s")
    {
        auto directory = repository.sessionFragmentDirectoryURLForStateName(
            state, session, sessionTimestamp, fragment, fragmentTimestamp);
        EXPECT_TRUE(directory);
        return directory.value_or(fs::path());
    }

    static void write(const fs::path& file, const std::string& content = "line\n")
    {
        std::ofstream(file, std::ios::binary) << content;
    }

    fs::path states() const { return root.path() / "analytics" / "v1"; }

    ::testing::TemporaryDirectory root;
    Repository repository { root.path() / "analytics" };
};

TEST_F(EMBEventLogSessionRepositoryTest, NamesSessionsFragmentsAndLogFiles)
{
    EXPECT_EQ(Repository::activeEventLogFileNameForPriority(0), "0.log");
    EXPECT_EQ(Repository::activeEventLogFileNameForPriority(2), "2.log");
    EXPECT_EQ(Repository::activeEventLogFileNameForPriority(3), std::nullopt);
    EXPECT_EQ(Repository::sessionDirectoryNameWithIdentifier("abc", 1421236800000), "1421236800000_abc");
    EXPECT_EQ(Repository::sessionFragmentDirectoryNameWithIdentifier("F-1", 7), "7_F-1");

    struct Case {
        const char* name;
        int priority;
    };
    const Case cases[] = { { "0.log", 0 }, { "1.log", 1 }, { "2.log.zip", 2 }, { "1.log.anything", 1 },
        { "3.log", -1 }, { "0.log.zip.zip", -1 }, { "log", -1 }, { "", -1 }, { "x0.log", -1 } };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(Repository::priorityForEventLogFileWithName(test.name), test.priority);
    }

    fs::path fragmentDirectory = "/r/v1/ACTIVE/1_s/2_f";
    EXPECT_EQ(Repository::prepDirectoryForDirectoryURL(fragmentDirectory), "/r/v1/ACTIVE/1_s/2_f.prep");
    EXPECT_EQ(Repository::prepDirectoryForDirectoryURL("/r/v1/ACTIVE/1_s/2_f/"), "/r/v1/ACTIVE/1_s/2_f.prep");
    EXPECT_TRUE(Repository::isPrepDirectoryURL("/r/2_f.prep"));
    EXPECT_FALSE(Repository::isPrepDirectoryURL(fragmentDirectory));
    EXPECT_EQ(
        Repository::sessionDirectoryURLForSessionFragmentDirectoryURL(fragmentDirectory), "/r/v1/ACTIVE/1_s");
    EXPECT_EQ(Repository::stateDirectoryURLForSessionDirectoryURL("/r/v1/ACTIVE/1_s/"), "/r/v1/ACTIVE");
    EXPECT_EQ(
        Repository::sessionFragmentDirectoryURLForLogFileURL(fragmentDirectory / "0.log"), fragmentDirectory);
}

TEST_F(EMBEventLogSessionRepositoryTest, MakesTheDirectoriesItNamesButNotTheLogFiles)
{
    auto file = repository.eventLogFileURLForStateName(kActive, "s", 100, "f", 200, 1);
    ASSERT_TRUE(file);
    EXPECT_EQ(*file, states() / "ACTIVE" / "100_s" / "200_f" / "1.log");
    EXPECT_TRUE(fs::is_directory(file->parent_path()));
    EXPECT_FALSE(fs::exists(*file));

    // A file standing where the directory belongs gives way.
    write(states() / "PACKAGED");
    auto state = repository.stateDirectoryURLForStateName(kPackaged);
    ASSERT_TRUE(state);
    EXPECT_TRUE(fs::is_directory(*state));

    std::optional<Error> error;
    EXPECT_FALSE(repository.eventLogFileURLForStateName(kActive, "s", 100, "f", 200, 3, &error));
    EXPECT_TRUE(error);
}

TEST_F(EMBEventLogSessionRepositoryTest, FailsWithTheFileSystemsErrorWhenItCannotCreate)
{
    write(root.path() / "blocked");
    Repository blocked(root.path() / "blocked" / "analytics");
    std::optional<Error> error;
    EXPECT_FALSE(blocked.stateDirectoryURLForStateName(kActive, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), kEMBFileSystemErrorDomain);
    EXPECT_EQ(error->code(), ENOTDIR);

    error.reset();
    EXPECT_FALSE(blocked.logFileURLsForAllStates(&error));
    EXPECT_TRUE(error);
}

TEST_F(EMBEventLogSessionRepositoryTest, ListsLogFilesOfActiveThenPackagedFragmentsOldestFirst)
{
    auto older = fragment(kActive, 200, "b");
    auto newer = fragment(kActive, 300, "a");
    auto packaged = fragment(kPackaged, 150, "c", 90, "t");
    write(newer / "0.log");
    write(older / "2.log");
    write(older / "1.log");
    write(older / "notes.txt");
    write(older / ".0.log");
    write(packaged / "1.log.zip");
    fs::create_directory(older / "nested");

    auto sessions = repository.sessionDirectoryURLsForStateName(kActive);
    ASSERT_TRUE(sessions);
    EXPECT_EQ(*sessions, Repository::Paths { states() / "ACTIVE" / "100_s" });
    EXPECT_EQ(repository.sessionFragmentDirectoryURLsForSessionDirectory(sessions->front()),
        (Repository::Paths { older, newer }));
    auto files = repository.logFileURLsForAllStates();
    ASSERT_TRUE(files);
    EXPECT_EQ(*files,
        (Repository::Paths { older / "1.log", older / "2.log", newer / "0.log", packaged / "1.log.zip" }));
}

TEST_F(EMBEventLogSessionRepositoryTest, PreparesPackagedFragmentsUnderTheirFinalNameAndPurgesLeftovers)
{
    auto active = fragment(kActive, 200);
    auto prep = repository.prepSessionFragmentDirectoryURLForStateName(kPackaged, active);
    ASSERT_TRUE(prep);
    EXPECT_EQ(*prep, states() / "PACKAGED" / "100_s" / "200_f.prep");
    EXPECT_TRUE(fs::is_directory(*prep));
    write(*prep / "0.log.zip", "new");

    // An older package of the same name is replaced.
    auto older = fragment(kPackaged, 200);
    write(older / "0.log.zip", "old");
    auto finished = repository.removePrepStatusFromSessionFragmentDirectoryURL(*prep);
    ASSERT_TRUE(finished);
    EXPECT_EQ(*finished, older);
    std::ifstream kept(older / "0.log.zip");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "new");
    EXPECT_FALSE(fs::exists(*prep));

    std::optional<Error> error;
    EXPECT_FALSE(repository.removePrepStatusFromSessionFragmentDirectoryURL(older, &error));
    EXPECT_TRUE(error);
    EXPECT_FALSE(repository.prepSessionFragmentDirectoryURLForStateName(kPackaged, "s/f", &error));

    auto leftover = repository.prepSessionFragmentDirectoryURLForStateName(kPackaged, fragment(kActive, 300));
    ASSERT_TRUE(leftover);
    EXPECT_TRUE(repository.purgePrepSessionFragmentDirectoriesForStateName(kPackaged));
    EXPECT_FALSE(fs::exists(*leftover));
    EXPECT_TRUE(fs::exists(older));
}

TEST_F(EMBEventLogSessionRepositoryTest, RemovingTheLastFragmentRemovesItsSessionAndState)
{
    auto first = fragment(kActive, 200);
    auto second = fragment(kActive, 300);
    write(first / "0.log");
    write(first / "1.log");
    write(second / "0.log");

    EXPECT_TRUE(repository.removeLogFile(first / "0.log"));
    EXPECT_TRUE(fs::exists(first)) << "it still holds 1.log";
    EXPECT_TRUE(repository.removeLogFile(first / "1.log"));
    EXPECT_FALSE(fs::exists(first));
    EXPECT_TRUE(fs::exists(second.parent_path()));

    EXPECT_TRUE(repository.removeSessionFragmentDirectory(second));
    EXPECT_FALSE(fs::exists(states() / "ACTIVE"));
    EXPECT_TRUE(fs::exists(states()));
    EXPECT_TRUE(repository.removeLogFile(second / "0.log")) << "nothing there is no failure";

    auto again = repository.sessionDirectoryURLsForStateName(kActive);
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->empty());
    EXPECT_TRUE(fs::is_directory(states() / "ACTIVE"));
}

TEST_F(EMBEventLogSessionRepositoryTest, CleanUpKeepsLogsAndTheOpenFragmentAndDeletesTheRest)
{
    auto open = fragment(kActive, 500, "open");
    auto emptied = fragment(kActive, 200, "emptied");
    auto withLogs = fragment(kActive, 300, "logs");
    auto packaged = fragment(kPackaged, 400, "packaged", 90, "t");
    auto emptySession = states() / "ACTIVE" / "50_empty";
    fs::create_directories(emptySession);
    write(withLogs / "0.log");
    write(withLogs / "stray.json");
    fs::create_directory(withLogs / "2.log");
    write(emptied / "notes.txt");
    write(packaged / "0.log.zip");
    write(states() / "ACTIVE" / "100_s" / "file-as-fragment");
    write(states() / "ACTIVE" / "file-as-session");
    write(states() / "README");
    fs::create_directory(states() / "v0");
    fs::create_directories(fragment(kPackaged, 600, "nothing-kept", 95, "u"));

    std::optional<Error> error;
    ASSERT_TRUE(repository.cleanUpEventLogRepositoryIgnorningSessionFragmentDirectoryURL(open / "", &error))
        << (error ? error->localizedDescription() : "");

    EXPECT_TRUE(fs::is_directory(open)) << "the open fragment stays, empty as it is";
    EXPECT_FALSE(fs::exists(emptied));
    EXPECT_TRUE(fs::exists(withLogs / "0.log"));
    EXPECT_FALSE(fs::exists(withLogs / "stray.json"));
    EXPECT_FALSE(fs::exists(withLogs / "2.log"));
    EXPECT_TRUE(fs::exists(packaged / "0.log.zip"));
    EXPECT_FALSE(fs::exists(emptySession));
    EXPECT_FALSE(fs::exists(states() / "ACTIVE" / "100_s" / "file-as-fragment"));
    EXPECT_FALSE(fs::exists(states() / "ACTIVE" / "file-as-session"));
    EXPECT_FALSE(fs::exists(states() / "README"));
    EXPECT_FALSE(fs::exists(states() / "v0"));
    EXPECT_FALSE(fs::exists(states() / "PACKAGED" / "95_u"));

    // Without an open fragment to spare, an empty fragment goes, and its session and state with it.
    fs::remove(withLogs / "0.log");
    fs::remove_all(states() / "PACKAGED");
    ASSERT_TRUE(repository.cleanUpEventLogRepositoryIgnorningSessionFragmentDirectoryURL(std::nullopt));
    EXPECT_FALSE(fs::exists(states() / "ACTIVE"));
    EXPECT_TRUE(fs::is_directory(states()));
}

}
}
