// The analysis of a JPEG file: its header read through libjpeg, reduced to what the wrapping and
// the PDF writer need.
#pragma once

#include <cstdio>

#include <cstddef>
#include <string>

namespace tnw::image {

// JPEG colour spaces as the library numbers them.
enum JpegColorSpace { kJpegUnknown = 0, kJpegGray = 1, kJpegRgb = 2, kJpegYCbCr = 3,
                      kJpegCmyk = 4, kJpegYcck = 5 };

struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;
    int colorSpace = kJpegUnknown;  // of the coded data, JpegColorSpace
    int densityUnit = 0;             // 0 none, 1 per inch, 2 per centimetre
    int xDensity = 0;
    int yDensity = 0;
    bool progressive = false;
    int restartInterval = 0;         // MCUs, 0 when there is no DRI segment
    int bitsPerPixel = 0;            // 8 × components
    bool arithmetic = false;         // arithmetic-coded (SOF9 to SOF11)
    bool adobeMarker = false;        // an Adobe APP14 segment was read
    int adobeTransform = 0;          // its transform: 0 none (RGB or CMYK), 1 YCbCr, 2 YCCK
};

class JpegDecompressor;

// One analysis; the object keeps the last record and the library's message for diagnostics.
class JpegAnalysis {
public:
    // Code of the failure "the library cannot deliver this image as gray or RGB".
    static constexpr int kUnsupportedColorSpace = 1005;

    // Reads the header of the code page 932 `path`. 0, or -1 when the file cannot be opened, the
    // library fails, or the image cannot be delivered as gray, RGB or CMYK.
    int analyse(const std::string& path);
    // The same, from an open file read from its start (the caller keeps and closes it).
    int analyse(std::FILE* file);
    // The same for a JPEG file's bytes in memory.
    int analyse(const unsigned char* data, size_t size);

    const JpegInfo& info() const { return m_info; }
    // The library's formatted message of the last failure ("" after success).
    const std::string& message() const { return m_message; }
    // The library's message code of the last failure, kUnsupportedColorSpace, or 0.
    int messageCode() const { return m_messageCode; }
    int warnings() const { return m_warnings; }

private:
    void start();
    int finish(JpegDecompressor& decoder, int headerCode);

    JpegInfo m_info;
    std::string m_message;
    int m_messageCode = 0;
    int m_warnings = 0;
};

// CMYK or YCCK with the Adobe marker: the samples are stored inverted, as image editors write
// them, and the page must say so.
inline bool hasInvertedCmyk(const JpegInfo& info)
{
    return (info.colorSpace == kJpegCmyk || info.colorSpace == kJpegYcck) && info.adobeMarker;
}

}  // namespace tnw::image
