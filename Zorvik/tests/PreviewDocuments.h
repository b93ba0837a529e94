#pragma once

#include "platform/foundation/Files.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace zorvik::test {

/// A home folder whose Documents hold the preview's three files as the launch copies them from the
/// build's resources: the real template, style sheet and moment.js.
class PreviewDocuments {
public:
    PreviewDocuments()
    {
        platform::foundation::Files::setHomeDirectory(m_home.path());
        auto documents = platform::foundation::Files::documentsDirectory();
        EXPECT_TRUE(documents.has_value());
        m_documents = documents.value_or(m_home.path());
        std::filesystem::path resources
            = std::filesystem::path(ZORVIK_BUILD_RESOURCES_DIR) / "ZorvikResources";
        for (const char* name : { "template.html", "style.css", "moment.js" })
            EXPECT_TRUE(platform::foundation::Files::copy(resources / name, m_documents / name)) << name;
    }
    ~PreviewDocuments() { platform::foundation::Files::setHomeDirectory({}); }
    PreviewDocuments(const PreviewDocuments&) = delete;
    PreviewDocuments& operator=(const PreviewDocuments&) = delete;

    /// The Documents folder.
    const std::filesystem::path& documents() const { return m_documents; }

private:
    ::testing::TemporaryDirectory m_home;
    std::filesystem::path m_documents;
};

}
