#include "app/core/lists/probe_runner.h"

#include "common/image/display_decoder.h"

#include <QThreadPool>

namespace tnw::app {
namespace {
constexpr size_t kBatch = 32;
}

ProbeRunner::ProbeRunner(ListDocument* doc, QThreadPool* pool, ProbeFunction probe,
                         QObject* parent)
    : QObject(parent), m_doc(doc), m_pool(pool),
      m_probe(probe ? std::move(probe) : ProbeFunction(image::probeFile))
{
}

ProbeRunner::~ProbeRunner()
{
    ++m_generation;
    if (m_pool && m_running > 0)
        m_pool->waitForDone();
}

void ProbeRunner::stop()
{
    ++m_generation;
    m_pendingJobs = 0;
}

void ProbeRunner::start(std::vector<ProbeItem> items)
{
    const std::uint64_t generation = ++m_generation;
    m_pendingJobs = int((items.size() + kBatch - 1) / kBatch);
    if (m_pendingJobs == 0) {
        emit finished(-1);
        return;
    }
    for (size_t first = 0; first < items.size(); first += kBatch) {
        std::vector<ProbeItem> batch(items.begin() + long(first),
                                     items.begin() + long(std::min(items.size(), first + kBatch)));
        auto job = [this, generation, batch = std::move(batch), probe = m_probe] {
            std::vector<Result> results;
            results.reserve(batch.size());
            for (const ProbeItem& item : batch) {
                Result r{item.id, 0, {}};
                r.code = probe(item.path, r.pages);
                results.push_back(std::move(r));
            }
            return results;
        };
        if (!m_pool) {
            deliver(generation, job());
            continue;
        }
        ++m_running;
        m_pool->start([this, generation, job] {
            std::vector<Result> results = job();
            QMetaObject::invokeMethod(
                this, [this, generation, results = std::move(results)]() mutable {
                    --m_running;
                    deliver(generation, std::move(results));
                },
                Qt::QueuedConnection);
        });
    }
}

void ProbeRunner::deliver(std::uint64_t generation, std::vector<Result> results)
{
    if (generation != m_generation)
        return;
    for (Result& r : results) {
        if (r.id < 0 || r.id >= m_doc->entryCount())
            continue;
        m_doc->setProbe(r.id, r.code == 0 ? ProbeState::Done : ProbeState::Failed,
                        std::move(r.pages));
    }
    if (--m_pendingJobs > 0)
        return;
    int first = -1;
    for (int id : m_doc->fileOrder()) {
        if (m_doc->entry(id).unsupported()) {
            first = id;
            break;
        }
    }
    emit finished(first);
}

}  // namespace tnw::app
