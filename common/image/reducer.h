// Area-averaging reduction of a picture that arrives row by row: every output pixel is the
// exact mean of the source area it covers (integer arithmetic, rounded), holding only one row
// of column sums per channel, never the full-size picture. A side that is not reduced is
// copied through (nothing is ever enlarged).
#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace tnw::image {

class Reducer {
public:
    // `channels` 1 (grey) or 3 (RGB); the output is outWidth x outHeight, each side at most
    // the source's and at least 1.
    Reducer(int srcWidth, int srcHeight, int channels, int outWidth, int outHeight);

    bool valid() const { return !m_image.isNull(); }
    // The next source row (srcWidth x channels bytes). Rows past srcHeight are ignored.
    void addRow(const std::uint8_t* row);
    // Rows not given are taken as this grey level (a truncated file's missing part).
    QImage finish(std::uint8_t fill = 128);
    int rowsGiven() const { return m_srcY; }

private:
    // Adds m_rowSums over the span [pos, end) of the source rows (in units of outHeight).
    void spread(std::uint64_t pos, std::uint64_t end);
    void flushOutputRow();

    int m_srcW, m_srcH, m_channels, m_outW, m_outH;
    int m_srcY = 0;
    int m_outY = 0;
    std::uint64_t m_yCovered = 0;  // of the current output row, in units of outHeight
    std::vector<std::uint64_t> m_rowSums;  // one horizontally reduced row (x srcW units)
    std::vector<std::uint64_t> m_acc;      // column sums of the current output row
    QImage m_image;
};

// The output size of a page of w x h pixels in a box of boxW x boxH: the aspect-corrected size
// (cw x ch, equal to w x h when not corrected) scaled down to fit the box, never enlarged,
// each side at least 1 and at most the pixel side.
struct FitSize {
    int width = 1;
    int height = 1;
};
FitSize fitInBox(int w, int h, int cw, int ch, int boxW, int boxH);

}  // namespace tnw::image
