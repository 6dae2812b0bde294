// Builds TIFF bytes by hand, in either byte order, for the reader's tests: each directory's
// entries in the order given, values longer than four bytes right after their directory, then
// the next directory.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tnw::test {

class TiffBuilder {
public:
    explicit TiffBuilder(bool bigEndian) : m_big(bigEndian) { m_dirs.emplace_back(); }

    TiffBuilder& shorts(uint16_t tag, const std::vector<uint32_t>& values)
    {
        std::string data;
        for (uint32_t v : values)
            data += u16(uint16_t(v));
        return add(tag, 3, uint32_t(values.size()), data);
    }
    TiffBuilder& longs(uint16_t tag, const std::vector<uint32_t>& values)
    {
        std::string data;
        for (uint32_t v : values)
            data += u32(v);
        return add(tag, 4, uint32_t(values.size()), data);
    }
    TiffBuilder& rationals(uint16_t tag, const std::vector<std::pair<uint32_t, uint32_t>>& values)
    {
        std::string data;
        for (const auto& [num, den] : values)
            data += u32(num) + u32(den);
        return add(tag, 5, uint32_t(values.size()), data);
    }
    TiffBuilder& ascii(uint16_t tag, const std::string& text)
    {
        return add(tag, 2, uint32_t(text.size() + 1), text + std::string(1, '\0'));
    }
    // An entry with the given data (in file order) whatever the type says.
    TiffBuilder& add(uint16_t tag, uint16_t type, uint32_t count, const std::string& data)
    {
        m_dirs.back().push_back({tag, type, count, data, false, 0});
        return *this;
    }
    // An entry whose value field is given as is (an offset anywhere, a count of anything).
    TiffBuilder& field(uint16_t tag, uint16_t type, uint32_t count, uint32_t value)
    {
        m_dirs.back().push_back({tag, type, count, std::string(), true, value});
        return *this;
    }
    TiffBuilder& nextDirectory()
    {
        m_dirs.emplace_back();
        return *this;
    }

    std::string build()
    {
        m_offsets.clear();
        std::string out = std::string(m_big ? "MM" : "II") + u16(42) + u32(8);
        for (size_t d = 0; d < m_dirs.size(); ++d) {
            const auto& entries = m_dirs[d];
            const auto dirOffset = uint32_t(out.size());
            m_offsets.push_back(dirOffset);
            std::string data;
            auto dataOffset = uint32_t(dirOffset + 2 + 12 * entries.size() + 4);
            std::string dir = u16(uint16_t(entries.size()));
            for (const Entry& e : entries) {
                dir += u16(e.tag) + u16(e.type) + u32(e.count);
                if (e.rawField) {
                    dir += u32(e.value);
                } else if (e.data.size() <= 4) {
                    dir += e.data + std::string(4 - e.data.size(), '\0');
                } else {
                    dir += u32(dataOffset + uint32_t(data.size()));
                    data += e.data;
                }
            }
            const bool last = d + 1 == m_dirs.size();
            dir += u32(last ? 0 : uint32_t(dataOffset + data.size()));
            out += dir + data;
        }
        return out;
    }
    const std::vector<uint32_t>& directoryOffsets() const { return m_offsets; }

    std::string u16(uint16_t v) const
    {
        const char b[2] = {char(v & 0xFF), char(v >> 8)};
        return m_big ? std::string{b[1], b[0]} : std::string{b[0], b[1]};
    }
    std::string u32(uint32_t v) const
    {
        const std::string high = u16(uint16_t(v >> 16));
        const std::string low = u16(uint16_t(v));
        return m_big ? high + low : low + high;
    }

private:
    struct Entry {
        uint16_t tag;
        uint16_t type;
        uint32_t count;
        std::string data;
        bool rawField;
        uint32_t value;
    };
    bool m_big;
    std::vector<std::vector<Entry>> m_dirs;
    std::vector<uint32_t> m_offsets;
};

}  // namespace tnw::test
