// The TIFF-to-PDF jobs: one TIFF file into one PDF, or every TIFF file of a folder into PDFs of
// the same names in an output folder, each checked against its source when asked.
#pragma once

#include "conv/pdf/pdf_writer.h"

#include <string>
#include <vector>

namespace tnw::conv {

// The list of the files that failed in a folder job, in the job's output folder.
inline constexpr char kTiffErrorListName[] = "tif2pdf_err.txt";

// Progress phase of the report just before the verification: (-2, -1, page records).
constexpr int kPhaseVerify = -2;

// Converts `tiffPath` with `writer` (configured by the caller) into `pdfPath`. When the
// conversion fails or is cancelled, the job message says so and its code is returned; a
// conversion that wrote no page returns -1 with the same message. Otherwise, with `checkPdf`
// and unless the job was cancelled, the PDF is verified and the verification's result is
// returned; without it 0.
int convertTiffFile(PdfWriter& writer, const std::string& tiffPath, const std::string& pdfPath,
                    const ProgressProc& progress, bool checkPdf);

struct TiffFolderResult {
    int files = 0;                    // TIFF files converted (or tried)
    std::vector<std::string> failed;  // the files whose conversion or check failed, in order
    std::string listPath;             // the list of failed files ("" when none was written)
};

// Converts every TIFF file (".tif", ".tiff") of `folder` (no sub-folders, in name order) into
// `outputFolder`/<base name>.pdf through convertTiffFile. "tif2pdf_err.txt" in the output folder
// is deleted first and, when a file failed, written anew with one full source path per line.
// Returns 0 when every file went well; -1 when a file failed, the folder cannot be listed or
// holds no TIFF file; the writer's code when the job was cancelled. The job message says
// what went wrong.
int convertTiffFolder(PdfWriter& writer, const std::string& folder,
                      const std::string& outputFolder, const ProgressProc& progress,
                      bool checkPdf, TiffFolderResult* result = nullptr);

}  // namespace tnw::conv
