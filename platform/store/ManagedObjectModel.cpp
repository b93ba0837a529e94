#include "platform/store/ManagedObjectModel.h"

#include <stdexcept>

namespace platform::store {

ManagedObjectModel::ManagedObjectModel(std::vector<EntityDescription> entities)
    : m_entities(std::move(entities))
{
    for (std::size_t index = 0; index < m_entities.size(); ++index) {
        if (entity(m_entities[index].name()) != &m_entities[index])
            throw std::invalid_argument("The model names the entity " + m_entities[index].name() + " twice");
    }
}

const EntityDescription* ManagedObjectModel::entity(std::string_view name) const
{
    for (const auto& entity : m_entities) {
        if (entity.name() == name)
            return &entity;
    }
    return nullptr;
}

}
