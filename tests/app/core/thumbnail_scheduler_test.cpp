// The thumbnail store and scheduler with an injected decoder, mostly without a thread pool:
// the order of work, stale results, the memory cap and turns; and results from a pool.
#include "app/core/thumbs/thumbnail_scheduler.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QSemaphore>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>

using namespace tnw::app;

namespace {

PictureJob job(int id)
{
    PictureJob j;
    j.key = {id, 0};
    j.path = "/p" + std::to_string(id) + ".jpg";
    j.page.format = 11;
    return j;
}

// Pictures of w x h grey pixels, recording the order they were asked for.
PictureDecoder recorder(std::vector<int>& asked, int w = 10, int h = 10)
{
    return [&asked, w, h](const PictureJob& j) {
        asked.push_back(j.key.first);
        tnw::image::DecodeResult r;
        r.code = j.key.first == 99 ? tnw::image::decode::Failed : 0;
        if (r.code == 0) {
            r.image = QImage(w, h, QImage::Format_Grayscale8);
            r.image.fill(0);
        }
        return r;
    };
}

}  // namespace

TEST(ThumbnailScheduler, MakesWantedPicturesInOrderOnceAndKeepsFailures)
{
    ThumbnailStore store;
    std::vector<int> asked;
    ThumbnailScheduler scheduler(store, recorder(asked), nullptr);
    scheduler.request({job(3), job(1), job(99), job(2)});
    EXPECT_EQ(asked, (std::vector<int>{3, 1, 99, 2}));
    EXPECT_EQ(store.state({1, 0}), Picture::State::Made);
    EXPECT_EQ(store.state({99, 0}), Picture::State::Failed);
    EXPECT_EQ(store.find({99, 0})->code, -1);
    // Made and failed pictures are not asked again.
    scheduler.request({job(1), job(99), job(4)});
    EXPECT_EQ(asked.back(), 4);
    EXPECT_EQ(asked.size(), 5u);
    // A turn makes that picture again, with the turn.
    store.turn({1, 0}, 90);
    scheduler.request({job(1), job(2)});
    EXPECT_EQ(asked.back(), 1);
    EXPECT_EQ(store.rotation({1, 0}), 90);
    // A new box remakes everything but failures come back too (a remake); turns stay.
    EXPECT_TRUE(store.setBox(200, 200));
    EXPECT_EQ(store.state({99, 0}), Picture::State::ToMake);
    EXPECT_EQ(store.rotation({1, 0}), 90);
}

TEST(ThumbnailScheduler, PausedSchedulerStartsNothing)
{
    ThumbnailStore store;
    std::vector<int> asked;
    ThumbnailScheduler scheduler(store, recorder(asked), nullptr);
    scheduler.setPaused(true);
    scheduler.request({job(1), job(2)});
    EXPECT_TRUE(asked.empty());
    scheduler.setPaused(false);
    EXPECT_EQ(asked.size(), 2u);
}

TEST(ThumbnailStore, ResultsOfAnEmptiedStoreAreDropped)
{
    ThumbnailStore store;
    const std::uint64_t old = store.generation();
    store.setMaking({1, 0});
    store.clear();
    QImage image(4, 4, QImage::Format_Grayscale8);
    EXPECT_FALSE(store.store({1, 0}, old, image, 0));
    EXPECT_EQ(store.find({1, 0}), nullptr);
}

TEST(ThumbnailStore, TheCapDropsPicturesFarthestFromTheVisibleRangeFirst)
{
    // Each picture is 100 x 100 grey (10,000 bytes); the cap holds three.
    ThumbnailStore store(35000);
    std::vector<int> asked;
    ThumbnailScheduler scheduler(store, recorder(asked, 100, 100), nullptr);
    store.setVisible({{2, 0}, {3, 0}, {4, 0}});
    scheduler.request({job(1), job(2), job(3), job(4)});
    EXPECT_LE(store.bytes(), store.capBytes());
    EXPECT_EQ(store.state({1, 0}), Picture::State::ToMake);  // not visible: dropped first
    EXPECT_EQ(store.madeCount(), 3);
    // A shared copy handed out stays valid after its picture is dropped.
    const QImage kept = store.find({4, 0})->image;
    store.clear();
    EXPECT_EQ(kept.size(), QSize(100, 100));
}

TEST(ThumbnailScheduler, ResultsFromThePoolArriveInBatchesWithNoneLost)
{
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    QThreadPool pool;
    pool.setMaxThreadCount(2);
    ThumbnailStore store;
    // Every decode waits until the test lets them all go, so results pile up together.
    QSemaphore go;
    ThumbnailScheduler scheduler(
        store,
        [&go](const PictureJob& j) {
            go.acquire();
            tnw::image::DecodeResult r;
            r.code = 0;
            r.image = QImage(4 + j.key.first, 4, QImage::Format_Grayscale8);
            r.image.fill(0);
            return r;
        },
        &pool);
    std::vector<PictureKey> ready;
    int batches = 0;
    QObject::connect(&scheduler, &ThumbnailScheduler::picturesReady,
                     [&](const std::vector<PictureKey>& keys) {
                         ++batches;
                         ready.insert(ready.end(), keys.begin(), keys.end());
                     });
    QEventLoop loop;
    QObject::connect(&scheduler, &ThumbnailScheduler::idle, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    std::vector<PictureJob> jobs;
    for (int id = 1; id <= 9; ++id)
        jobs.push_back(job(id));
    scheduler.request(jobs);
    // Two threads, and one job waiting in the pool for each: four started at once.
    EXPECT_EQ(scheduler.running(), 4);
    go.release(9);
    loop.exec();
    EXPECT_EQ(store.madeCount(), 9);
    std::sort(ready.begin(), ready.end());
    EXPECT_EQ(std::unique(ready.begin(), ready.end()), ready.end());
    EXPECT_EQ(ready.size(), 9u);
    EXPECT_LE(batches, 9);
    EXPECT_EQ(store.find({5, 0})->image.width(), 9);
}
