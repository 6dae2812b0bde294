// The lists and thumbnails against their targets:
// - BM_FileListOf10000Files: a folder of 10,000 JPEGs chosen in the main window, up to the
//   first paint of the full file list (the image cells may still be filling);
// - BM_FirstScreenfulOfThumbnails: 40 A4 300-dpi JPEGs (about 1 MB each) made into 120-pixel
//   thumbnails on the picture pool, from the request to the last picture stored;
// - BM_DecodeA4Thumbnail: one of those pictures made on the calling thread (the floor of the
//   above: about 40 x this / the pool's threads);
// - BM_ThumbnailsScrolledEndToEnd (one run): the 10,000-file folder's file thumbnails scrolled
//   from top to bottom a screen at a time; counters: the largest lateness of a 10 ms timer on
//   the GUI thread, and the process's peak resident size (VmHWM) at the end; its label names
//   the slowest event delivered meanwhile.
// While waiting, the GUI thread sleeps in an event loop as the program's does: a loop polling
// processEvents would take one of the machine's cores from the picture threads.
#include "app/core/thumbs/thumbnail_scheduler.h"
#include "app/view/list_pane.h"
#include "app/view/main_window.h"
#include "app/view/thumbnail_view.h"
#include "support/temp_dir.h"
#include "tests/app/core/image_fixtures.h"
#include "tests/app/gui/window_fixtures.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QTreeView>

#include <jpeglib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>

namespace {

constexpr int kFiles = 10000;
constexpr int kScreenful = 40;

// Times every event delivered from the outermost event loop, so a late probe timer can be
// traced to the event that held the GUI thread (receiver class and event type). With
// KVL_BENCH_EVENTS set, the events of 30 ms or more and the most frequent kinds with their
// total time go to standard error.
class TimingApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!m_timing || m_depth > 0)
            return QApplication::notify(receiver, event);
        ++m_depth;
        QElapsedTimer clock;
        clock.start();
        const std::string kind = std::string(receiver->metaObject()->className()) + "/" +
                                 std::to_string(int(event->type()));
        const bool result = QApplication::notify(receiver, event);
        const qint64 ms = clock.elapsed();
        --m_depth;
        if (m_verbose) {
            if (ms >= 30)
                std::fprintf(stderr, "slow event %s %lld ms\n", kind.c_str(), (long long)ms);
            auto& total = m_totals[kind];
            total.first += 1;
            total.second += ms;
        }
        if (ms > m_worstMs) {
            m_worstMs = ms;
            m_worst = kind;
        }
        return result;
    }
    void startTiming()
    {
        m_timing = true;
        m_verbose = !qEnvironmentVariableIsEmpty("KVL_BENCH_EVENTS");
        m_worstMs = 0;
        m_worst.clear();
        m_totals.clear();
    }
    // The slowest event, as "class/type N ms".
    std::string stopTiming()
    {
        m_timing = false;
        std::vector<std::pair<std::string, std::pair<long, qint64>>> totals(m_totals.begin(),
                                                                            m_totals.end());
        std::sort(totals.begin(), totals.end(),
                  [](const auto& a, const auto& b) { return a.second.first > b.second.first; });
        for (size_t i = 0; i < totals.size() && i < 12; ++i)
            std::fprintf(stderr, "%s: %ld events, %lld ms\n", totals[i].first.c_str(),
                         totals[i].second.first, (long long)totals[i].second.second);
        return m_worst + " " + std::to_string(m_worstMs) + " ms";
    }

private:
    bool m_timing = false;
    bool m_verbose = false;
    int m_depth = 0;
    qint64 m_worstMs = 0;
    std::string m_worst;
    std::map<std::string, std::pair<long, qint64>> m_totals;
};

TimingApplication* timingApp()
{
    return static_cast<TimingApplication*>(QCoreApplication::instance());
}


std::string jpeg(int w, int h, int quality, unsigned seed)
{
    std::mt19937 random(seed);
    return tnw::test::encodeJpeg(
        w, h, 3, JCS_RGB,
        [&](int y, JSAMPLE* row) {
            for (int x = 0; x < w; ++x) {
                const int noise = int(random() % 14);
                row[size_t(x) * 3] = JSAMPLE((x / 8 + noise) & 255);
                row[size_t(x) * 3 + 1] = JSAMPLE((y / 8 + noise) & 255);
                row[size_t(x) * 3 + 2] = JSAMPLE(((x + y) / 16) & 255);
            }
        },
        [&](jpeg_compress_struct& c) {
            jpeg_set_quality(&c, quality, TRUE);
            c.density_unit = 1;
            c.X_density = c.Y_density = 300;
        });
}

tnw::test::TempDir& scratch()
{
    static tnw::test::TempDir dir;
    return dir;
}

// 10,000 names of one small JPEG (hard links: the page cache is warm, the disk unused).
const std::string& bigFolder()
{
    static std::string folder;
    if (folder.empty()) {
        folder = scratch().file("big");
        std::filesystem::create_directory(folder);
        const std::string first = folder + "/p00000.jpg";
        tnw::test::writeFile(first, jpeg(600, 800, 75, 1));
        char name[64];
        for (int i = 1; i < kFiles; ++i) {
            std::snprintf(name, sizeof name, "/p%05d.jpg", i);
            ::link(first.c_str(), (folder + name).c_str());
        }
    }
    return folder;
}

const std::string& a4Folder()
{
    static std::string folder;
    if (folder.empty()) {
        folder = scratch().file("a4");
        std::filesystem::create_directory(folder);
        for (int i = 0; i < kScreenful; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "/a4_%02d.jpg", i);
            tnw::test::writeFile(folder + name, jpeg(2480, 3508, 80, unsigned(i + 1)));
        }
    }
    return folder;
}

tnw::app::MainWindowFiles windowFiles()
{
    tnw::app::MainWindowFiles files;
    files.iniPath = scratch().file("Korvelin.ini");
    files.historyPath = scratch().file("ComboAddr.txt");
    files.settingsIo = tnw::test::nameOrderSettingsIo();
    return files;
}

long peakResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return -1;
}

void BM_FileListOf10000Files(benchmark::State& state)
{
    const std::string folder = bigFolder();
    tnw::app::MainWindow window(windowFiles());
    window.resize(1000, 700);
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.goToFolder(folder);
        window.listPane()->fileView()->viewport()->repaint();
        state.PauseTiming();
        if (window.listPane()->fileView()->model()->rowCount() != kFiles)
            state.SkipWithError("wrong row count");
        window.goToFolder(scratch().path());  // away, so the next choice builds again
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["files"] = kFiles;
}
BENCHMARK(BM_FileListOf10000Files)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FirstScreenfulOfThumbnails(benchmark::State& state)
{
    const std::string folder = a4Folder();
    std::vector<tnw::app::PictureJob> jobs;
    for (int i = 0; i < kScreenful; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/a4_%02d.jpg", i);
        tnw::app::PictureJob job;
        job.key = {i, 0};
        job.path = folder + name;
        std::vector<tnw::image::PageInfo> pages;
        tnw::image::probeFile(job.path, pages);
        job.page = pages.front();
        jobs.push_back(job);
    }
    QThreadPool pool;
    pool.setMaxThreadCount(std::clamp(QThread::idealThreadCount(), 1, 4));
    for (auto _ : state) {
        tnw::app::ThumbnailStore store;
        tnw::app::ThumbnailScheduler scheduler(store, tnw::app::fileDecoder(), &pool);
        // The GUI thread sleeps in its event loop meanwhile, as the program's does (a polling
        // loop here would take a core from the decoders).
        QEventLoop loop;
        QObject::connect(&scheduler, &tnw::app::ThumbnailScheduler::idle, &loop,
                         &QEventLoop::quit);
        scheduler.request(jobs);
        if (store.madeCount() < kScreenful)
            loop.exec();
        if (store.madeCount() != kScreenful)
            state.SkipWithError("pictures missing");
    }
    state.counters["pictures"] = kScreenful;
    state.counters["threads"] = pool.maxThreadCount();
    std::uintmax_t bytes = 0;
    for (const tnw::app::PictureJob& job : jobs)
        bytes += std::filesystem::file_size(job.path);
    state.counters["mean_file_kb"] = double(bytes) / kScreenful / 1024.0;
}
BENCHMARK(BM_FirstScreenfulOfThumbnails)->Unit(benchmark::kMillisecond)->Iterations(3);

// One A4 300-dpi JPEG made into a 120-pixel thumbnail on this thread: the cost of one picture.
void BM_DecodeA4Thumbnail(benchmark::State& state)
{
    const std::string path = a4Folder() + "/a4_00.jpg";
    std::vector<tnw::image::PageInfo> pages;
    tnw::image::probeFile(path, pages);
    tnw::image::DecodeRequest request;
    for (auto _ : state) {
        const tnw::image::DecodeResult result = tnw::image::decodeFile(path, pages.front(), request);
        if (result.code != 0)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(result.image.constBits());
    }
}
BENCHMARK(BM_DecodeA4Thumbnail)->Unit(benchmark::kMillisecond);

void BM_ThumbnailsScrolledEndToEnd(benchmark::State& state)
{
    const std::string folder = bigFolder();
    for (auto _ : state) {
        tnw::app::MainWindow window(windowFiles());
        window.resize(1000, 700);
        window.show();
        window.goToFolder(folder);
        window.action(tnw::app::CommandId::FileThumbs)->trigger();
        // Every view visited.
        window.action(tnw::app::CommandId::PageThumbs)->trigger();
        window.action(tnw::app::CommandId::PageList)->trigger();
        window.action(tnw::app::CommandId::FileList)->trigger();
        window.action(tnw::app::CommandId::FileThumbs)->trigger();
        tnw::app::ThumbnailView* view = window.listPane()->fileThumbs();
        QElapsedTimer clock;
        clock.start();
        qint64 last = clock.elapsed();
        qint64 worst = 0;
        QTimer probe;
        probe.setInterval(10);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            worst = std::max(worst, now - last - 10);
            last = now;
        });
        probe.start();
        timingApp()->startTiming();
        QScrollBar* bar = view->verticalScrollBar();
        while (bar->value() < bar->maximum() || view->scheduler().running() > 0 ||
               view->scheduler().waiting() > 0) {
            // 100 ms in the event loop per screen, as a user reading the pictures.
            QEventLoop loop;
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
            loop.exec();
            if (bar->value() < bar->maximum())
                bar->setValue(bar->value() + bar->pageStep());
        }
        probe.stop();
        state.SetLabel("slowest event " + timingApp()->stopTiming());
        state.counters["worst_lateness_ms"] = double(worst);
        state.counters["peak_rss_mb"] = double(peakResidentKb()) / 1024.0;
        state.counters["pictures_in_store"] = view->store().madeCount();
    }
}
BENCHMARK(BM_ThumbnailsScrolledEndToEnd)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TimingApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
