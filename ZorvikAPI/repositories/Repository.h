#pragma once

#include "ZorvikAPI/repositories/Outcome.h"
#include "platform/foundation/Dictionary.h"

#include <memory>
#include <string_view>

namespace zorvik::api {

/// One collection or one singular resource of the back-end. Each operation sends one request and reports
/// through exactly one of its outcome blocks, on the main queue; an outcome for which the caller gave no
/// block goes to `error`. Held by std::shared_ptr: a repository attaches itself to the records it returns.
class Repository : public std::enable_shared_from_this<Repository> {
public:
    virtual ~Repository() = default;

    /// A new repository for the child `childResourceName` of the resource `identifier` (a string or a
    /// number) of this one, or of this resource itself when `identifier` is null.
    virtual std::shared_ptr<Repository> childWithResourceId(
        const platform::foundation::Value& identifier, std::string_view childResourceName) const = 0;

    /// Creates `resource` in this collection. ok gets the created record, which carries this repository;
    /// resourceExists runs when the server already has it.
    virtual void create(const platform::foundation::DictionaryRef& resource, ValueBlock ok,
        Block resourceExists, ErrorBlock error)
        = 0;

    /// Reads this resource with the query parameters `query` (null for none). found gets the answer; an
    /// object answer carries this repository, a list and its elements carry none.
    virtual void read(
        const platform::foundation::DictionaryRef& query, ValueBlock found, Block notFound, ErrorBlock error)
        = 0;

    /// Sends `resource` as an update: to this URL followed by "/" and its "id" when it has one, else to
    /// this URL itself. ok gets the answer.
    virtual void update(
        const platform::foundation::DictionaryRef& resource, ValueBlock ok, Block notFound, ErrorBlock error)
        = 0;

    /// Deletes `resource`, which must have an "id"; one without it is reported to `error` and nothing is
    /// sent.
    virtual void remove(
        const platform::foundation::DictionaryRef& resource, Block ok, Block notFound, ErrorBlock error)
        = 0;
};

/// The attachment under which a record carries the repository it came from.
extern const platform::foundation::AttachmentKey<Repository> kRepositoryAssociationKey;

}
