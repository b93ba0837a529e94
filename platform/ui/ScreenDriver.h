#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace platform::ui {

class Image;
class ScrollView;
class ViewController;
class Window;

/// A driver command that could not be carried out: nothing on screen reads the text, several things do, the
/// thing cannot be reached, an unknown command, a malformed argument. The message says which.
class ScreenDriverError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Acts on the screen as a person would and reads it back as text, for tests and for scripts (the commands
/// are listed in DRIVER.md beside this file).
///
/// Things are found by what they show: a button's title, a label's text (tapping a label taps the control,
/// table row or tap-recognising view it belongs to), a text field's text or placeholder, a toolbar item's
/// title, or any view's accessibility label, among the views that show in the window and, while the keyboard
/// is up, in the bar on top of it (the field's input accessory view). When several distinct things match,
/// only those a finger can reach count (an alert covers the screen beneath it, the keyboard covers the bottom
/// of the window); none, or more than one, is an error naming what was found.
///
/// Before it reads the screen the driver lays the window out, as the phone does before it draws, so that
/// frames placed by constraints and the rows of a table show. After every action the main queue runs what is
/// due, so the screen is settled when the call returns. Waiting advances a virtual clock, or runs the queue
/// for that long on the real clock.
class ScreenDriver {
public:
    /// A driver for `window`, or for the key window at each command when null.
    explicit ScreenDriver(std::shared_ptr<Window> window = nullptr);

    /// Taps what shows `text`.
    void tap(const std::string& text);
    /// Types into the field being edited; returns how many characters it took.
    std::size_t type(const std::string& text);
    /// Pastes `text` into the field being edited as one change; returns whether the field took it.
    bool paste(const std::string& text);
    /// Presses the keyboard's delete key `times` times; returns how many presses deleted something.
    std::size_t deleteBackward(std::size_t times = 1);
    /// Presses the keyboard's Return key.
    void pressReturn();
    /// Drags the swipeable part of the row that shows `text` (the first scroll view inside the row) or,
    /// outside any table row, the paged scroll view nearest around `text`, so that it rests at horizontal
    /// offset `offset` (or as near as the row allows, or on the page nearest that offset); returns where
    /// it rests.
    double swipe(const std::string& text, double offset);
    /// Presses the button titled `title` of the alert on top.
    void pickAlertAction(const std::string& title);
    /// Picks `image` (a sample picture when null) in the image picker on top.
    void pickImage(const std::shared_ptr<const Image>& image = nullptr);
    /// Cancels the image picker on top.
    void cancelImagePicker();
    /// Sends the application to the background, lets `seconds` pass, and brings it back.
    void background(double seconds);
    /// Lets `seconds` pass on the main queue's clock.
    void wait(double seconds);
    /// The screen as text: the controllers shown (root, stack, presented, alerts), the keyboard, the status
    /// bar, and the window's view tree without hidden views.
    std::string screen();

    /// A command line, trimmed, and split into its first word and the rest.
    struct Command {
        std::string text;
        std::string verb;
        std::string argument;
    };
    /// Splits a command line; a blank line or a comment ("# ...") gives an empty verb.
    static Command parseCommand(const std::string& line);
    /// Reads `text` as a finite number; otherwise throws ScreenDriverError saying `what` needs a number.
    static double parseNumber(const std::string& text, const std::string& what);

    /// Runs one command line and returns what it prints ("" for most). Throws ScreenDriverError.
    std::string execute(const std::string& line);
    /// Runs every line of `input`, writing what each prints, and "error: <message>" for each that fails, to
    /// `output`. Returns the number of failed lines.
    std::size_t runScript(std::istream& input, std::ostream& output);

private:
    /// The driver's window (else the key window), laid out as the screen shows it. Throws ScreenDriverError
    /// when there is none.
    Window& shownWindow() const;
    void settle() const;
    /// Throws ScreenDriverError, naming it `what`, while `presented` is still being presented or dismissed.
    static void requireSettled(const ViewController& presented, const std::string& what);
    /// " (did you mean ...?)" naming the texts on screen that `text` may be a slip for, or "".
    std::string meant(const std::string& text) const;
    /// The scroll view a swipe on `text` drags, and whether it is a table row's. Throws ScreenDriverError
    /// when nothing there can be swiped.
    std::pair<std::shared_ptr<ScrollView>, bool> swipeable(const std::string& text) const;

    std::shared_ptr<Window> m_window;
};

}
