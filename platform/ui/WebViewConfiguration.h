#pragma once

#include "platform/ui/UserContentController.h"

#include <memory>

namespace platform::ui {

/// How a web view is set up when it is made.
class WebViewConfiguration {
public:
    /// The user content, shared by the web views made with this configuration.
    const std::shared_ptr<UserContentController>& userContentController() const { return m_userContent; }

private:
    std::shared_ptr<UserContentController> m_userContent { std::make_shared<UserContentController>() };
};

}
