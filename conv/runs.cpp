#include "conv/runs.h"

#include "common/file_kind.h"
#include "common/module_paths.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "conv/inputs.h"
#include "conv/messages.h"
#include "conv/naming.h"
#include "conv/progress.h"

#include <set>

namespace tnw::conv {
namespace {

using common::ModulePaths;
using platform::PathKind;
using platform::sjis;

// The remarks the drivers write into the log.
enum class Remark { NoPdfPath, SameName, Existing, NoImages, BadName, NotJpeg };
struct RemarkText {
    Remark id;
    const char* text;  // UTF-8 source text
};
constexpr RemarkText kRemarks[] = {
    {Remark::NoPdfPath, "pdfパス名の作成失敗"},
    {Remark::SameName, "同名のためｽｷｯﾌﾟ"},
    {Remark::Existing, "既存のためｽｷｯﾌﾟ"},
    {Remark::NoImages, "該当なし"},
    // A folder holds images whose names have no code page 932 form: they cannot be named in
    // the log or passed on, so the folder's row says so instead of dropping them silently.
    {Remark::BadName, "不正な名前があります。"},
    // A listed file of another kind is passed over in a per-image run. It has no log row, but
    // the run's report names it, so a caller learns that it did not become a page.
    {Remark::NotJpeg, "JPEG以外のためｽｷｯﾌﾟ"},
};

std::string remarkText(Remark id)
{
    for (const RemarkText& r : kRemarks) {
        if (r.id == id)
            return sjis(r.text);
    }
    return std::string();
}

constexpr const char* kFolderFailedMessage = "作業フォルダ作成失敗";

// An existing file at the PDF path is kept when the run skips existing PDFs. Anything else at
// the path (a folder) is left to the writer, which cannot replace it and logs why.
bool keepExisting(const RunRequest& request, const std::string& pdfPath)
{
    return request.skipExisting > 0 && platform::pathKind(pdfPath) == PathKind::File;
}

// What every driver shares: the job, the progress window and the naming of outputs.
struct Driver {
    Driver(const RunRequest& request, RunKind kind)
        : m_request(request),
          m_progress(request.window, kind, static_cast<int>(request.inputs.size())),
          m_job(request.logPath),
          m_naming(request.settings, request.clock),
          m_runStart(common::localTimeOf(request.runStart))
    {
    }

    // The folder's ".jpg" files; images whose names cannot be carried are noted for the folder.
    std::vector<std::string> listImages(const std::string& folder)
    {
        int badNames = 0;
        std::vector<std::string> images = listJpegFiles(folder, &badNames);
        if (badNames > 0)
            m_job.remark(folder, remarkText(Remark::BadName), true);
        return images;
    }

    // Gives the job the run's PDF version and document information.
    void configureJob()
    {
        m_job.setPdfVersion(m_request.settings.nPdfVerMajor, m_request.settings.nPdfVerMinor);
        m_job.setDocInfo(m_request.docInfo);
    }

    // Converts each image of `images` into its own PDF in `outFolder`. Returns the result of
    // the last item, kRunCancelled when the user cancelled.
    int convertImages(const std::vector<std::string>& images, const std::string& outFolder);

    // The mirrored folder of `source`, made level by level. False (after the message) when
    // its path cannot be formed.
    bool mirrorFolder(const std::string& source, std::string& folder)
    {
        if (!mirroredFolder(m_request.output, m_request.baseFolder, source, folder)) {
            putMessage(sjis(kFolderFailedMessage));
            return false;
        }
        // A level that cannot be made ends the making; the writer then fails on the missing
        // folder and logs it.
        makeFolderLevels(folder);
        return true;
    }

    const RunRequest& m_request;
    RunProgress m_progress;
    ConversionJob m_job;
    NamingEngine m_naming;
    common::LocalTime m_runStart;
    std::set<std::string> m_pdfsOfRun;  // the PDFs written by this run's per-image jobs
};

int Driver::convertImages(const std::vector<std::string>& images, const std::string& outFolder)
{
    configureJob();
    CTnwbuff list;
    for (const std::string& image : images) {
        if (list.AddString(image.c_str()) != 0)
            return kTnwBuffNoMemory;
    }
    int result = 0;
    for (const InputItem& item : makeInputItems(list)) {
        const std::string source = item.path ? item.path : "";
        std::string pdf;
        const int rc = m_naming.imagePdfPath(source, outFolder, m_runStart, pdf);
        if (rc != 0) {
            m_job.remark(source, remarkText(Remark::NoPdfPath));
            result = rc;
            continue;
        }
        result = 0;
        if (item.sameName) {
            m_job.remark(source, remarkText(Remark::SameName));
            continue;
        }
        if (item.kind != common::kFileKindJpeg) {
            m_job.passOver(source, remarkText(Remark::NotJpeg));
            continue;
        }
        // Images of the same name from different folders can meet in one output folder: the
        // second never replaces the PDF the first wrote in this run.
        if (m_pdfsOfRun.count(pdf) > 0) {
            m_job.remark(source, remarkText(Remark::SameName));
            continue;
        }
        if (keepExisting(m_request, pdf)) {
            m_job.remark(source, remarkText(Remark::Existing), false, ReportKind::KeptExisting);
            continue;
        }
        result = m_job.writeJpeg(source, pdf, m_progress.proc());
        if (result == 0)
            m_pdfsOfRun.insert(pdf);
        if (m_job.cancelled())
            return kRunCancelled;
    }
    return result;
}

}  // namespace

bool mirroredFolder(const std::string& outputFolder, const std::string& baseFolder,
                    const std::string& sourceFolder, std::string& mirrored)
{
    mirrored.clear();
    std::string base;
    std::string source;
    if (!platform::fullPath(baseFolder, base) || !platform::fullPath(sourceFolder, source))
        return false;
    std::string relative;
    if (base == "/") {
        relative = source.substr(1);
    } else if (source.size() > base.size() && source.compare(0, base.size(), base) == 0 &&
               source[base.size()] == '/') {
        relative = source.substr(base.size() + 1);
    }
    const std::string result = relative.empty() ? outputFolder : joinPath(outputFolder, relative);
    if (result.size() >= common::kMaxPath)
        return false;
    mirrored = result;
    return true;
}

bool makeFolderLevels(const std::string& path)
{
    // '/' is never the trail byte of a double-byte character, so a byte scan finds the levels.
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string level = path.substr(0, slash);
        if (platform::pathKind(level) == PathKind::Missing && !platform::createFolder(level))
            return false;
    }
    if (platform::pathKind(path) == PathKind::Missing && !platform::createFolder(path))
        return false;
    return platform::pathKind(path) == PathKind::Folder;
}

int runFilesEach(const RunRequest& request)
{
    Driver driver(request, RunKind::FilesEach);
    if (request.mirrorSubDirs <= 0)
        return driver.convertImages(request.inputs, request.output);

    // Runs of consecutive files in the same folder go into that folder's mirror.
    int result = 0;
    size_t from = 0;
    while (from < request.inputs.size()) {
        const std::string folder = ModulePaths::folderOf(request.inputs[from]);
        size_t to = from + 1;
        while (to < request.inputs.size() && ModulePaths::folderOf(request.inputs[to]) == folder)
            ++to;
        std::string outFolder;
        if (!driver.mirrorFolder(folder, outFolder))
            return kRunFolderFailed;
        const std::vector<std::string> images(request.inputs.begin() + from,
                                              request.inputs.begin() + to);
        result = driver.convertImages(images, outFolder);
        if (result != 0)
            return result;
        from = to;
    }
    return result;
}

int runFilesJoined(const RunRequest& request)
{
    Driver driver(request, RunKind::FilesJoined);
    driver.configureJob();
    if (keepExisting(request, request.output)) {
        driver.m_job.remark(request.baseFolder, remarkText(Remark::Existing), true,
                            ReportKind::KeptExisting);
        return 0;
    }
    const int rc = driver.m_job.writeList(request.baseFolder, request.inputs, request.output,
                                          driver.m_progress.proc());
    return driver.m_job.cancelled() ? kRunCancelledJoined : rc;
}

int runFoldersEach(const RunRequest& request)
{
    Driver driver(request, RunKind::FoldersEach);
    for (const std::string& folder : request.inputs) {
        std::string outFolder;
        if (request.mirrorSubDirs > 0) {
            if (!driver.mirrorFolder(folder, outFolder))
                return kRunFolderFailed;
        } else {
            outFolder = joinPath(request.output, ModulePaths::lastComponent(folder));
            if (platform::pathKind(outFolder) != PathKind::Folder &&
                !platform::createFolder(outFolder)) {
                putMessage(sjis(kFolderFailedMessage));
                return kRunFolderFailed;
            }
        }
        const std::vector<std::string> images = driver.listImages(folder);
        if (images.empty()) {
            driver.m_job.remark(folder, remarkText(Remark::NoImages), true);
            continue;
        }
        driver.m_progress.nextFolder();
        if (driver.convertImages(images, outFolder) == kRunCancelled)
            return kRunCancelled;
    }
    return 0;
}

int runFoldersJoined(const RunRequest& request)
{
    Driver driver(request, RunKind::FoldersJoined);
    int result = 0;
    for (const std::string& folder : request.inputs) {
        driver.m_progress.nextFolder();
        std::vector<std::string> images = driver.listImages(folder);
        if (images.empty()) {
            driver.m_job.remark(folder, remarkText(Remark::NoImages), true);
            result = 0;
            continue;
        }
        std::string outFolder = request.output;
        if (request.mirrorSubDirs > 0 &&
            mirroredFolder(request.output, request.baseFolder, folder, outFolder))
            makeFolderLevels(outFolder);
        std::string pdf;
        int rc = request.mirrorSubDirs > 0 && outFolder.empty()
                     ? kPathTooLong
                     : driver.m_naming.folderPdfPath(folder, outFolder, pdf);
        if (rc != 0) {
            driver.m_job.remark(folder, remarkText(Remark::NoPdfPath), true);
            result = rc;
            continue;
        }
        if (keepExisting(request, pdf)) {
            driver.m_job.remark(folder, remarkText(Remark::Existing), true,
                                ReportKind::KeptExisting);
            result = 0;
            continue;
        }
        driver.configureJob();
        sortNatural(images);
        result = driver.m_job.writeList(folder, images, pdf, driver.m_progress.proc());
        // After a cancel no later folder is handed to the writer: it would only replace each
        // folder's PDF with an empty document.
        if (driver.m_job.cancelled())
            return kRunCancelledJoined;
    }
    return result;
}

}  // namespace tnw::conv
