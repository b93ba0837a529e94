#pragma once

#include "platform/foundation/Value.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace platform::store {

class EntityDescription;
class ManagedObjectContext;
class ManagedObjectModel;

/// One record of a store, made and handed out by its ManagedObjectContext. Its values are read and set
/// by attribute name; a change stays in the context until the context saves. A context hands out one
/// object per stored record at a time, so two fetches of the same record give the same object.
/// Use it on the thread of its context.
class ManagedObject : public std::enable_shared_from_this<ManagedObject> {
public:
    /// Where the record stands with its context.
    enum class State {
        /// Inserted and not yet saved.
        Inserted,
        /// Stored, with no unsaved change.
        Saved,
        /// Stored, with unsaved changes.
        Updated,
        /// Deleted (and, after a save, gone from the store).
        Deleted,
    };

    /// The record's entity.
    const EntityDescription& entity() const { return *m_entity; }
    /// The record's identifier in its store; 0 until it is first saved.
    std::int64_t objectId() const { return m_identifier; }
    /// Where the record stands with its context.
    State state() const { return m_state; }

    /// The value of the attribute `attribute` (null when empty). Throws std::invalid_argument for a name
    /// that the entity does not have.
    foundation::Value value(std::string_view attribute) const;

    /// Sets the attribute `attribute` to `value` (null empties it), as a pending change of the context.
    /// Setting the value already held changes nothing. Throws std::invalid_argument for a name the entity
    /// does not have or a value the attribute cannot hold (see AttributeDescription::accepted).
    void setValue(std::string_view attribute, const foundation::Value& value);

    /// The context the record belongs to, or null when that context is gone.
    std::shared_ptr<ManagedObjectContext> context() const { return m_context.lock(); }

    /// Made by ManagedObjectContext only (public for std::make_shared).
    ManagedObject(std::shared_ptr<const ManagedObjectModel> model, const EntityDescription& entity,
        std::weak_ptr<ManagedObjectContext> context, State state, std::int64_t identifier,
        std::vector<foundation::Value> values);

private:
    friend class ManagedObjectContext;

    std::size_t attributeIndex(std::string_view attribute) const;

    std::shared_ptr<const ManagedObjectModel> m_model;
    const EntityDescription* m_entity { nullptr };
    std::weak_ptr<ManagedObjectContext> m_context;
    State m_state { State::Inserted };
    std::int64_t m_identifier { 0 };
    std::vector<foundation::Value> m_values;
};

}
