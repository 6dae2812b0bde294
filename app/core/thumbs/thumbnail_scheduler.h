// ThumbnailScheduler: makes the pictures a thumbnail view asks for, nearest first, on a
// thread pool (or synchronously when given none, for tests), so the window never waits for a
// picture and painting never decodes. The decoder is injected; results come back to the GUI
// thread by queued calls, and a result for an emptied or re-boxed store is dropped. At most
// two progressive JPEGs decode at once (their coefficient buffers are large).
#pragma once

#include "app/core/thumbs/thumbnail_store.h"
#include "common/image/display_decoder.h"

#include <QObject>

#include <deque>
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
// The display decoder of the files themselves.
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
    void pictureReady(const tnw::app::PictureKey& key);
    void reading(const QString& path);  // a picture of this file is being made
    void idle();                        // nothing waiting or running

private:
    void startJobs();
    void finished(const PictureJob& job, const image::DecodeResult& result);

    ThumbnailStore& m_store;
    PictureDecoder m_decoder;
    QThreadPool* m_pool;
    std::deque<PictureJob> m_queue;
    int m_running = 0;
    int m_progressive = 0;
    int m_maxRunning;
    bool m_paused = false;
    bool m_inline = false;
};

}  // namespace tnw::app
