#pragma once

#include "platform/ui/ViewController.h"

#include <memory>
#include <optional>
#include <string>

namespace platform::ui {

class Image;
class ImagePickerController;

/// Where a picker takes its picture from; the numbers are the platform's.
enum class ImagePickerSourceType { PhotoLibrary = 0, Camera = 1, SavedPhotosAlbum = 2 };

/// What the user picked: the picture as taken or chosen and, when editing is allowed, the cropped one.
struct ImagePickerInfo {
    std::shared_ptr<const Image> originalImage;
    /// The square the user cropped; null when editing is not allowed.
    std::shared_ptr<const Image> editedImage;
};

/// Told how a picker ended. Every method has a default: without a delegate, or with the defaults, the picker
/// dismisses itself.
class ImagePickerControllerDelegate {
public:
    virtual ~ImagePickerControllerDelegate() = default;

    /// The user picked a picture; the delegate dismisses the picker.
    virtual void didFinishPicking(ImagePickerController& picker, const ImagePickerInfo& info);
    /// The user cancelled; the delegate dismisses the picker.
    virtual void didCancel(ImagePickerController& picker);
};

/// The system screen on which the user takes a photo or picks one from the library, presented modally.
///
/// Whether the device has a camera is a process setting (setCameraAvailable, on by default). Presenting a
/// picker whose source is not available shows nothing: presentationError() then says "Source type 1 not
/// available" (with the source's number), a log line says it too, and the delegate hears didCancel, so the
/// app goes on as after a cancel; nothing crashes.
class ImagePickerController : public ViewController {
public:
    /// A picker of the photo library without editing.
    ImagePickerController();

    /// Whether the device offers the source.
    static bool isSourceTypeAvailable(ImagePickerSourceType source);
    /// Sets whether the device has a camera (a process setting).
    static void setCameraAvailable(bool available);

    /// The source.
    ImagePickerSourceType sourceType() const { return m_sourceType; }
    /// Sets the source.
    void setSourceType(ImagePickerSourceType source) { m_sourceType = source; }
    /// Whether the user crops the picture before it is returned.
    bool allowsEditing() const { return m_allowsEditing; }
    /// Sets whether the user crops the picture.
    void setAllowsEditing(bool allows) { m_allowsEditing = allows; }
    /// The delegate, or null.
    std::shared_ptr<ImagePickerControllerDelegate> delegate() const { return m_delegate.lock(); }
    /// Sets the delegate, held weakly.
    void setDelegate(const std::weak_ptr<ImagePickerControllerDelegate>& delegate) { m_delegate = delegate; }

    /// Why the last presentation showed nothing, or nothing.
    const std::optional<std::string>& presentationError() const { return m_presentationError; }

    /// The user picks `image`: with editing allowed, the centred square crop is the edited image. The
    /// delegate hears didFinishPicking (or the picker dismisses itself).
    void pickImage(const std::shared_ptr<const Image>& image);
    /// The user cancels: the delegate hears didCancel (or the picker dismisses itself).
    void cancel();

    /// A picture for scripts: a 640 x 480 point image in one colour.
    static std::shared_ptr<const Image> sampleImage();

    /// Builds the picker's screen: the source's name and a "Cancel" button.
    void loadView() override;

protected:
    /// Refuses to show an unavailable source (see the class comment).
    std::optional<std::string> refusePresentation() override;

private:
    ImagePickerSourceType m_sourceType { ImagePickerSourceType::PhotoLibrary };
    bool m_allowsEditing { false };
    std::weak_ptr<ImagePickerControllerDelegate> m_delegate;
    std::optional<std::string> m_presentationError;
};

}
