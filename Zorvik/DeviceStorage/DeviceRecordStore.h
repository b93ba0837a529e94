#pragma once

#include "platform/store/StoreResult.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform::store {
class ManagedObject;
class ManagedObjectContext;
class ManagedObjectModel;
struct FetchRequest;
}

namespace zorvik {

/// What the two record stores of the device share: a store file in Documents holding the app's data
/// model, opened once, whose changes reach the file at updateStore(). Used on the main thread.
///
/// A store file that is damaged (not a store, or its check fails) is moved aside under its name followed
/// by ".corrupt-" and the time in UTC ("user.data.corrupt-20150114T120000Z"), where a person can find
/// it, and a fresh store is made in its place; a log line tells what happened. A file that another
/// program holds locked is never moved: the operations that meet the lock fail (and are logged) until it
/// is free. When no store file can be made at all, the records live in memory until the app quits
/// (logged as well), so the app goes on.
class DeviceRecordStore {
public:
    /// Closes the store; unsaved changes are dropped.
    virtual ~DeviceRecordStore();
    DeviceRecordStore(const DeviceRecordStore&) = delete;
    DeviceRecordStore& operator=(const DeviceRecordStore&) = delete;

    /// The context the store's records live in.
    const std::shared_ptr<platform::store::ManagedObjectContext>& context() const { return m_context; }
    /// The data model the store holds.
    std::shared_ptr<const platform::store::ManagedObjectModel> model() const;

    /// Saves the changes made to the records. A failure is logged, not reported; the changes then stay
    /// pending and the next updateStore() tries again.
    void updateStore();

protected:
    /// Opens the store file `fileName` in Documents, recovering as the class comment tells.
    explicit DeviceRecordStore(std::string fileName);

    /// The path of `fileName` in Documents, or nullopt when there is no Documents folder.
    static std::optional<std::filesystem::path> archivePath(std::string_view fileName);

    /// The first record the request selects, null when none does, or the store's error (logged) when it
    /// could not be read.
    platform::store::StoreResult<std::shared_ptr<platform::store::ManagedObject>> fetchFirst(
        const platform::store::FetchRequest& request);
    /// How many records the request selects, or the store's error (logged).
    platform::store::StoreResult<std::size_t> count(const platform::store::FetchRequest& request);

private:
    std::string m_fileName;
    std::shared_ptr<platform::store::ManagedObjectContext> m_context;
};

}
