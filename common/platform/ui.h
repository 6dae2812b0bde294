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
    virtual void setPercent(int percent) = 0;
    // True once the user pressed Cancel.
    virtual bool cancelled() const = 0;
};

class UiBackend {
public:
    virtual ~UiBackend() = default;
    virtual MsgAnswer message(const std::string& title, const std::string& text,
                              MsgButtons buttons, MsgIcon icon) = 0;
    virtual std::unique_ptr<ProgressWindow> openProgress(const std::string& title) = 0;
    // Processes at most one pending window event, so Cancel can be read during long work.
    virtual void pumpOneEvent() = 0;
};

// The backend in use: the one installed by setUiBackend, otherwise Qt widgets when a
// QApplication exists and a display is present, otherwise the console.
UiBackend& ui();
// Installs a backend for this process (tests); null returns to the automatic choice.
void setUiBackend(std::shared_ptr<UiBackend> backend);

// Shorthand for ui().message(...).
MsgAnswer showMessage(const std::string& title, const std::string& text,
                      MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None);

// True when a graphical display can be used (DISPLAY or WAYLAND_DISPLAY set, and
// QT_QPA_PLATFORM not offscreen or minimal).
bool hasDisplay();

// Records every message and answers as the test says.
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
