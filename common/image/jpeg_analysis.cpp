#include "common/image/jpeg_analysis.h"

#include "common/platform/files.h"
#include "common/image/jpeg_codec.h"

namespace tnw::image {

int JpegAnalysis::analyse(const std::string& path)
{
    start();
    OwnedFile file(platform::openFile(path, "rb"));
    if (!file) {
        m_message = "cannot open the file";
        return -1;
    }
    JpegDecompressor decoder;
    return finish(decoder, decoder.readHeader(file.get()));
}

int JpegAnalysis::analyse(std::FILE* file)
{
    start();
    if (!file || std::fseek(file, 0, SEEK_SET) != 0) {
        m_message = "cannot open the file";
        return -1;
    }
    JpegDecompressor decoder;
    return finish(decoder, decoder.readHeader(file));
}

int JpegAnalysis::analyse(const unsigned char* data, size_t size)
{
    start();
    JpegDecompressor decoder;
    return finish(decoder, decoder.readHeader(data, size));
}

void JpegAnalysis::start()
{
    m_info = JpegInfo{};
    m_message.clear();
    m_messageCode = 0;
    m_warnings = 0;
}

int JpegAnalysis::finish(JpegDecompressor& decoder, int headerCode)
{
    // Header only; the output size calculation checks the scaling and colour conversion.
    const int rc = headerCode == 0 ? decoder.calcOutput() : -1;
    m_warnings = decoder.warnings();
    if (rc != 0) {
        m_message = decoder.message();
        m_messageCode = decoder.messageCode();
        return -1;
    }
    const jpeg_decompress_struct& c = decoder.info();
    switch (c.out_color_space) {
    case JCS_GRAYSCALE:
    case JCS_RGB:
    case JCS_CMYK:  // counts as colour
        break;
    default:
        m_message = "the image cannot be delivered as gray or RGB";
        m_messageCode = kUnsupportedColorSpace;
        return -1;
    }

    m_info.width = static_cast<int>(c.image_width);
    m_info.height = static_cast<int>(c.image_height);
    m_info.components = c.num_components;
    m_info.colorSpace = static_cast<int>(c.jpeg_color_space);
    m_info.densityUnit = c.density_unit;
    m_info.xDensity = c.X_density;
    m_info.yDensity = c.Y_density;
    m_info.progressive = c.progressive_mode != FALSE;
    m_info.restartInterval = static_cast<int>(c.restart_interval);
    m_info.bitsPerPixel = 8 * c.num_components;
    m_info.arithmetic = c.arith_code != FALSE;
    m_info.adobeMarker = c.saw_Adobe_marker != FALSE;
    m_info.adobeTransform = c.Adobe_transform;
    return 0;
}

}  // namespace tnw::image
