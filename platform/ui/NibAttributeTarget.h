#pragma once

#include <string>

namespace platform::foundation {
class Value;
}

namespace platform::ui {

/// A view that takes user-defined runtime attributes from nibs beyond the ones every view knows (see
/// NibBuilder::attribute).
class NibAttributeTarget {
public:
    virtual ~NibAttributeTarget() = default;

    /// Sets the attribute at `keyPath`; returns false for a key path the view does not know or a value of
    /// the wrong kind, which fails the nib.
    virtual bool setNibAttribute(const std::string& keyPath, const foundation::Value& value) = 0;
};

}
