#pragma once

#include "platform/store/FetchRequest.h"
#include "platform/store/StoreResult.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::store {

class EntityDescription;
class ManagedObject;
class ManagedObjectModel;
class PersistentStore;

/// The working set of one store: the records handed out from it and the changes made to them. Inserts,
/// changes and deletions are pending until save(), which writes them all in one transaction or none.
///
/// Fetches and counts see the pending changes: an inserted record that matches is found (after the stored
/// ones), a changed record is judged by its current values, and a deleted one is not found.
///
/// Make it with open() or openInMemory(); use it from the thread that made it. A failure of the store
/// comes back as a result; only programming errors (an unknown entity or attribute, a value of the wrong
/// kind, a record of another context) throw std::invalid_argument.
class ManagedObjectContext : public std::enable_shared_from_this<ManagedObjectContext> {
public:
    using Objects = std::vector<std::shared_ptr<ManagedObject>>;

    /// A context on the store file at `path` (created when missing) for `model`; the error when the file
    /// cannot be opened or created, or (StoreFault::Damaged) is not a store or is damaged. A file that
    /// another connection holds locked opens all the same: operations fail with StoreFault::Locked until
    /// it is free (see PersistentStore).
    static StoreResult<std::shared_ptr<ManagedObjectContext>> open(
        const std::filesystem::path& path, std::shared_ptr<const ManagedObjectModel> model);
    /// A context on a store kept in memory only, for `model`.
    static StoreResult<std::shared_ptr<ManagedObjectContext>> openInMemory(
        std::shared_ptr<const ManagedObjectModel> model);

    /// Made by open() only (public for std::make_shared).
    ManagedObjectContext(
        std::shared_ptr<const ManagedObjectModel> model, std::unique_ptr<PersistentStore> store);
    /// Closes the store; unsaved changes are dropped.
    ~ManagedObjectContext();
    ManagedObjectContext(const ManagedObjectContext&) = delete;
    ManagedObjectContext& operator=(const ManagedObjectContext&) = delete;

    /// The model the store holds.
    const std::shared_ptr<const ManagedObjectModel>& model() const { return m_model; }
    /// The store file (empty for a store in memory).
    const std::filesystem::path& path() const;

    /// A new, empty record of the entity `entityName`, pending until save().
    std::shared_ptr<ManagedObject> insertNewObject(std::string_view entityName);

    /// The records the request selects: stored ones oldest first, then matching inserted ones in the order
    /// they were inserted, at most the request's limit.
    StoreResult<Objects> fetch(const FetchRequest& request);
    /// How many records fetch() would give.
    StoreResult<std::size_t> count(const FetchRequest& request);

    /// Marks `object` for deletion at the next save; an inserted record that was never saved is simply
    /// dropped. Deleting a record twice does nothing.
    void deleteObject(const std::shared_ptr<ManagedObject>& object);

    /// Whether there are changes that save() would write.
    bool hasChanges() const;

    /// Writes every pending change in one transaction. On failure nothing is written, the changes stay
    /// pending (so that a later save tries again) and the error comes back.
    StoreStatus save();

private:
    friend class ManagedObject;

    using RegistryKey = std::pair<std::string, std::int64_t>;

    const EntityDescription& entityNamed(std::string_view name) const;
    // The predicate with its value as the attribute stores it; throws for an unknown attribute or a value
    // of the wrong kind.
    std::optional<FetchRequest::Equals> storedPredicate(
        const EntityDescription& entity, const std::optional<FetchRequest::Equals>& predicate) const;
    bool hasPendingChanges(const EntityDescription& entity) const;
    std::shared_ptr<ManagedObject> registeredObject(const EntityDescription& entity, std::int64_t identifier);
    void noteUpdated(const std::shared_ptr<ManagedObject>& object);

    std::shared_ptr<const ManagedObjectModel> m_model;
    std::unique_ptr<PersistentStore> m_store;
    // Every stored record handed out and still held by someone, by entity and identifier.
    std::map<RegistryKey, std::weak_ptr<ManagedObject>> m_registry;
    // Pending changes, held until saved.
    Objects m_inserted;
    Objects m_updated;
    Objects m_deleted;
};

}
