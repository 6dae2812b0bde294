#include "common/platform/ui.h"

#include "common/platform/cp932.h"
#include "support/env_var.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>
#include <optional>

using namespace tnw::platform;

namespace {

using tnw::test::EnvVar;

// Qt's font database keeps fontconfig's caches to the end of the process, which
// LeakSanitizer reports; those are the font library's, not ours.
extern "C" __attribute__((visibility("default"), used)) const char*
__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

// The test program's QApplication (offscreen), made on first use and kept to the end.
QApplication* application()
{
    if (!QCoreApplication::instance()) {
        static EnvVar offscreen("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "ui_test";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

template <typename T> T* visibleTopLevel()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            return t;
    return nullptr;
}

}  // namespace

TEST(ConsoleUi, WritesTitleAndTextToStandardErrorAndAnswersNo)
{
    auto console = makeConsoleUi();
    testing::internal::CaptureStderr();
    EXPECT_EQ(console->message(sjis("ﾀｲﾄﾙ"), sjis("上書きしますか?\r\n次行"), MsgButtons::YesNo,
                               MsgIcon::Question),
              MsgAnswer::No);
    EXPECT_EQ(console->message("Dravik", "done", MsgButtons::Ok, MsgIcon::Information),
              MsgAnswer::Ok);
    EXPECT_EQ(console->message("t", "\x81", MsgButtons::OkCancel, MsgIcon::None),
              MsgAnswer::Cancel);
    EXPECT_EQ(console->message("t", "x", MsgButtons::YesNoCancel, MsgIcon::None), MsgAnswer::No);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[ﾀｲﾄﾙ] 上書きしますか?  次行\n[Dravik] done\n[t] \xEF\xBF\xBD\n[t] x\n");

    auto progress = console->openProgress("p");
    progress->setText("x");
    progress->setPercent(50);
    console->pumpOneEvent();
    EXPECT_FALSE(progress->cancelled());
}

TEST(RecorderUi, RecordsMessagesAndAnswersAsTold)
{
    auto recorder = std::make_shared<RecorderUi>();
    recorder->answers = {MsgAnswer::No};
    setUiBackend(recorder);
    EXPECT_EQ(showMessage("Sablon", "q?", MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::No);
    EXPECT_EQ(showMessage("Sablon", "again?", MsgButtons::YesNo), MsgAnswer::Yes);
    EXPECT_EQ(showMessage("Dravik", "info"), MsgAnswer::Ok);
    ASSERT_EQ(recorder->messages.size(), 3u);
    EXPECT_EQ(recorder->messages[0].title, "Sablon");
    EXPECT_EQ(recorder->messages[0].text, "q?");
    EXPECT_EQ(recorder->messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(recorder->messages[2].buttons, MsgButtons::Ok);

    recorder->cancelAfterPumps = 2;
    auto progress = ui().openProgress("PDF");
    progress->setText("a");
    ui().pumpOneEvent();
    EXPECT_FALSE(progress->cancelled());
    ui().pumpOneEvent();
    EXPECT_TRUE(progress->cancelled());
    EXPECT_EQ(recorder->progressOpened, 1);
    EXPECT_EQ(recorder->progressTexts, std::vector<std::string>{"a"});
    progress.reset();

    setUiBackend(nullptr);
    EXPECT_NE(&ui(), recorder.get());
}

TEST(UiChoice, DisplayNeedsAScreenAndARealPlatform)
{
    EnvVar wayland("WAYLAND_DISPLAY", nullptr);
    {
        EnvVar display("DISPLAY", nullptr);
        EXPECT_FALSE(hasDisplay());
    }
    EnvVar display("DISPLAY", ":0");
    {
        EnvVar qpa("QT_QPA_PLATFORM", nullptr);
        EXPECT_TRUE(hasDisplay());
    }
    {
        EnvVar qpa("QT_QPA_PLATFORM", "xcb");
        EXPECT_TRUE(hasDisplay());
    }
    {
        EnvVar qpa("QT_QPA_PLATFORM", "offscreen:size=800x600");
        EXPECT_FALSE(hasDisplay());
    }
    EnvVar qpa("QT_QPA_PLATFORM", "minimal");
    EXPECT_FALSE(hasDisplay());
}

TEST(QtUi, ProgressWindowShowsTextAndReportsCancel)
{
    QApplication* app = application();
    if (!app)
        GTEST_SKIP() << "a non-widget application object exists";
    auto qt = makeQtUi();
    auto progress = qt->openProgress(sjis("PDFﾌｧｲﾙ作成中"));
    progress->setText(sjis("表.jpg"));
    progress->setPercent(140);
    qt->pumpOneEvent();
    auto* dialog = visibleTopLevel<QDialog>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("PDFﾌｧｲﾙ作成中"));
    EXPECT_EQ(dialog->findChild<QProgressBar*>()->value(), 100);
    auto* cancel = dialog->findChild<QPushButton*>("cancel");
    ASSERT_NE(cancel, nullptr);
    progress->setCancelText(sjis("中止"));
    EXPECT_EQ(cancel->text(), QString::fromUtf8("中止"));
    EXPECT_FALSE(progress->cancelled());
    cancel->click();
    EXPECT_TRUE(progress->cancelled());
    progress.reset();
    EXPECT_EQ(visibleTopLevel<QDialog>(), nullptr);
}

TEST(QtUi, MessageBoxCarriesTitleTextIconAndAnswer)
{
    if (!application())
        GTEST_SKIP() << "a non-widget application object exists";
    auto qt = makeQtUi();
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    // The box is modal: answer it from the event loop it runs.
    std::function<void()> answer = [&] {
        auto* box = visibleTopLevel<QMessageBox>();
        if (!box) {
            QTimer::singleShot(10, answer);
            return;
        }
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->button(QMessageBox::No)->click();
    };
    QTimer::singleShot(0, answer);
    EXPECT_EQ(qt->message("Sablon", sjis("削除しますか"), MsgButtons::YesNo, MsgIcon::Question),
              MsgAnswer::No);
    EXPECT_EQ(title, "Sablon");
    EXPECT_EQ(text, QString::fromUtf8("削除しますか"));
    EXPECT_EQ(icon, QMessageBox::Question);
}
