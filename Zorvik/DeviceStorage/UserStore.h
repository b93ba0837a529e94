#pragma once

#include "Zorvik/DeviceStorage/DeviceRecordStore.h"
#include "Zorvik/DeviceStorage/DeviceUser.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace zorvik {

/// The people who have signed up or logged in on this device, one DeviceUser record each, in "user.data"
/// in Documents. At most one record is the active user (the one signed in now); records of earlier users
/// stay with their logos. One store per process, reached through sharedStore(), on the main thread.
///
/// Tests: resetSharedStore() closes the store so that the next sharedStore() opens the file anew (after
/// pointing Files at another home folder, say). Records already handed out stay readable but belong to
/// the closed store.
class UserStore : public DeviceRecordStore {
public:
    /// The store's file name in Documents.
    static constexpr const char* kFileName = "user.data";

    /// The one store, opened on first use (see DeviceRecordStore for what happens to a damaged file).
    static UserStore& sharedStore();

    /// Closes the one store; the next sharedStore() opens it again. For tests.
    static void resetSharedStore();

    /// Always throws platform::foundation::NamedException "Singleton" with the reason
    /// "Use +[UserStore sharedStore]": the store is reached through sharedStore() only.
    UserStore();

    /// The store file's path: Documents followed by "user.data" (nullopt without a Documents folder).
    static std::optional<std::filesystem::path> itemArchivePath();

    /// Whether some record's username is exactly `username` (case matters).
    bool containsUserWithUsername(std::string_view username);

    /// The first record whose username is exactly `username`, or nullopt.
    std::optional<DeviceUser> fetchUserWithUsername(std::string_view username);

    /// The first record marked as the active user, or nullopt when nobody is signed in.
    std::optional<DeviceUser> fetchActiveUser();

    /// A new record with `username` and every other attribute empty; saved at the next updateStore().
    DeviceUser createUserWithUsername(std::string_view username);

private:
    struct Opening { };
    explicit UserStore(Opening);
};

}
