#pragma once

#include "ZorvikAPI/repositories/Outcome.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/Value.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik::api {

class Repository;

/// A view of one record of the back-end: a shared, mutable JSON object. The typed records (freelancer,
/// business, invoice...) are views of this kind; copying a view shares the record, and every accessor,
/// setter and action works on the record itself, so all holders see the change.
///
/// Besides its keys a record carries the repository it came from (attached, not part of the JSON), through
/// which it saves changes and reaches its child resources. The actions report through their outcome blocks
/// on the main queue, change the record only on success, and store the server's answer rather than the
/// object the caller passed (an empty answer to a create or an update stands for what was sent).
class Resource {
public:
    /// A view of `record`; throws std::invalid_argument when it is null (a programming error).
    explicit Resource(platform::foundation::DictionaryRef record);

    /// The record viewed.
    const platform::foundation::DictionaryRef& record() const { return m_record; }

    /// The server's identifier, "id" (a string or a number), or null.
    platform::foundation::Value identifier() const;
    /// Stores "id" (null removes it).
    void setIdentifier(const platform::foundation::Value& identifier) const;
    /// "date" read as a server date, or nullopt when it is absent or unreadable.
    std::optional<platform::foundation::Date> date() const;

    /// The repository the record came from, or null.
    std::shared_ptr<Repository> repository() const;
    /// Attaches `repository`, replacing any earlier one (null detaches).
    void setRepository(std::shared_ptr<Repository> repository) const;
    /// The repository of the child `relation` of this record, or null when the record has no repository.
    std::shared_ptr<Repository> childRepository(std::string_view relation) const;

    /// Sends `changes` (not the whole record) as an update through the record's repository and merges the
    /// answer's keys into the record (keys it does not mention stay); an empty answer merges the changes
    /// sent. A record without a repository reports an error and sends nothing.
    void updateWithChanges(const platform::foundation::DictionaryRef& changes, Block updated, Block notFound,
        ErrorBlock error) const;

    /// Creates `child` as the child `relation` and stores the created record under the key `relation`.
    /// ok gets the created record, which carries the child repository. An empty answer stands for `child`.
    void createChild(const platform::foundation::DictionaryRef& child, const std::string& relation,
        RecordBlock ok, Block childExists, ErrorBlock error) const;

    /// As createChild, but adds the created record to the array under `relation`: at its end when
    /// `inOrder`, else at its start; a new one-element array when the key holds none.
    void addChild(const platform::foundation::DictionaryRef& child, const std::string& relation, bool inOrder,
        RecordBlock ok, Block childExists, ErrorBlock error) const;

    /// Reads the child `relation`, stores the answer under that key and hands it to ok.
    void readChild(const std::string& relation, ValueBlock ok, Block notFound, ErrorBlock error) const;

protected:
    /// The string under `key`, or nullopt when the key is absent or holds no string.
    std::optional<std::string> text(std::string_view key) const;
    /// Stores `value` under `key` and then tells the observers of `property` (the accessor's name, such as
    /// "netAmount"), so views can observe a record by its accessors.
    void setAnnouncing(
        std::string_view key, platform::foundation::Value value, std::string_view property) const;

    using SaveChild = std::function<void(const platform::foundation::DictionaryRef& child)>;

    /// The step that createChild and addChild share: creates `child`, runs `saveChild` with the created
    /// record, then ok.
    void createChildSaving(const platform::foundation::DictionaryRef& child, const std::string& relation,
        SaveChild saveChild, RecordBlock ok, Block childExists, ErrorBlock error) const;

    /// Reads the child `relation` with `query`; an answer of the kind `expected` is stored under `relation`
    /// and handed to ok, any other answer is an error and changes nothing.
    void readChildOfType(const std::string& relation, const platform::foundation::DictionaryRef& query,
        platform::foundation::Value::Type expected, ValueBlock ok, Block notFound, ErrorBlock error) const;

    platform::foundation::DictionaryRef m_record;
};

}
