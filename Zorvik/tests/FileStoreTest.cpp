#include "Zorvik/DeviceStorage/FileStore.h"

#include "Zorvik/DeviceStorage/SDK.h"
#include "Zorvik/tests/DeviceStorageFixture.h"
#include "platform/foundation/Files.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::Bytes;
using platform::foundation::Files;

using FileStoreTest = DeviceStorageTest;

TEST_F(FileStoreTest, TextFilesRoundTripAndReplaceTheirWholeContent)
{
    FileStore store;
    EXPECT_EQ(store.readFromFile("user"), std::nullopt);

    store.saveToFile("user", "someone.with.a.long.address@example.co.uk");
    store.saveToFile("user", "zoë@example.com");
    EXPECT_EQ(store.readFromFile("user"), "zoë@example.com");
    EXPECT_EQ(Files::readText(documents() / "user"), "zoë@example.com");

    store.removeFile("user");
    store.removeFile("user");
    EXPECT_EQ(store.readFromFile("user"), std::nullopt);
}

TEST_F(FileStoreTest, DataFilesRoundTripAndTextReadsRefuseInvalidUtf8)
{
    FileStore store;
    const Bytes notText { 0xFF, 0xFE, 0x00, 0x41 };
    store.saveDataToFile("tutorial", Bytes { 1, 2, 3, 4, 5, 6 });
    store.saveDataToFile("tutorial", notText);
    EXPECT_EQ(store.readDataFromFile("tutorial"), notText);
    EXPECT_EQ(store.readFromFile("tutorial"), std::nullopt);
    EXPECT_EQ(store.readDataFromFile("missing"), std::nullopt);
}

TEST_F(FileStoreTest, FileStoresShareTheDocumentsFolder)
{
    FileStore writer;
    FileStore reader;
    writer.saveToFile("tutorial", "{\"swipe\":true}");
    EXPECT_EQ(reader.readFromFile("tutorial"), "{\"swipe\":true}");
    EXPECT_EQ(reader.pathForFile("tutorial"), documents() / "tutorial");
    EXPECT_EQ(&SDK::sdk(), &SDK::sdk());
    SDK::sdk().fs()->saveToFile("user", "a@example.com");
    EXPECT_EQ(reader.readFromFile("user"), "a@example.com");
}

TEST_F(FileStoreTest, NamesThatAreNotPlainFileNamesReachNothing)
{
    FileStore store;
    Files::writeText(m_home.path() / "outside", "kept");
    const std::vector<std::string_view> names { "", ".", "..", "../outside", "sub/file",
        std::string_view("a\0b", 3) };
    for (std::string_view name : names) {
        SCOPED_TRACE(std::string(name));
        EXPECT_EQ(store.pathForFile(name), std::nullopt);
        store.saveToFile(name, "written");
        EXPECT_EQ(store.readFromFile(name), std::nullopt);
        store.removeFile(name);
    }
    EXPECT_EQ(Files::readText(m_home.path() / "outside"), "kept");
}

}
}
