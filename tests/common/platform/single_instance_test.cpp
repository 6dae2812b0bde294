#include "common/platform/single_instance.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>

using tnw::platform::SingleInstance;
using State = tnw::platform::SingleInstance::State;
using tnw::test::TempDir;

namespace {

QCoreApplication* application()
{
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "single_instance_test";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
    return QCoreApplication::instance();
}

}  // namespace

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstEnds)
{
    TempDir dir;
    auto first = std::make_unique<SingleInstance>("Korvelin", dir.path());
    EXPECT_EQ(first->lockPath(), dir.path() + "/Korvelin.lock");
    EXPECT_EQ(first->acquire(), State::Acquired);
    EXPECT_EQ(first->acquire(), State::Acquired);  // asking again changes nothing
    EXPECT_TRUE(first->held());

    SingleInstance second("Korvelin", dir.path());
    EXPECT_EQ(second.acquire(), State::AlreadyRunning);
    EXPECT_FALSE(second.held());

    // Another program name is another lock.
    SingleInstance other("Other", dir.path());
    EXPECT_EQ(other.acquire(), State::Acquired);

    first.reset();  // the lock file stays; the lock goes
    struct stat st {};
    EXPECT_EQ(::stat((dir.path() + "/Korvelin.lock").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(second.acquire(), State::Acquired);
}

TEST(SingleInstance, LockEndsWithTheProcessThatHeldIt)
{
    TempDir dir;
    int toParent[2], toChild[2];
    ASSERT_EQ(::pipe(toParent), 0);
    ASSERT_EQ(::pipe(toChild), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstance held("Korvelin", dir.path());
        const char got = held.acquire() == State::Acquired ? 'y' : 'n';
        (void)!::write(toParent[1], &got, 1);
        char go;
        (void)!::read(toChild[0], &go, 1);  // hold it until the parent has looked
        ::_exit(0);                          // no unlock: the process just ends
    }
    char got = 0;
    ASSERT_EQ(::read(toParent[0], &got, 1), 1);
    ASSERT_EQ(got, 'y');
    SingleInstance later("Korvelin", dir.path());
    EXPECT_EQ(later.acquire(), State::AlreadyRunning);
    (void)!::write(toChild[1], "g", 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(later.acquire(), State::Acquired);
    for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]})
        ::close(fd);
}

TEST(SingleInstance, MissingFolderMakesTheLockUnavailable)
{
    TempDir dir;
    SingleInstance instance("Korvelin", dir.file("none"));
    EXPECT_EQ(instance.acquire(), State::Unavailable);
    EXPECT_FALSE(instance.listen([] {}));
}

TEST(SingleInstance, RunningWindowIsBroughtForwardByALaterStart)
{
    application();
    TempDir dir;
    SingleInstance running("Korvelin", dir.path());
    ASSERT_EQ(running.acquire(), State::Acquired);
    int forward = 0;
    ASSERT_TRUE(running.listen([&] { ++forward; }));

    SingleInstance later("Korvelin", dir.path());
    ASSERT_EQ(later.acquire(), State::AlreadyRunning);
    std::atomic<int> answered{-1};
    std::thread asking([&] { answered = later.requestBringForward(5000) ? 1 : 0; });
    QElapsedTimer timer;
    timer.start();
    while (answered < 0 && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    asking.join();
    EXPECT_EQ(answered, 1);
    EXPECT_EQ(forward, 1);
}

TEST(SingleInstance, CommandLineConversionDoesNotListen)
{
    application();
    TempDir dir;
    SingleInstance converting("Korvelin", dir.path());
    ASSERT_EQ(converting.acquire(), State::Acquired);
    SingleInstance later("Korvelin", dir.path());
    EXPECT_EQ(later.acquire(), State::AlreadyRunning);
    EXPECT_FALSE(later.requestBringForward(200));
}

TEST(SingleInstance, StaleSocketOfAnEndedInstanceIsReplaced)
{
    application();
    TempDir dir;
    {
        SingleInstance ended("Korvelin", dir.path());
        ASSERT_EQ(ended.acquire(), State::Acquired);
        ASSERT_TRUE(tnw::test::writeFile(ended.socketPath(), "left behind"));
    }
    SingleInstance next("Korvelin", dir.path());
    ASSERT_EQ(next.acquire(), State::Acquired);
    EXPECT_TRUE(next.listen([] {}));
}

TEST(SingleInstance, RuntimeFolderFollowsXdg)
{
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    ::setenv("XDG_RUNTIME_DIR", "/run/user/4242/", 1);
    EXPECT_EQ(tnw::platform::runtimeFolder(), "/run/user/4242");
    ::unsetenv("XDG_RUNTIME_DIR");
    const std::string fallback = tnw::platform::runtimeFolder();
    EXPECT_EQ(fallback, "/tmp/korvelin-" + std::to_string(::getuid()));
    struct stat st {};
    ASSERT_EQ(::lstat(fallback.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u);
    if (old)
        ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}
