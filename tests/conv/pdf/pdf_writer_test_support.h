// The PDF writer's job fixture: a temporary folder with sources, a writer in deterministic mode
// whose temporary files and log go to that folder, and readers of its output.
#pragma once

#include "conv/pdf/pdf_writer.h"
#include "conv/pdf/tiff_writer.h"
#include "support/temp_dir.h"
#include "tests/conv/pdf/jpeg_fixtures.h"
#include "tests/conv/pdf/pdf_fixtures.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tnw::test {

class PdfJob : public ::testing::Test {
protected:
    PdfJob()
    {
        std::tm clock{};
        clock.tm_year = 124;
        clock.tm_mon = 0;
        clock.tm_mday = 2;
        clock.tm_hour = 3;
        clock.tm_min = 4;
        clock.tm_sec = 5;
        m_writer.setDeterministic(clock);
        m_writer.setWorkFolder(m_dir.path());
        m_writer.setLogPath(m_dir.file("log.csv"));
    }

    std::string tiff(const std::string& name, const std::vector<TiffPageShape>& pages)
    {
        const std::string path = m_dir.file(name);
        EXPECT_TRUE(writeTiff(path, pages));
        return path;
    }
    std::string jpeg(const std::string& name, const JpegShape& shape = {})
    {
        const std::string path = m_dir.file(name);
        EXPECT_TRUE(writeFile(path, makeJpeg(shape)));
        return path;
    }
    std::string out() const { return m_dir.file("out.pdf"); }
    PdfBytes pdf() const { return PdfBytes(readFile(out())); }
    std::vector<std::string> logRows() const
    {
        std::vector<std::string> rows;
        std::istringstream in(readFile(m_dir.file("log.csv")));
        for (std::string line; std::getline(in, line);)
            rows.push_back(line);  // each still ends in its CR
        return rows;
    }

    TempDir m_dir;
    tnw::conv::PdfWriter m_writer;
};

// Decodes Flate stream data through the TIFF library: the bytes become the one Deflate strip of
// a small TIFF that is read back.
inline std::string inflateImage(const TempDir& dir, const std::string& data, uint32_t width,
                                uint32_t length, uint16_t bits, uint16_t samples)
{
    tnw::conv::TiffWriter writer;
    writer.addLong(256, width);
    writer.addLong(257, length);
    writer.addShort(258, bits);
    writer.addShort(259, 32946);
    writer.addShort(262, samples == 3 ? 2 : 1);
    writer.addDataOffset(273);
    writer.addShort(277, samples);
    writer.addLong(278, length);
    writer.addLong(279, uint32_t(data.size()));
    const std::string path = dir.file("inflate.tif");
    if (writer.write(path, reinterpret_cast<const uint8_t*>(data.data()), data.size()) != 0)
        return {};
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif)
        return {};
    std::string pixels(size_t((uint64_t(width) * bits * samples + 7) / 8 * length), '\0');
    const tmsize_t got = TIFFReadEncodedStrip(tif, 0, pixels.data(), tmsize_t(pixels.size()));
    TIFFClose(tif);
    return got < 0 ? std::string() : pixels;
}

}  // namespace tnw::test
