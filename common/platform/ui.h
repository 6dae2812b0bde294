// The user-interface seam: message boxes, the progress window and event pumping. Three
// backends: Qt widgets (when a QApplication exists), console (standard error; questions
// answer No; nothing can be cancelled) and a recorder for tests. Texts are code page 932.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tnw::platform {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// A modeless progress window with one text line, a bar (0-100) and a Cancel button.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    virtual void setText(const std::string& text) = 0;
    // A second text line under the first (empty hides nothing: the line keeps its place).
    virtual void setSecondText(const std::string& text) { (void)text; }
    virtual void setPercent(int percent) = 0;
    // Sizes the bar to `maximum` steps (0: a busy bar without steps) and moves it to `value`.
    virtual void setRange(int maximum) { (void)maximum; }
    virtual void setValue(int value) { (void)value; }
    // True once the user pressed Cancel (or closed the window). Stays true.
    virtual bool cancelled() const = 0;
    // The caption of the Cancel button ("キャンセル" unless set, e.g. sjis("中止")).
    virtual void setCancelText(const std::string& text) { (void)text; }
};

class UiBackend {
public:
    virtual ~UiBackend() = default;
    // Shows a modal message box and returns the button pressed. Closing the box answers
    // Cancel when there is a Cancel button, otherwise No (Yes/No) or Ok.
    virtual MsgAnswer message(const std::string& title, const std::string& text,
                              MsgButtons buttons, MsgIcon icon) = 0;
    // Opens a progress window (empty text lines, bar at 0), shown at once and closed when the
    // returned object is destroyed. It is application-modal: the windows behind it take no
    // input while it is open, so a run or a list build cannot be changed under its feet. It
    // must not outlive its backend.
    virtual std::unique_ptr<ProgressWindow> openProgress(const std::string& title) = 0;
    // Processes the window events pending now (without waiting for new ones), so Cancel can be
    // read during long work.
    virtual void pumpOneEvent() = 0;
};

// The backend in use: the one installed by setUiBackend, otherwise Qt widgets when a
// QApplication exists and a display is present, otherwise the console. Take it afresh for each
// use; a reference kept across setUiBackend may dangle.
UiBackend& ui();
// Installs a backend for this process (tests); null returns to the automatic choice.
void setUiBackend(std::shared_ptr<UiBackend> backend);

// Shorthand for ui().message(...).
MsgAnswer showMessage(const std::string& title, const std::string& text,
                      MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None);

// The backends themselves, for the code that chooses and for tests.
// Qt widgets: QMessageBox and an application-modal progress dialog. Needs a QApplication.
std::unique_ptr<UiBackend> makeQtUi();
// Console: each message is written as "[title] text" (UTF-8, one line) to standard error;
// Ok answers Ok, OkCancel answers Cancel, questions answer No; the progress window shows
// nothing and is never cancelled; pumping does nothing.
std::unique_ptr<UiBackend> makeConsoleUi();

// True when a graphical display can be used (DISPLAY or WAYLAND_DISPLAY set, and
// QT_QPA_PLATFORM not offscreen or minimal).
bool hasDisplay();

// Records every message and answers as the test says. Its progress windows record their texts
// into `progressTexts` and must not outlive the recorder.
class RecorderUi : public UiBackend {
public:
    struct Message {
        std::string title;
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
    };
    MsgAnswer message(const std::string& title, const std::string& text, MsgButtons buttons,
                      MsgIcon icon) override;
    std::unique_ptr<ProgressWindow> openProgress(const std::string& title) override;
    void pumpOneEvent() override;

    std::vector<Message> messages;
    std::vector<MsgAnswer> answers;  // answers to give, in order; Ok/Yes when exhausted
    std::vector<std::string> progressTexts;
    int cancelAfterPumps = -1;  // >= 0: the progress window reports Cancel after that many pumps
    int pumps = 0;
    int progressOpened = 0;
};

}  // namespace tnw::platform
