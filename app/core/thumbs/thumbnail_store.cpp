#include "app/core/thumbs/thumbnail_store.h"

#include <algorithm>
#include <climits>

namespace tnw::app {

ThumbnailStore::ThumbnailStore(std::int64_t capBytes) : m_cap(capBytes) {}

bool ThumbnailStore::setBox(int width, int height)
{
    if (width == m_boxW && height == m_boxH)
        return false;
    m_boxW = width;
    m_boxH = height;
    for (auto& [key, picture] : m_pictures) {
        picture.state = Picture::State::ToMake;
        picture.image = QImage();
        picture.code = 0;
    }
    m_bytes = 0;
    ++m_generation;
    return true;
}

void ThumbnailStore::clear()
{
    m_pictures.clear();
    m_visibleIndex.clear();
    m_bytes = 0;
    ++m_generation;
}

const Picture* ThumbnailStore::find(const PictureKey& key) const
{
    const auto it = m_pictures.find(key);
    return it == m_pictures.end() ? nullptr : &it->second;
}

Picture::State ThumbnailStore::state(const PictureKey& key) const
{
    const Picture* p = find(key);
    return p ? p->state : Picture::State::ToMake;
}

void ThumbnailStore::setMaking(const PictureKey& key)
{
    m_pictures[key].state = Picture::State::Making;
}

bool ThumbnailStore::store(const PictureKey& key, std::uint64_t generation, const QImage& image,
                           int code, int warnings)
{
    if (generation != m_generation)
        return false;
    Picture& p = m_pictures[key];
    if (p.state == Picture::State::Made)
        m_bytes -= p.image.sizeInBytes();
    p.warnings = warnings;
    if (code != 0 || image.isNull()) {
        p.state = Picture::State::Failed;
        p.code = code != 0 ? code : -1;
        p.image = QImage();
        return true;
    }
    p.state = Picture::State::Made;
    p.code = 0;
    p.image = image;
    m_bytes += image.sizeInBytes();
    evict(key);
    return true;
}

void ThumbnailStore::turn(const PictureKey& key, int degrees)
{
    Picture& p = m_pictures[key];
    if (p.state == Picture::State::Made)
        m_bytes -= p.image.sizeInBytes();
    p.rotation = ((p.rotation + degrees) % 360 + 360) % 360;
    p.state = Picture::State::ToMake;
    p.image = QImage();
    p.code = 0;
}

int ThumbnailStore::rotation(const PictureKey& key) const
{
    const Picture* p = find(key);
    return p ? p->rotation : 0;
}

void ThumbnailStore::setVisible(const std::vector<PictureKey>& visibleInOrder)
{
    m_visibleIndex.clear();
    for (size_t i = 0; i < visibleInOrder.size(); ++i)
        m_visibleIndex.emplace(visibleInOrder[i], int(i));
}

int ThumbnailStore::madeCount() const
{
    return int(std::count_if(m_pictures.begin(), m_pictures.end(), [](const auto& kv) {
        return kv.second.state == Picture::State::Made;
    }));
}

void ThumbnailStore::evict(const PictureKey& keep)
{
    if (m_bytes <= m_cap)
        return;
    // Farthest first: pictures not visible at all, then the visible ones from the far end.
    std::vector<std::pair<int, PictureKey>> order;
    for (const auto& [key, p] : m_pictures) {
        if (p.state != Picture::State::Made || key == keep)
            continue;
        const auto it = m_visibleIndex.find(key);
        order.push_back({it == m_visibleIndex.end() ? INT_MAX : it->second, key});
    }
    std::sort(order.begin(), order.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    // Down to nine tenths of the cap, so the ordering above is not redone for every picture
    // that arrives at the cap.
    const std::int64_t target = m_cap - m_cap / 10;
    for (const auto& [distance, key] : order) {
        if (m_bytes <= target)
            break;
        Picture& p = m_pictures[key];
        m_bytes -= p.image.sizeInBytes();
        p.image = QImage();
        p.state = Picture::State::ToMake;
    }
}

}  // namespace tnw::app
