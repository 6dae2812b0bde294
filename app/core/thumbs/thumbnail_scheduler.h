// ThumbnailScheduler: makes the pictures a thumbnail view asks for, nearest first, on a
// thread pool (or synchronously when given none, for tests), so the window never waits for a
// picture and painting never decodes. The decoder is injected; results come back to the GUI
// thread in batches (one queued call takes every result finished meanwhile, so a busy GUI
// thread stores many pictures per turn and repaints once), and a result for an emptied or
// re-boxed store is dropped. At most two progressive JPEGs decode at once (their coefficient
// buffers are large).
#pragma once

#include "app/core/thumbs/thumbnail_store.h"
#include "common/image/display_decoder.h"

#include <QElapsedTimer>
#include <QObject>

#include <deque>
#include <mutex>
#include <functional>
#include <string>
#include <vector>

class QThreadPool;

namespace tnw::app {

struct PictureJob {
    PictureKey key;
    std::string path;
    image::PageInfo page;
    int boxWidth = 120;
    int boxHeight = 120;
    int rotation = 0;
    std::uint64_t generation = 0;
};

using PictureDecoder = std::function<image::DecodeResult(const PictureJob&)>;
// The display decoder of the files themselves; its pictures come in the screen's own format
// (32-bit RGB), so drawing them is a plain copy.
PictureDecoder fileDecoder();

class ThumbnailScheduler : public QObject {
    Q_OBJECT
public:
    // `pool` null: every job runs at once on the calling thread.
    ThumbnailScheduler(ThumbnailStore& store, PictureDecoder decoder, QThreadPool* pool,
                       QObject* parent = nullptr);
    ~ThumbnailScheduler() override;

    // The pictures wanted now, nearest first: replaces what was waiting. Pictures made,
    // failed or being made are skipped.
    void request(const std::vector<PictureJob>& nearestFirst);
    // No job starts while paused (a list build or a run); the waiting ones start after.
    void setPaused(bool paused);
    int running() const { return m_running; }
    int waiting() const { return int(m_queue.size()); }

signals:
    // Pictures stored (made or failed) in one batch.
    void picturesReady(const std::vector<tnw::app::PictureKey>& keys);
    // A picture of this file is being made (at most one report per 100 ms).
    void reading(const QString& path);
    void idle();  // nothing waiting or running

private:
    struct Done {
        PictureJob job;
        image::DecodeResult result;
    };
    void startJobs();
    // Stores the results finished so far (GUI thread).
    void takeResults();
    void finished(const PictureJob& job, const image::DecodeResult& result,
                  std::vector<PictureKey>& stored);

    ThumbnailStore& m_store;
    PictureDecoder m_decoder;
    QThreadPool* m_pool;
    std::deque<PictureJob> m_queue;
    int m_running = 0;
    int m_progressive = 0;
    int m_maxRunning;
    bool m_paused = false;
    bool m_inline = false;
    // Results handed over by the pool's threads, and whether a call to take them is on its
    // way to the GUI thread.
    std::mutex m_doneMutex;
    std::vector<Done> m_done;
    bool m_takePosted = false;
    QElapsedTimer m_lastReading;
};

}  // namespace tnw::app
