// The console backend: for runs without a display (scripts, servers, tests).
#include "common/platform/cp932.h"
#include "common/platform/ui.h"

#include <cstdio>

namespace tnw::platform {
namespace {

class ConsoleProgress : public ProgressWindow {
public:
    void setText(const std::string&) override {}
    void setPercent(int) override {}
    bool cancelled() const override { return false; }
};

class ConsoleUi : public UiBackend {
public:
    MsgAnswer message(const std::string& title, const std::string& text, MsgButtons buttons,
                      MsgIcon) override
    {
        std::string line = "[" + cp932ToUtf8Lossy(title) + "] " + cp932ToUtf8Lossy(text);
        // A message is one line on the console.
        for (char& c : line)
            if (c == '\r' || c == '\n')
                c = ' ';
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
        switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
            return MsgAnswer::Cancel;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            break;
        }
        return MsgAnswer::No;
    }
    std::unique_ptr<ProgressWindow> openProgress(const std::string&) override
    {
        return std::make_unique<ConsoleProgress>();
    }
    void pumpOneEvent() override {}
};

}  // namespace

std::unique_ptr<UiBackend> makeConsoleUi()
{
    return std::make_unique<ConsoleUi>();
}

}  // namespace tnw::platform
