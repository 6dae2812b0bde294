// Writes the sample images of the quick start into the folder given as the only argument.
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

struct Sample {
    const char* name;  // UTF-8 file name
    bool gray;
    bool progressive;
    int width;
    int height;
    int dpi;
};

const Sample kSamples[] = {
    {"colour.jpg", false, false, 640, 480, 150},
    {"grayscale.jpg", true, false, 480, 640, 200},
    {"progressive.jpg", false, true, 600, 400, 150},
    {"見本_和紙.jpg", false, false, 400, 560, 150},
};

// A scan-like picture: a paper-coloured page with bands, a frame and a diagonal wave.
void pixel(int x, int y, int width, int height, unsigned char rgb[3])
{
    const double wave = std::sin((x + 2.0 * y) / 23.0);
    int r = 236, g = 228, b = 210;  // paper
    if (x < 8 || y < 8 || x >= width - 8 || y >= height - 8) {
        r = 60, g = 40, b = 30;
    } else if (y % 64 < 20) {
        const int band = (x * 6 / width) % 6;
        const int colours[6][3] = {{200, 40, 40},  {230, 160, 40}, {60, 160, 70},
                                   {40, 110, 190}, {120, 60, 160}, {90, 90, 90}};
        r = colours[band][0], g = colours[band][1], b = colours[band][2];
    } else if (wave > 0.8) {
        r = 110, g = 90, b = 70;
    }
    rgb[0] = static_cast<unsigned char>(r);
    rgb[1] = static_cast<unsigned char>(g);
    rgb[2] = static_cast<unsigned char>(b);
}

bool write(const std::string& path, const Sample& s)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = static_cast<JDIMENSION>(s.width);
    c.image_height = static_cast<JDIMENSION>(s.height);
    c.input_components = s.gray ? 1 : 3;
    c.in_color_space = s.gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 85, TRUE);
    c.density_unit = 1;  // dots per inch
    c.X_density = static_cast<UINT16>(s.dpi);
    c.Y_density = static_cast<UINT16>(s.dpi);
    if (s.progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(s.width) * c.input_components);
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            unsigned char rgb[3];
            pixel(x, y, s.width, s.height, rgb);
            if (s.gray)
                row[x] = static_cast<JSAMPLE>((rgb[0] * 30 + rgb[1] * 59 + rgb[2] * 11) / 100);
            else
                for (int k = 0; k < 3; ++k)
                    row[static_cast<size_t>(x) * 3 + k] = rgb[k];
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples FOLDER\n");
        return 2;
    }
    for (const Sample& s : kSamples) {
        const std::string path = std::string(argv[1]) + "/" + s.name;
        if (!write(path, s)) {
            std::fprintf(stderr, "make_samples: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
