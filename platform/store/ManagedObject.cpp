#include "platform/store/ManagedObject.h"

#include "platform/store/EntityDescription.h"
#include "platform/store/ManagedObjectContext.h"

#include <stdexcept>

namespace platform::store {

using foundation::Value;

ManagedObject::ManagedObject(std::shared_ptr<const ManagedObjectModel> model, const EntityDescription& entity,
    std::weak_ptr<ManagedObjectContext> context, State state, std::int64_t identifier,
    std::vector<Value> values)
    : m_model(std::move(model))
    , m_entity(&entity)
    , m_context(std::move(context))
    , m_state(state)
    , m_identifier(identifier)
    , m_values(std::move(values))
{
    m_values.resize(entity.attributes().size());
}

std::size_t ManagedObject::attributeIndex(std::string_view attribute) const
{
    auto index = m_entity->indexOf(attribute);
    if (!index)
        throw std::invalid_argument(
            "Entity " + m_entity->name() + " has no attribute " + std::string(attribute));
    return *index;
}

Value ManagedObject::value(std::string_view attribute) const
{
    return m_values[attributeIndex(attribute)];
}

void ManagedObject::setValue(std::string_view attribute, const Value& value)
{
    std::size_t index = attributeIndex(attribute);
    auto stored = m_entity->attributes()[index].accepted(value);
    if (!stored)
        throw std::invalid_argument("The attribute " + std::string(attribute) + " of " + m_entity->name()
            + " cannot hold a value of that kind");
    if (m_values[index] == *stored)
        return;
    m_values[index] = std::move(*stored);
    if (m_state != State::Saved)
        return;
    m_state = State::Updated;
    if (auto context = m_context.lock())
        context->noteUpdated(shared_from_this());
}

}
