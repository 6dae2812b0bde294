#include "app/core/thumbs/thumbnail_scheduler.h"

#include "common/platform/qt_text.h"

#include <QThreadPool>

#include <algorithm>

namespace tnw::app {
namespace {
constexpr int kMaxProgressive = 2;
constexpr int kReadingReportMs = 100;
}

PictureDecoder fileDecoder()
{
    return [](const PictureJob& job) {
        image::DecodeRequest request;
        request.pageIndex = job.page.pageIndex;
        request.boxWidth = job.boxWidth;
        request.boxHeight = job.boxHeight;
        request.rotation = job.rotation;
        image::DecodeResult result = image::decodeFile(job.path, job.page, request);
        // Converted here, on the pool's thread: drawn as it is, the picture would be
        // converted again on every paint.
        if (!result.image.isNull())
            result.image.convertTo(QImage::Format_RGB32);
        return result;
    };
}

ThumbnailScheduler::ThumbnailScheduler(ThumbnailStore& store, PictureDecoder decoder,
                                       QThreadPool* pool, QObject* parent)
    : QObject(parent), m_store(store), m_decoder(std::move(decoder)), m_pool(pool)
{
    // One job waits in the pool per thread, so a thread finds its next picture while the GUI
    // thread is busy; more would only wait there, out of nearest-first order.
    m_maxRunning = pool ? 2 * std::max(1, pool->maxThreadCount()) : 1;
}

ThumbnailScheduler::~ThumbnailScheduler()
{
    m_queue.clear();
    if (m_pool && m_running > 0)
        m_pool->waitForDone();
}

void ThumbnailScheduler::request(const std::vector<PictureJob>& nearestFirst)
{
    m_queue.clear();
    for (const PictureJob& job : nearestFirst) {
        if (m_store.state(job.key) == Picture::State::ToMake)
            m_queue.push_back(job);
    }
    startJobs();
}

void ThumbnailScheduler::setPaused(bool paused)
{
    m_paused = paused;
    if (!paused)
        startJobs();
}

void ThumbnailScheduler::startJobs()
{
    if (m_inline)
        return;  // the loop below goes on when the job on this thread ends
    while (!m_paused && !m_queue.empty() && m_running < m_maxRunning) {
        // The nearest job that may start: a progressive JPEG waits while two are decoding.
        auto it = std::find_if(m_queue.begin(), m_queue.end(), [this](const PictureJob& j) {
            return !j.page.progressive || m_progressive < kMaxProgressive;
        });
        if (it == m_queue.end())
            break;
        PictureJob job = *it;
        m_queue.erase(it);
        if (m_store.state(job.key) != Picture::State::ToMake)
            continue;
        job.generation = m_store.generation();
        job.boxWidth = m_store.boxWidth();
        job.boxHeight = m_store.boxHeight();
        job.rotation = m_store.rotation(job.key);
        m_store.setMaking(job.key);
        ++m_running;
        if (job.page.progressive)
            ++m_progressive;
        if (!m_lastReading.isValid() || m_lastReading.elapsed() >= kReadingReportMs) {
            m_lastReading.start();
            emit reading(platform::fromCp932(job.path));
        }
        if (!m_pool) {
            m_inline = true;
            const image::DecodeResult result = m_decoder(job);
            std::vector<PictureKey> stored;
            finished(job, result, stored);
            if (!stored.empty())
                emit picturesReady(stored);
            m_inline = false;
            continue;
        }
        PictureDecoder decoder = m_decoder;
        // Ahead of the header probes waiting in the same pool: a picture is on screen.
        m_pool->start(
            [this, job, decoder] {
                image::DecodeResult result = decoder(job);
                std::lock_guard<std::mutex> lock(m_doneMutex);
                m_done.push_back({job, std::move(result)});
                if (!m_takePosted) {
                    m_takePosted = true;
                    QMetaObject::invokeMethod(this, &ThumbnailScheduler::takeResults,
                                              Qt::QueuedConnection);
                }
            },
            1);
    }
    if (m_running == 0 && m_queue.empty())
        emit idle();
}

void ThumbnailScheduler::takeResults()
{
    std::vector<Done> done;
    {
        std::lock_guard<std::mutex> lock(m_doneMutex);
        done.swap(m_done);
        m_takePosted = false;
    }
    std::vector<PictureKey> stored;
    stored.reserve(done.size());
    for (const Done& d : done)
        finished(d.job, d.result, stored);
    if (!stored.empty())
        emit picturesReady(stored);
    startJobs();
}

void ThumbnailScheduler::finished(const PictureJob& job, const image::DecodeResult& result,
                                  std::vector<PictureKey>& stored)
{
    --m_running;
    if (job.page.progressive)
        --m_progressive;
    if (m_store.store(job.key, job.generation, result.image, result.code, result.warnings))
        stored.push_back(job.key);
}

}  // namespace tnw::app
