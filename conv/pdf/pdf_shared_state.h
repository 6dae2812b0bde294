// What the PDF writer keeps library-wide, for the caller to read after a job: the job message,
// the cancel flag, the debug flag and one image record per page written. One job runs at a
// time per process; every job starts by clearing this.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tnw::conv {

// One page written into the PDF, in page order; the verification of PDFs made from TIFF files
// compares each raw-copied stream with the TIFF's strips.
struct PdfImageRecord {
    int status = 0;             // 0, or the negative code of the image step
    int64_t streamOffset = 0;   // offset of the first byte after "stream\r\n"
    int64_t streamLength = 0;   // bytes of stream data
    int converted = 0;          // 1: decoded and encoded again, or rebuilt
    int compression = 0;        // the page's TIFF compression
    int pageIndex = 0;          // 0-based directory index in the source
    int bitReversed = 0;        // 1: raw data bit-reversed for fill order 2
};

struct PdfSharedState {
    std::string message;     // the job's last message (code page 932); "" when all went well
    bool cancelled = false;  // the user cancelled the last job
    int debug = 0;           // > 0: English diagnostics go to standard error
    std::vector<PdfImageRecord> records;

    void clearForJob()
    {
        message.clear();
        cancelled = false;
        records.clear();
    }
};

PdfSharedState& pdfShared();

}  // namespace tnw::conv
