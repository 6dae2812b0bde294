/* Writes small JPEG files of every kind the converter meets into the folder given: baseline,
 * grayscale, progressive, arithmetic-coded, CMYK with and without the Adobe marker, YCCK,
 * restart intervals and densities. Built and run by the seed scripts. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>

struct seed {
    const char* name;
    int width, height;
    J_COLOR_SPACE input;
    J_COLOR_SPACE coded; /* JCS_UNKNOWN: libjpeg's default for the input */
    int adobe;           /* -1 default, 0 none, 1 write */
    int jfif;
    int progressive, arithmetic;
    unsigned restart;
    int unit, xdensity, ydensity;
};

static const struct seed seeds[] = {
    {"baseline.jpg", 16, 16, JCS_RGB, JCS_UNKNOWN, -1, 1, 0, 0, 0, 1, 300, 300},
    {"gray.jpg", 9, 7, JCS_GRAYSCALE, JCS_UNKNOWN, -1, 1, 0, 0, 0, 0, 1, 1},
    {"progressive.jpg", 24, 16, JCS_RGB, JCS_UNKNOWN, -1, 1, 1, 0, 0, 2, 118, 118},
    {"gray_progressive.jpg", 8, 8, JCS_GRAYSCALE, JCS_UNKNOWN, -1, 1, 1, 0, 0, 1, 72, 72},
    {"arithmetic.jpg", 16, 8, JCS_RGB, JCS_UNKNOWN, -1, 1, 0, 1, 0, 1, 200, 200},
    {"arithmetic_progressive.jpg", 16, 8, JCS_RGB, JCS_UNKNOWN, -1, 1, 1, 1, 0, 0, 1, 1},
    {"cmyk_adobe.jpg", 8, 8, JCS_CMYK, JCS_UNKNOWN, 1, 0, 0, 0, 0, 0, 1, 1},
    {"cmyk_plain.jpg", 8, 8, JCS_CMYK, JCS_UNKNOWN, 0, 0, 0, 0, 0, 0, 1, 1},
    {"ycck.jpg", 8, 8, JCS_CMYK, JCS_YCCK, -1, 0, 1, 0, 0, 0, 1, 1},
    {"rgb_coded.jpg", 8, 8, JCS_RGB, JCS_RGB, -1, 0, 0, 0, 0, 0, 1, 1},
    {"restart.jpg", 32, 32, JCS_RGB, JCS_UNKNOWN, -1, 1, 0, 0, 1, 1, 300, 300},
    {"no_jfif.jpg", 8, 8, JCS_RGB, JCS_UNKNOWN, -1, 0, 0, 0, 0, 0, 1, 1},
    {"tall.jpg", 1, 300, JCS_GRAYSCALE, JCS_UNKNOWN, -1, 1, 0, 0, 0, 0, 1, 1},
};

static int write_seed(const char* folder, const struct seed* s)
{
    char path[4096];
    snprintf(path, sizeof path, "%s/%s", folder, s->name);
    FILE* f = fopen(path, "wb");
    if (!f)
        return -1;
    struct jpeg_compress_struct c;
    struct jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = (JDIMENSION)s->width;
    c.image_height = (JDIMENSION)s->height;
    c.in_color_space = s->input;
    c.input_components = s->input == JCS_GRAYSCALE ? 1 : s->input == JCS_CMYK ? 4 : 3;
    jpeg_set_defaults(&c);
    if (s->coded != JCS_UNKNOWN)
        jpeg_set_colorspace(&c, s->coded);
    jpeg_set_quality(&c, 50, TRUE);
    if (s->adobe >= 0)
        c.write_Adobe_marker = s->adobe ? TRUE : FALSE;
    c.write_JFIF_header = s->jfif ? TRUE : FALSE;
    c.density_unit = (UINT8)s->unit;
    c.X_density = (UINT16)s->xdensity;
    c.Y_density = (UINT16)s->ydensity;
    c.restart_interval = s->restart;
    c.arith_code = s->arithmetic ? TRUE : FALSE;
    if (s->progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    JSAMPLE* row = malloc((size_t)s->width * (size_t)c.input_components);
    for (int y = 0; y < s->height; ++y) {
        for (int i = 0; i < s->width * c.input_components; ++i)
            row[i] = (JSAMPLE)(i * 7 + y * 13);
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    free(row);
    return fclose(f) == 0 ? 0 : -1;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    for (size_t i = 0; i < sizeof seeds / sizeof seeds[0]; ++i) {
        if (write_seed(argv[1], &seeds[i]) != 0) {
            fprintf(stderr, "cannot write %s\n", seeds[i].name);
            return 1;
        }
    }
    return 0;
}
