// The verification of a PDF written from a TIFF file: every image stream that was copied raw
// into the PDF must hold, byte for byte, the data stored in the strips of its TIFF page. The
// findings go into a report next to the source TIFF, kept only when a page differs.
#pragma once

#include "conv/pdf/pdf_shared_state.h"
#include "conv/pdf/pdf_writer.h"

#include <string>
#include <vector>

namespace tnw::conv {

// The name the report adds to the source's base name.
inline constexpr char kCheckReportSuffix[] = "_ckpdf.txt";

// Results of the verification besides 0.
constexpr int kVerifyDiffers = -1;        // a page differed, or the PDF could not be opened
constexpr int kVerifyReportFailed = -2;   // the report could not be created or written

// Codes of a stream read from the PDF.
constexpr int kStreamSeekFailed = -302;
constexpr int kStreamShortRead = -301;
constexpr int kStreamNoMemory = -317;

// The report of `tiffPath`: its folder (made full against the current folder), '/', its base
// name without extension, then "_ckpdf.txt". "" when the path cannot be made full.
std::string checkReportPath(const std::string& tiffPath);

// Checks the PDF at `pdfPath` against the TIFF at `tiffPath`, page record by page record.
// `progress` (may be empty) gets (0, i, records) before page i; 0 stops the check. Returns 0
// when every examined page matched (the report is then deleted), -1 when a page differed (the
// report stays) or the PDF cannot be opened, -2 when the report cannot be created or written.
// Sets the job message of pdfShared() and, with `differing`, the number of differing pages.
int verifyPdf(const std::string& tiffPath, const std::string& pdfPath,
              const std::vector<PdfImageRecord>& records, const ProgressProc& progress,
              int* differing = nullptr);

}  // namespace tnw::conv
