// Probing and decoding JPEG and TIFF pages for display. Every call is self-contained: error
// managers and libtiff's handlers belong to the call, nothing global or static is touched, so
// worker threads may call these at once. Sizes from a header are checked before anything is
// allocated; no full-size page is ever held (JPEG rows stream through DCT scaling into the
// reducer, TIFF rows or strips likewise); nothing is written to disk.
#pragma once

#include "common/image/image_source.h"
#include "common/image/page_info.h"
#include "common/image/reducer.h"

#include <QImage>

#include <string>
#include <vector>

namespace tnw::image {

// The pages of a file: one record for a JPEG, one per directory for a TIFF (at most
// kMaxTiffPages), a format-0 record for any other kind. Returns 0, or -1 with one format -1
// record saying why. `format` is the file-kind code of the name (11, 12 or 14).
int probePages(ImageSource& source, int format, std::vector<PageInfo>& pages);
// The same for a file by its name's kind (code page 932 path).
int probeFile(const std::string& path, std::vector<PageInfo>& pages);

struct DecodeRequest {
    int pageIndex = 0;
    int boxWidth = 120;
    int boxHeight = 120;
    int rotation = 0;  // display turn: 0, 90, 180 or 270 degrees clockwise
};

struct DecodeResult {
    int code = decode::Failed;  // decode::Ok or a failure code
    QImage image;               // Grayscale8 or RGB888, top-down, fitted into the box
    int warnings = 0;           // libjpeg's warnings (a truncated file stops at the first)
    std::string message;
};

// Decodes one page fitted into the box: the aspect corrected for unequal resolutions, reduced
// (never enlarged), then turned by the TIFF orientation and the request's rotation.
DecodeResult decodePage(ImageSource& source, const PageInfo& page, const DecodeRequest& request);
DecodeResult decodeFile(const std::string& path, const PageInfo& page,
                        const DecodeRequest& request);

// --- Pieces shared by the JPEG and TIFF halves --------------------------------------------
// The aspect-corrected size of a page (equal to its pixel size unless both millimetre sizes
// are finite and positive and the resolutions differ by 0.01 or more).
void correctedSize(const PageInfo& page, int& cw, int& ch);
// The output size of a page in a box (the box swapped for quarter turns is the caller's).
FitSize pageFit(const PageInfo& page, int boxW, int boxH);

DecodeResult decodeJpeg(ImageSource& source, const PageInfo& page, int outW, int outH);
DecodeResult decodeTiff(ImageSource& source, const PageInfo& page, int outW, int outH);
int probeJpeg(ImageSource& source, PageInfo& page);
int probeTiff(ImageSource& source, std::vector<PageInfo>& pages);

}  // namespace tnw::image
