#include "conv/tiff_jobs.h"

#include "CTnwbuff.h"
#include "common/file_kind.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/text_file.h"
#include "conv/messages.h"
#include "conv/pdf/pdf_messages.h"
#include "conv/verify.h"

namespace tnw::conv {

namespace {

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string conversionFailed(const std::string& tiffPath)
{
    return format(platform::sjis("%s のpdf作成が失敗しました。pdfの作成を中止します。").c_str(),
                  tiffPath.c_str());
}

// Writes the failed files, one per line, and reads the list back. The number of lines read,
// or -1 when the list cannot be written or read.
int writeErrorList(const std::string& listPath, const std::vector<std::string>& failed)
{
    CTnwbuff lines;
    for (const std::string& path : failed) {
        if (lines.AddString(path.c_str()) != kTnwBuffOk)
            return -1;
    }
    if (common::writeLines(listPath, lines) != 0)
        return -1;
    CTnwbuff back;
    if (common::readLines(listPath, back, 0) != 0)
        return -1;
    return back.Count();
}

}  // namespace

int convertTiffFile(PdfWriter& writer, const std::string& tiffPath, const std::string& pdfPath,
                    const ProgressProc& progress, bool checkPdf)
{
    PdfSharedState& shared = pdfShared();
    const int rc = writer.pdfWriteTiffFile(shared.debug, 0, tiffPath, pdfPath, progress);
    if (rc == kPdfNoPageWritten) {
        // Every page was refused: no PDF was written, which must not pass for success.
        shared.message = conversionFailed(tiffPath);
        return kPdfOutputFailed;
    }
    if (rc != 0) {
        shared.message = conversionFailed(tiffPath);
        return rc;
    }
    if (shared.cancelled)
        return 0;
    if (shared.records.empty()) {
        // Every page was refused: no PDF was written, which must not pass for success.
        shared.message = conversionFailed(tiffPath);
        return kPdfOutputFailed;
    }
    if (!checkPdf)
        return 0;
    // The records are read while the verification may change the shared state's message.
    const std::vector<PdfImageRecord> records = shared.records;
    if (progress)
        progress(kPhaseVerify, -1, int(records.size()));
    return verifyPdf(tiffPath, pdfPath, records, progress);
}

int convertTiffFolder(PdfWriter& writer, const std::string& folder,
                      const std::string& outputFolder, const ProgressProc& progress,
                      bool checkPdf, TiffFolderResult* result)
{
    TiffFolderResult local;
    TiffFolderResult& out = result ? *result : local;
    out = TiffFolderResult{};
    PdfSharedState& shared = pdfShared();

    const std::string listPath = joinPath(outputFolder, kTiffErrorListName);
    platform::deleteFile(listPath);

    std::vector<platform::FolderEntry> entries;
    std::vector<std::string> sources;
    if (platform::listFolder(folder, entries)) {
        for (const platform::FolderEntry& entry : entries) {
            if (!entry.isFolder && !entry.badName &&
                common::fileKindOf(entry.name) == common::kFileKindTiff)
                sources.push_back(joinPath(folder, entry.name));
        }
    }
    if (sources.empty()) {
        shared.clearForJob();
        shared.message = pdfMessageText(PdfMsg::NoFiles);
        return -1;
    }

    for (const std::string& source : sources) {
        std::string name = source.substr(source.rfind('/') + 1);
        name.resize(name.rfind('.'));
        ++out.files;
        const int rc = convertTiffFile(writer, source, joinPath(outputFolder, name + ".pdf"),
                                       progress, checkPdf);
        if (rc != 0) {
            std::string full;
            out.failed.push_back(platform::fullPath(source, full) ? full : source);
        }
        if (shared.cancelled)
            return rc != 0 ? rc : kPdfCancelled;
    }
    if (out.failed.empty())
        return 0;

    const int listed = writeErrorList(listPath, out.failed);
    if (listed > 0) {
        out.listPath = listPath;
        shared.message =
            format(platform::sjis("tif2pdf: %d 個のファイルにエラーがありました。\n"
                                  "%s のエラーファイル一覧表を参照したください。")
                       .c_str(),
                   listed, listPath.c_str());
    } else {
        shared.message = platform::sjis(
            "tif2pdf: エラーがありました。出力フォルダの *.ckpdf.txt を参照してください。");
    }
    return -1;
}

}  // namespace tnw::conv
