#include "platform/ui/ImagePickerController.h"

#include "platform/foundation/MainQueue.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

namespace platform::ui {

namespace {

std::atomic<bool>& cameraAvailable()
{
    static std::atomic<bool> available { true };
    return available;
}

std::shared_ptr<const Image> centredSquare(const Image& image)
{
    int side = std::min(image.pixelWidth(), image.pixelHeight());
    int left = (image.pixelWidth() - side) / 2;
    int top = (image.pixelHeight() - side) / 2;
    std::vector<std::uint8_t> pixels(std::size_t(side) * std::size_t(side) * 4);
    const auto& source = image.pixels();
    for (int row = 0; row < side; ++row) {
        auto from = source.begin() + (std::ptrdiff_t(row + top) * image.pixelWidth() + left) * 4;
        std::copy(from, from + std::ptrdiff_t(side) * 4, pixels.begin() + std::ptrdiff_t(row) * side * 4);
    }
    return Image::fromPixels(side, side, std::move(pixels), image.scale());
}

std::string sourceName(ImagePickerSourceType source)
{
    switch (source) {
    case ImagePickerSourceType::Camera:
        return "Camera";
    case ImagePickerSourceType::SavedPhotosAlbum:
        return "Moments";
    case ImagePickerSourceType::PhotoLibrary:
        break;
    }
    return "Photos";
}

}

void ImagePickerControllerDelegate::didFinishPicking(ImagePickerController& picker, const ImagePickerInfo&)
{
    picker.dismissViewController(true);
}

void ImagePickerControllerDelegate::didCancel(ImagePickerController& picker)
{
    picker.dismissViewController(true);
}

ImagePickerController::ImagePickerController() = default;

bool ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType source)
{
    return source != ImagePickerSourceType::Camera || cameraAvailable().load();
}

void ImagePickerController::setCameraAvailable(bool available)
{
    cameraAvailable() = available;
}

std::optional<std::string> ImagePickerController::refusePresentation()
{
    if (isSourceTypeAvailable(m_sourceType)) {
        m_presentationError.reset();
        return std::nullopt;
    }
    m_presentationError = "Source type " + std::to_string(int(m_sourceType)) + " not available";
    auto self = std::static_pointer_cast<ImagePickerController>(shared_from_this());
    foundation::mainQueue().async([self] {
        if (auto listener = self->delegate())
            listener->didCancel(*self);
    });
    return m_presentationError;
}

void ImagePickerController::pickImage(const std::shared_ptr<const Image>& image)
{
    auto self = std::static_pointer_cast<ImagePickerController>(shared_from_this());
    ImagePickerInfo info;
    info.originalImage = image;
    if (m_allowsEditing && image)
        info.editedImage = centredSquare(*image);
    if (auto listener = delegate())
        listener->didFinishPicking(*this, info);
    else
        dismissViewController(true);
}

void ImagePickerController::cancel()
{
    auto self = shared_from_this();
    if (auto listener = delegate())
        listener->didCancel(*this);
    else
        dismissViewController(true);
}

std::shared_ptr<const Image> ImagePickerController::sampleImage()
{
    constexpr int width = 640;
    constexpr int height = 480;
    std::vector<std::uint8_t> pixels(std::size_t(width) * height * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = 50;
        pixels[i + 1] = 192;
        pixels[i + 2] = 206;
        pixels[i + 3] = 255;
    }
    return Image::fromPixels(width, height, std::move(pixels));
}

void ImagePickerController::loadView()
{
    Rect screen = Screen::main().bounds();
    auto root = std::make_shared<View>(screen);
    root->setBackgroundColor(Color::black());
    auto title = std::make_shared<Label>(Rect(0, 20, screen.width(), 44));
    title->setText(sourceName(m_sourceType));
    title->setTextColor(Color::white());
    title->setTextAlignment(TextAlignment::Center);
    root->addSubview(title);
    auto cancelButton = std::make_shared<Button>(ButtonType::System, Rect(8, screen.height() - 52, 80, 44));
    cancelButton->setTitle(std::string("Cancel"));
    std::weak_ptr<ViewController> weakSelf = weak_from_this();
    cancelButton->addAction(ControlEvent::TouchUpInside, [weakSelf](Control&) {
        if (auto self = std::static_pointer_cast<ImagePickerController>(weakSelf.lock()))
            self->cancel();
    });
    root->addSubview(cancelButton);
    setView(root);
}

}
