#pragma once

#include "platform/store/EntityDescription.h"

#include <string_view>
#include <vector>

namespace platform::store {

/// The entities a store holds. Shared, unchanged, by a context and its records.
class ManagedObjectModel {
public:
    /// A model of `entities`. Throws std::invalid_argument when two share a name.
    explicit ManagedObjectModel(std::vector<EntityDescription> entities);

    /// The entities in the order given.
    const std::vector<EntityDescription>& entities() const { return m_entities; }
    /// The entity named `name`, or null.
    const EntityDescription* entity(std::string_view name) const;

private:
    std::vector<EntityDescription> m_entities;
};

}
