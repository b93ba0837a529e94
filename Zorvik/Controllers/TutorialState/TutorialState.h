#pragma once

#include "platform/foundation/Value.h"

#include <memory>
#include <string_view>

namespace platform::ui {
class View;
}

namespace zorvik {

class FileStore;

/// Which of the home screen's hints the user has seen, kept in the file "tutorial" of a file store as one
/// compact JSON object of booleans ("shown_first_tutorial", "shown_second_tutorial",
/// "shown_third_tutorial"; a missing key reads as false). Every change of a flag rewrites the whole file.
/// A file that is not a JSON object is moved aside (with a log line) and reads as all false.
///
/// The invoices answer for the flags too: any invoice means the create-invoice hint is done with, an
/// invoice in Done that the swipe hint is.
class TutorialState {
public:
    /// The name of the file.
    static constexpr std::string_view TUTORIAL_FILE = "tutorial";
    static constexpr std::string_view FIRST_HINT_KEY = "shown_first_tutorial";
    static constexpr std::string_view SECOND_HINT_KEY = "shown_second_tutorial";
    static constexpr std::string_view THIRD_HINT_KEY = "shown_third_tutorial";

    /// Reads the file of `fs` (no file: all flags false); `invoices` may be null.
    TutorialState(std::shared_ptr<FileStore> fs, platform::foundation::ArrayRef invoices);

    /// True with any invoice, else the stored flag.
    bool hasFirstHintBeenShown() const;
    /// Stores the flag and saves.
    void setHasFirstHintBeenShown(bool shown);
    /// True with any invoice in Done, else the stored flag.
    bool hasSecondHintBeenShown() const;
    /// Stores the flag and saves.
    void setHasSecondHintBeenShown(bool shown);
    /// True once any invoice has been moved back and forth, else the stored flag.
    bool hasThirdHintBeenShown() const;
    /// Stores the flag and saves.
    void setHasThirdHintBeenShown(bool shown);

    /// Whether the create-invoice hint is due: it has not been seen.
    bool shouldShowFirstHint() const { return !hasFirstHintBeenShown(); }
    /// Whether the swipe hint is due: not seen, and exactly one invoice.
    bool shouldShowSecondHint() const;
    /// No third hint exists: false.
    bool shouldShowThirdHint(std::string_view, const platform::ui::View&) const { return false; }
    /// Whether any invoice's folder history has more than one entry.
    bool hasAnInvoiceBeenMovedBackAndForth() const;

    /// Writes the flags to the file.
    void save() const;

    const platform::foundation::ArrayRef& invoices() const { return m_invoices; }
    void setInvoices(platform::foundation::ArrayRef invoices) { m_invoices = std::move(invoices); }
    /// The flags as read and changed.
    const platform::foundation::DictionaryRef& jsonObject() const { return m_jsonObject; }

private:
    bool flag(std::string_view key) const;
    void setFlag(std::string_view key, bool value);

    std::shared_ptr<FileStore> m_fs;
    platform::foundation::DictionaryRef m_jsonObject;
    platform::foundation::ArrayRef m_invoices;
};

}
