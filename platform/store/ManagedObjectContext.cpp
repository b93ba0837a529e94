#include "platform/store/ManagedObjectContext.h"

#include "platform/store/EntityDescription.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectModel.h"
#include "platform/store/PersistentStore.h"

#include <algorithm>
#include <stdexcept>

namespace platform::store {

namespace {

bool holds(const ManagedObjectContext::Objects& objects, const ManagedObject* object)
{
    return std::any_of(
        objects.begin(), objects.end(), [&](const auto& held) { return held.get() == object; });
}

void drop(ManagedObjectContext::Objects& objects, const ManagedObject* object)
{
    std::erase_if(objects, [&](const auto& held) { return held.get() == object; });
}

}

StoreResult<std::shared_ptr<ManagedObjectContext>> ManagedObjectContext::open(
    const std::filesystem::path& path, std::shared_ptr<const ManagedObjectModel> model)
{
    auto store = PersistentStore::open(path, *model);
    if (!store.ok())
        return { nullptr, store.error, store.fault };
    return { std::make_shared<ManagedObjectContext>(std::move(model), std::move(store.value)), {} };
}

StoreResult<std::shared_ptr<ManagedObjectContext>> ManagedObjectContext::openInMemory(
    std::shared_ptr<const ManagedObjectModel> model)
{
    auto store = PersistentStore::openInMemory(*model);
    if (!store.ok())
        return { nullptr, store.error, store.fault };
    return { std::make_shared<ManagedObjectContext>(std::move(model), std::move(store.value)), {} };
}

ManagedObjectContext::ManagedObjectContext(
    std::shared_ptr<const ManagedObjectModel> model, std::unique_ptr<PersistentStore> store)
    : m_model(std::move(model))
    , m_store(std::move(store))
{
}

ManagedObjectContext::~ManagedObjectContext() = default;

const std::filesystem::path& ManagedObjectContext::path() const
{
    return m_store->path();
}

const EntityDescription& ManagedObjectContext::entityNamed(std::string_view name) const
{
    const EntityDescription* entity = m_model->entity(name);
    if (!entity)
        throw std::invalid_argument("The model has no entity " + std::string(name));
    return *entity;
}

std::optional<FetchRequest::Equals> ManagedObjectContext::storedPredicate(
    const EntityDescription& entity, const std::optional<FetchRequest::Equals>& predicate) const
{
    if (!predicate)
        return std::nullopt;
    auto index = entity.indexOf(predicate->attribute);
    if (!index)
        throw std::invalid_argument("Entity " + entity.name() + " has no attribute " + predicate->attribute);
    auto value = entity.attributes()[*index].accepted(predicate->value);
    if (!value)
        throw std::invalid_argument("The attribute " + predicate->attribute + " of " + entity.name()
            + " cannot equal a value of that kind");
    return FetchRequest::Equals { predicate->attribute, std::move(*value) };
}

bool ManagedObjectContext::hasPendingChanges(const EntityDescription& entity) const
{
    auto ofEntity = [&](const auto& object) { return &object->entity() == &entity; };
    return std::any_of(m_inserted.begin(), m_inserted.end(), ofEntity)
        || std::any_of(m_updated.begin(), m_updated.end(), ofEntity)
        || std::any_of(m_deleted.begin(), m_deleted.end(), ofEntity);
}

std::shared_ptr<ManagedObject> ManagedObjectContext::registeredObject(
    const EntityDescription& entity, std::int64_t identifier)
{
    auto found = m_registry.find({ entity.name(), identifier });
    return found == m_registry.end() ? nullptr : found->second.lock();
}

std::shared_ptr<ManagedObject> ManagedObjectContext::insertNewObject(std::string_view entityName)
{
    const EntityDescription& entity = entityNamed(entityName);
    auto object = std::make_shared<ManagedObject>(m_model, entity, weak_from_this(),
        ManagedObject::State::Inserted, 0, std::vector<foundation::Value> {});
    m_inserted.push_back(object);
    return object;
}

StoreResult<ManagedObjectContext::Objects> ManagedObjectContext::fetch(const FetchRequest& request)
{
    const EntityDescription& entity = entityNamed(request.entityName);
    auto predicate = storedPredicate(entity, request.predicate);
    const FetchRequest::Equals* condition = predicate ? &*predicate : nullptr;
    std::size_t attribute = condition ? *entity.indexOf(condition->attribute) : 0;
    auto matches = [&](const ManagedObject& object) {
        return !condition || object.m_values[attribute] == condition->value;
    };

    // With changes pending, the stored rows are not the whole answer: the limit applies afterwards.
    bool pending = hasPendingChanges(entity);
    auto rows = m_store->select(entity, condition, pending ? 0 : request.fetchLimit);
    if (!rows.ok())
        return { {}, rows.error, rows.fault };

    Objects found;
    for (auto& row : rows.value) {
        auto object = registeredObject(entity, row.identifier);
        if (!object) {
            object = std::make_shared<ManagedObject>(m_model, entity, weak_from_this(),
                ManagedObject::State::Saved, row.identifier, std::move(row.values));
            m_registry[{ entity.name(), row.identifier }] = object;
        } else if (object->m_state == ManagedObject::State::Deleted || !matches(*object)) {
            continue;
        }
        found.push_back(std::move(object));
    }
    if (pending) {
        for (const auto& object : m_updated) {
            if (&object->entity() == &entity && matches(*object) && !holds(found, object.get()))
                found.push_back(object);
        }
        std::stable_sort(found.begin(), found.end(),
            [](const auto& left, const auto& right) { return left->objectId() < right->objectId(); });
        for (const auto& object : m_inserted) {
            if (&object->entity() == &entity && matches(*object))
                found.push_back(object);
        }
    }
    if (request.fetchLimit && found.size() > request.fetchLimit)
        found.resize(request.fetchLimit);
    return { std::move(found), {} };
}

StoreResult<std::size_t> ManagedObjectContext::count(const FetchRequest& request)
{
    const EntityDescription& entity = entityNamed(request.entityName);
    if (hasPendingChanges(entity)) {
        auto found = fetch(request);
        return { found.value.size(), found.error, found.fault };
    }
    auto predicate = storedPredicate(entity, request.predicate);
    return m_store->count(entity, predicate ? &*predicate : nullptr, request.fetchLimit);
}

void ManagedObjectContext::deleteObject(const std::shared_ptr<ManagedObject>& object)
{
    if (!object || object->context().get() != this)
        throw std::invalid_argument("Only a record of this context can be deleted from it");
    switch (object->m_state) {
    case ManagedObject::State::Deleted:
        return;
    case ManagedObject::State::Inserted:
        drop(m_inserted, object.get());
        break;
    case ManagedObject::State::Updated:
        drop(m_updated, object.get());
        m_deleted.push_back(object);
        break;
    case ManagedObject::State::Saved:
        m_deleted.push_back(object);
        break;
    }
    object->m_state = ManagedObject::State::Deleted;
}

bool ManagedObjectContext::hasChanges() const
{
    return !m_inserted.empty() || !m_updated.empty() || !m_deleted.empty();
}

StoreStatus ManagedObjectContext::save()
{
    if (!hasChanges())
        return {};
    if (auto status = m_store->begin(); !status.ok())
        return status;
    auto failed = [this](StoreStatus status) {
        m_store->rollback();
        return status;
    };
    for (const auto& object : m_deleted) {
        if (auto status = m_store->remove(object->entity(), object->objectId()); !status.ok())
            return failed(status);
    }
    for (const auto& object : m_updated) {
        if (auto status = m_store->update(object->entity(), object->objectId(), object->m_values);
            !status.ok())
            return failed(status);
    }
    std::vector<std::int64_t> identifiers;
    for (const auto& object : m_inserted) {
        auto inserted = m_store->insert(object->entity(), object->m_values);
        if (!inserted.ok())
            return failed({ inserted.error, inserted.fault });
        identifiers.push_back(inserted.value);
    }
    if (auto status = m_store->commit(); !status.ok())
        return failed(status);

    for (std::size_t index = 0; index < m_inserted.size(); ++index) {
        auto& object = m_inserted[index];
        object->m_identifier = identifiers[index];
        object->m_state = ManagedObject::State::Saved;
        m_registry[{ object->entity().name(), object->m_identifier }] = object;
    }
    for (const auto& object : m_updated)
        object->m_state = ManagedObject::State::Saved;
    for (const auto& object : m_deleted)
        m_registry.erase({ object->entity().name(), object->objectId() });
    m_inserted.clear();
    m_updated.clear();
    m_deleted.clear();
    std::erase_if(m_registry, [](const auto& entry) { return entry.second.expired(); });
    return {};
}

void ManagedObjectContext::noteUpdated(const std::shared_ptr<ManagedObject>& object)
{
    m_updated.push_back(object);
}

}
