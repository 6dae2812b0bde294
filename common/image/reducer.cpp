#include "common/image/reducer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace tnw::image {

// Coordinates are scaled so both grids are integers: source column x covers [x*outW,
// (x+1)*outW), output column j covers [j*srcW, (j+1)*srcW); likewise for rows. The overlap of
// the two intervals is the weight, and each output pixel's weights add up to srcW (srcH).

Reducer::Reducer(int srcWidth, int srcHeight, int channels, int outWidth, int outHeight)
    : m_srcW(srcWidth), m_srcH(srcHeight), m_channels(channels),
      m_outW(std::clamp(outWidth, 1, std::max(1, srcWidth))),
      m_outH(std::clamp(outHeight, 1, std::max(1, srcHeight)))
{
    if (srcWidth < 1 || srcHeight < 1 || (channels != 1 && channels != 3))
        return;
    m_image = QImage(m_outW, m_outH,
                     channels == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (m_image.isNull())
        return;
    // One padding column takes the zero weights of the last source column.
    m_rowSums.assign(size_t(m_outW + 1) * size_t(channels), 0);
    m_acc.assign(size_t(m_outW) * size_t(channels), 0);
}

void Reducer::addRow(const std::uint8_t* row)
{
    if (!valid() || m_srcY >= m_srcH)
        return;
    // Horizontal: each output column gets sum(sample x overlap), overlap in units of 1.
    // Source column x covers [a, a + outW) with a = x*outW; as outW <= srcW it meets output
    // column j (up to `boundary` = (j+1)*srcW) and at most the next one.
    std::fill(m_rowSums.begin(), m_rowSums.end(), 0);
    const std::uint64_t outW = std::uint64_t(m_outW), srcW = std::uint64_t(m_srcW);
    std::uint64_t a = 0, boundary = srcW;
    std::uint64_t* d = m_rowSums.data();
    const size_t step = size_t(m_channels);
    for (int x = 0; x < m_srcW; ++x) {
        const std::uint64_t end = a + outW;
        const std::uint64_t w = end <= boundary ? outW : boundary - a;
        const std::uint64_t v = outW - w;  // into column j + 1 (the padding column at the end)
        const std::uint8_t* s = row + size_t(x) * step;
        for (size_t c = 0; c < step; ++c) {
            d[c] += s[c] * w;
            d[step + c] += s[c] * v;
        }
        a = end;
        if (a >= boundary) {
            boundary += srcW;
            d += step;
        }
    }
    // Vertical: the row's span [y*outH, (y+1)*outH) split between output rows.
    const std::uint64_t outH = std::uint64_t(m_outH);
    spread(std::uint64_t(m_srcY) * outH, std::uint64_t(m_srcY + 1) * outH);
    ++m_srcY;
}

void Reducer::spread(std::uint64_t pos, std::uint64_t end)
{
    const std::uint64_t srcH = std::uint64_t(m_srcH);
    while (pos < end && m_outY < m_outH) {
        const std::uint64_t stop = std::min(end, std::uint64_t(m_outY + 1) * srcH);
        const std::uint64_t w = stop - pos;
        for (size_t i = 0; i < m_acc.size(); ++i)
            m_acc[i] += m_rowSums[i] * w;
        m_yCovered += w;
        pos = stop;
        if (m_yCovered == srcH)
            flushOutputRow();
    }
}

void Reducer::flushOutputRow()
{
    const std::uint64_t area = std::uint64_t(m_srcW) * std::uint64_t(m_srcH);
    std::uint8_t* out = m_image.scanLine(m_outY);
    for (size_t i = 0; i < m_acc.size(); ++i) {
        const std::uint64_t v = (m_acc[i] + area / 2) / area;
        out[i] = std::uint8_t(std::min<std::uint64_t>(v, 255));
        m_acc[i] = 0;
    }
    m_yCovered = 0;
    ++m_outY;
}

QImage Reducer::finish(std::uint8_t fill)
{
    if (!valid())
        return {};
    if (m_srcY < m_srcH) {
        // The missing rows are all one level, so they are spread in one go: every output
        // column of such a row sums to fill x srcW. Row by row, a hostile header declaring
        // millions of rows with no data behind them would cost seconds here.
        std::fill(m_rowSums.begin(), m_rowSums.end(), 0);
        const std::uint64_t level = std::uint64_t(fill) * std::uint64_t(m_srcW);
        std::fill(m_rowSums.begin(), m_rowSums.begin() + std::ptrdiff_t(m_acc.size()), level);
        const std::uint64_t outH = std::uint64_t(m_outH);
        spread(std::uint64_t(m_srcY) * outH, std::uint64_t(m_srcH) * outH);
        m_srcY = m_srcH;
    }
    return m_image;
}

FitSize fitInBox(int w, int h, int cw, int ch, int boxW, int boxH)
{
    FitSize fit;
    w = std::max(1, w);
    h = std::max(1, h);
    cw = std::clamp(cw, 1, w);
    ch = std::clamp(ch, 1, h);
    boxW = std::max(1, boxW);
    boxH = std::max(1, boxH);
    // s = min(boxW / cw, boxH / ch, 1), kept exact by comparing cross products.
    if (std::int64_t(cw) <= boxW && std::int64_t(ch) <= boxH) {
        fit.width = cw;
        fit.height = ch;
    } else if (std::int64_t(boxW) * ch <= std::int64_t(boxH) * cw) {
        fit.width = boxW;
        fit.height = int((std::int64_t(ch) * boxW + cw / 2) / cw);
    } else {
        fit.height = boxH;
        fit.width = int((std::int64_t(cw) * boxH + ch / 2) / ch);
    }
    fit.width = std::clamp(fit.width, 1, w);
    fit.height = std::clamp(fit.height, 1, h);
    return fit;
}

}  // namespace tnw::image
