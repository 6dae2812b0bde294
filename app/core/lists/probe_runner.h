// ProbeRunner: reads the headers behind the image cells on the picture pool, in the order
// given (visible rows first), a batch of files per job, and hands the results to the document
// on the GUI thread. A new start drops the results of the previous one.
#pragma once

#include "app/core/lists/list_document.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QThreadPool;

namespace tnw::app {

struct ProbeItem {
    int id = 0;
    std::string path;
};
using ProbeFunction = std::function<int(const std::string& path, std::vector<image::PageInfo>&)>;

class ProbeRunner : public QObject {
    Q_OBJECT
public:
    // `pool` null: probes run at once on the calling thread.
    ProbeRunner(ListDocument* doc, QThreadPool* pool, ProbeFunction probe = {},
                QObject* parent = nullptr);
    ~ProbeRunner() override;

    void start(std::vector<ProbeItem> items);
    // Drops whatever is waiting (a new build is coming).
    void stop();
    bool active() const { return m_pendingJobs > 0; }

signals:
    // Every probe of the last start reported; `firstUnsupported` the entry id of the first
    // unsupported file in list order, -1 none.
    void finished(int firstUnsupported);

private:
    struct Result {
        int id;
        int code;
        std::vector<image::PageInfo> pages;
    };
    void deliver(std::uint64_t generation, std::vector<Result> results);

    ListDocument* m_doc;
    QThreadPool* m_pool;
    ProbeFunction m_probe;
    std::uint64_t m_generation = 0;
    int m_pendingJobs = 0;
    int m_running = 0;
};

}  // namespace tnw::app
