#pragma once

#include "platform/foundation/Value.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/StoreResult.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace platform::store {

class EntityDescription;
class ManagedObjectModel;

/// One SQLite file holding the records of a model: a table per entity, a column per attribute, and an
/// identifier per record. The record-level layer under ManagedObjectContext; it knows nothing of
/// pending changes.
///
/// Opening checks the file and brings its tables up to the model: a missing table is created, a missing
/// attribute column is added (records written before read it as empty), and columns the model no longer
/// has are left alone. Every operation waits a short while for a lock that another connection holds; a
/// store still locked after it fails that operation with StoreFault::Locked and is never taken for a
/// damaged one. A file that is locked while it opens is checked and brought up to the model by the first
/// operation that finds it free. No operation throws; failures come back as results.
/// Use one store from one thread at a time.
class PersistentStore {
public:
    /// Values of one record, one per attribute in the entity's order, as the attribute stores them.
    using Values = std::vector<foundation::Value>;

    /// One stored record.
    struct Row {
        std::int64_t identifier { 0 };
        Values values;
    };

    /// Opens or creates the store file at `path` for `model`, which must outlive the store. Fails, with
    /// SQLite's description, when the file cannot be opened or created, or (StoreFault::Damaged) is not a
    /// store or is damaged.
    static StoreResult<std::unique_ptr<PersistentStore>> open(
        const std::filesystem::path& path, const ManagedObjectModel& model);
    /// A store that lives in memory only, for `model`.
    static StoreResult<std::unique_ptr<PersistentStore>> openInMemory(const ManagedObjectModel& model);

    /// Closes the file.
    ~PersistentStore();
    PersistentStore(const PersistentStore&) = delete;
    PersistentStore& operator=(const PersistentStore&) = delete;

    /// The store file (empty for a store in memory).
    const std::filesystem::path& path() const { return m_path; }

    /// The records of `entity` that match `predicate` (all when null; its value as the attribute stores
    /// it), oldest first, at most `limit` of them (0: no limit).
    StoreResult<std::vector<Row>> select(
        const EntityDescription& entity, const FetchRequest::Equals* predicate, std::size_t limit);
    /// How many records select() would give.
    StoreResult<std::size_t> count(
        const EntityDescription& entity, const FetchRequest::Equals* predicate, std::size_t limit);

    /// Starts a transaction that takes the write lock at once.
    StoreStatus begin();
    /// Ends the transaction, writing its changes.
    StoreStatus commit();
    /// Drops the transaction's changes.
    void rollback();

    /// Adds a record and gives its new identifier.
    StoreResult<std::int64_t> insert(const EntityDescription& entity, const Values& values);
    /// Replaces every value of the record `identifier`.
    StoreStatus update(const EntityDescription& entity, std::int64_t identifier, const Values& values);
    /// Removes the record `identifier`.
    StoreStatus remove(const EntityDescription& entity, std::int64_t identifier);

private:
    PersistentStore(sqlite3* database, std::filesystem::path path);
    static StoreResult<std::unique_ptr<PersistentStore>> prepare(
        std::unique_ptr<PersistentStore> store, const ManagedObjectModel& model);
    // Checks the file and brings its tables up to the model, once, before the first operation that finds
    // the file free.
    StoreStatus ready();
    StoreStatus checkIntegrity();
    // The statements that bring the file's tables up to the model.
    StoreResult<std::vector<std::string>> tableChanges(const ManagedObjectModel& model);
    StoreStatus createTables(const ManagedObjectModel& model);
    StoreStatus execute(const std::string& sql);

    sqlite3* m_database { nullptr };
    std::filesystem::path m_path;
    const ManagedObjectModel* m_unpreparedModel { nullptr };
};

}
