#include "ZorvikAPI/models/Resource.h"

#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "ZorvikAPI/repositories/Repository.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <stdexcept>

namespace zorvik::api {

using platform::foundation::Array;
using platform::foundation::Date;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

Resource::Resource(DictionaryRef record)
    : m_record(std::move(record))
{
    if (!m_record)
        throw std::invalid_argument("A record view needs a record");
}

Value Resource::identifier() const
{
    return m_record->get("id");
}

void Resource::setIdentifier(const Value& identifier) const
{
    m_record->set("id", identifier);
}

std::optional<Date> Resource::date() const
{
    Value date = m_record->get("date");
    if (auto text = date.string())
        return fromServerDateString(*text);
    return date.date();
}

std::optional<std::string> Resource::text(std::string_view key) const
{
    Value value = m_record->get(key);
    if (auto string = value.string())
        return *string;
    return std::nullopt;
}

void Resource::setAnnouncing(std::string_view key, Value value, std::string_view property) const
{
    m_record->set(key, std::move(value));
    // Storing already told the observers of a key that shares the accessor's name.
    if (property != key)
        m_record->announce(property, platform::foundation::Change {});
}

std::shared_ptr<Repository> Resource::repository() const
{
    return m_record->attachment(kRepositoryAssociationKey);
}

void Resource::setRepository(std::shared_ptr<Repository> repository) const
{
    m_record->setAttachment(kRepositoryAssociationKey, std::move(repository));
}

std::shared_ptr<Repository> Resource::childRepository(std::string_view relation) const
{
    auto repository = this->repository();
    return repository ? repository->childWithResourceId(identifier(), relation) : nullptr;
}

void Resource::updateWithChanges(
    const DictionaryRef& changes, Block updated, Block notFound, ErrorBlock error) const
{
    auto repository = this->repository();
    if (!repository) {
        reportLocalError(error, "The record has no repository to save its changes through");
        return;
    }
    repository->update(
        changes,
        [record = m_record, changes, updated = std::move(updated)](const Value& answer) {
            if (auto merged = answer.dictionary())
                record->addEntries(*merged);
            else if (changes)
                record->addEntries(*changes);
            if (updated)
                updated();
        },
        std::move(notFound), std::move(error));
}

void Resource::createChildSaving(const DictionaryRef& child, const std::string& relation, SaveChild saveChild,
    RecordBlock ok, Block childExists, ErrorBlock error) const
{
    auto repository = childRepository(relation);
    if (!repository || !child) {
        reportLocalError(error, repository ? "There is no record to create" : "The record has no repository");
        return;
    }
    repository->create(
        child,
        [child, repository, saveChild = std::move(saveChild), ok = std::move(ok)](const Value& answer) {
            DictionaryRef created = answer.dictionary();
            if (!created) {
                created = child;
                created->setAttachment(kRepositoryAssociationKey, repository);
            }
            saveChild(created);
            if (ok)
                ok(created);
        },
        std::move(childExists), std::move(error));
}

void Resource::createChild(const DictionaryRef& child, const std::string& relation, RecordBlock ok,
    Block childExists, ErrorBlock error) const
{
    createChildSaving(
        child, relation,
        [record = m_record, relation](const DictionaryRef& created) { record->set(relation, created); },
        std::move(ok), std::move(childExists), std::move(error));
}

void Resource::addChild(const DictionaryRef& child, const std::string& relation, bool inOrder, RecordBlock ok,
    Block childExists, ErrorBlock error) const
{
    createChildSaving(
        child, relation,
        [record = m_record, relation, inOrder](const DictionaryRef& created) {
            auto children = record->get(relation).array();
            if (!children)
                record->set(relation, Array::make({ created }));
            else if (inOrder)
                children->append(created);
            else
                children->insert(0, created);
        },
        std::move(ok), std::move(childExists), std::move(error));
}

void Resource::readChild(const std::string& relation, ValueBlock ok, Block notFound, ErrorBlock error) const
{
    auto repository = childRepository(relation);
    if (!repository) {
        reportLocalError(error, "The record has no repository");
        return;
    }
    repository->read(
        nullptr,
        [record = m_record, relation, ok = std::move(ok)](const Value& answer) {
            if (!answer.isNull())
                record->set(relation, answer);
            if (ok)
                ok(answer);
        },
        std::move(notFound), std::move(error));
}

void Resource::readChildOfType(const std::string& relation, const DictionaryRef& query, Value::Type expected,
    ValueBlock ok, Block notFound, ErrorBlock error) const
{
    auto repository = childRepository(relation);
    if (!repository) {
        reportLocalError(error, "The record has no repository");
        return;
    }
    repository->read(
        query,
        [record = m_record, relation, expected, ok = std::move(ok), error](const Value& answer) {
            if (answer.type() != expected) {
                reportError(error, unexpectedAnswerError());
                return;
            }
            record->set(relation, answer);
            if (ok)
                ok(answer);
        },
        std::move(notFound), error);
}

}
