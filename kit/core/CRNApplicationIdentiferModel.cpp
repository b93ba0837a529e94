#include "kit/core/CRNApplicationIdentiferModel.h"

#include "kit/core/CRNAppIconUtility.h"
#include "kit/core/CRNApplication.h"
#include "kit/core/CRNDataHelpers.h"
#include "kit/core/EMBMachO.h"

namespace kit {

using platform::foundation::ExecutableImage;

std::shared_ptr<const CRNApplicationIdentiferModel> CRNApplicationIdentiferModel::initWithInstallID(
    std::string installID)
{
    auto image = ExecutableImage::current();
    return image ? initWithInstallID(std::move(installID), *image) : nullptr;
}

std::shared_ptr<const CRNApplicationIdentiferModel> CRNApplicationIdentiferModel::initWithInstallID(
    std::string installID, const ExecutableImage& image)
{
    auto uuid = image.uuidString();
    if (!uuid)
        return nullptr;
    auto model = std::shared_ptr<CRNApplicationIdentiferModel>(new CRNApplicationIdentiferModel);
    model->m_installID = std::move(installID);
    model->m_architectureUUIDMap[image.architecture()] = *uuid;
    model->m_minimumSDK = image.minimumVersion().value_or(platform::foundation::VersionTriple {});
    model->m_builtSDK = image.builtVersion().value_or(platform::foundation::VersionTriple {});
    return finished(std::move(model));
}

std::shared_ptr<const CRNApplicationIdentiferModel> CRNApplicationIdentiferModel::initWithInstallID(
    std::string installID, const EMBMachOFile& file)
{
    auto model = std::shared_ptr<CRNApplicationIdentiferModel>(new CRNApplicationIdentiferModel);
    model->m_installID = std::move(installID);
    for (auto slice : file.slices()) {
        auto architecture = EMBMachOSliceGetArchitectureName(slice);
        EMBMachOSliceEnumerateLoadCommands(
            slice, [&](std::uint32_t command, std::uint32_t, std::span<const std::uint8_t> bytes) {
                if (command == kEMBMachOUUID) {
                    if (auto uuid = EMBMachOGetUUID(bytes))
                        model->m_architectureUUIDMap[architecture] = EMBMachONormalizeUUID(*uuid);
                } else if (command == kEMBMachOVersionMinMacOS || command == kEMBMachOVersionMinIPhoneOS) {
                    model->m_minimumSDK = EMBMachOGetMinimumOSVersion(bytes);
                    model->m_builtSDK = EMBMachOGetLinkedSDKVersion(bytes);
                }
            });
    }
    return finished(std::move(model));
}

std::shared_ptr<const CRNApplicationIdentiferModel> CRNApplicationIdentiferModel::finished(
    std::shared_ptr<CRNApplicationIdentiferModel> model)
{
    if (model->m_architectureUUIDMap.empty())
        return nullptr;
    std::string joined;
    for (const auto& [architecture, uuid] : model->m_architectureUUIDMap)
        joined += uuid;
    model->m_instanceIdentifier = CRNHashBytes(joined);
    model->m_icon = CRNAppIconUtility().applicationIcon();
    model->m_bundleIdentifier = CRNApplicationGetBundleIdentifier();
    return model;
}

}
