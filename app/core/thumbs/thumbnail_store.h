// ThumbnailStore: the reduced pictures of one thumbnail view, in memory only, keyed by entry
// id and page (moves and undo keep pictures). QImage is implicitly shared, so a picture handed
// out stays valid whatever the store does next. The sum of the pictures' bytes is capped: past
// the cap the pictures farthest from the visible range go first (down to nine tenths of the
// cap) and return to "to make".
// Failure codes stay, without retry, until a remake (refill, box change, turn).
#pragma once

#include <QImage>

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace tnw::app {

using PictureKey = std::pair<int, int>;  // entry id, page index

struct Picture {
    enum class State { ToMake, Making, Made, Failed };
    State state = State::ToMake;
    QImage image;
    int code = 0;      // failure code when Failed
    int rotation = 0;  // display turn, kept until the next refill
    int warnings = 0;
};

class ThumbnailStore {
public:
    explicit ThumbnailStore(std::int64_t capBytes = 256LL * 1024 * 1024);

    int boxWidth() const { return m_boxW; }
    int boxHeight() const { return m_boxH; }
    // A changed box drops every picture (turns stay); true when it changed.
    bool setBox(int width, int height);
    // Empties the store (a refilled list): every picture and turn dropped.
    void clear();
    // The generation of the store's contents: results made for an older one are dropped.
    std::uint64_t generation() const { return m_generation; }

    const Picture* find(const PictureKey& key) const;
    Picture::State state(const PictureKey& key) const;
    // Marks a picture as being made (the scheduler took it).
    void setMaking(const PictureKey& key);
    // A result for `generation`: kept when current, dropped otherwise. A null image with code
    // 0 counts as failed. Then pictures are evicted down to the cap, farthest from the visible
    // keys first. False when dropped.
    bool store(const PictureKey& key, std::uint64_t generation, const QImage& image, int code,
               int warnings = 0);
    // Turns a picture by a quarter turn (+90 or -90); it is made again.
    void turn(const PictureKey& key, int degrees);
    int rotation(const PictureKey& key) const;

    // The keys now visible, in view order: what eviction keeps longest.
    void setVisible(const std::vector<PictureKey>& visibleInOrder);
    std::int64_t bytes() const { return m_bytes; }
    std::int64_t capBytes() const { return m_cap; }
    int madeCount() const;

private:
    void evict(const PictureKey& keep);

    std::map<PictureKey, Picture> m_pictures;
    std::map<PictureKey, int> m_visibleIndex;  // key -> position in the visible order
    std::int64_t m_cap;
    std::int64_t m_bytes = 0;
    int m_boxW = 120;
    int m_boxH = 120;
    std::uint64_t m_generation = 1;
};

}  // namespace tnw::app
