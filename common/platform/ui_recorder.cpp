// The recorder backend for tests.
#include "common/platform/ui.h"

namespace tnw::platform {
namespace {

class RecorderProgress : public ProgressWindow {
public:
    explicit RecorderProgress(RecorderUi& owner) : m_owner(owner) {}
    void setText(const std::string& text) override { m_owner.progressTexts.push_back(text); }
    void setPercent(int) override {}
    bool cancelled() const override
    {
        return m_owner.cancelAfterPumps >= 0 && m_owner.pumps >= m_owner.cancelAfterPumps;
    }

private:
    RecorderUi& m_owner;
};

}  // namespace

MsgAnswer RecorderUi::message(const std::string& title, const std::string& text,
                              MsgButtons buttons, MsgIcon icon)
{
    messages.push_back({title, text, buttons, icon});
    if (!answers.empty()) {
        MsgAnswer answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    return (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel) ? MsgAnswer::Yes
                                                                               : MsgAnswer::Ok;
}

std::unique_ptr<ProgressWindow> RecorderUi::openProgress(const std::string&)
{
    ++progressOpened;
    return std::make_unique<RecorderProgress>(*this);
}

void RecorderUi::pumpOneEvent()
{
    ++pumps;
}

}  // namespace tnw::platform
