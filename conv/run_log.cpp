#include "conv/run_log.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/platform/module_paths.h"
#include "conv/messages.h"
#include "conv/naming.h"
#include "conv/pdf/temporary_file.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace tnw::conv {
namespace {

using platform::sjis;

constexpr const char* kLineEnd = "\r\n";

struct LogFailureText {
    RunLog::LogFailure failure;
    const char* text;  // UTF-8 source text; "%s" stands for the log path
};
constexpr LogFailureText kLogFailureTexts[] = {
    {RunLog::LogFailure::NotCreated, "ログファイル %s を作成できません。"},
    {RunLog::LogFailure::RowsLost, "ログファイル %s に書き込めなかった行があります。"},
    {RunLog::LogFailure::NotFinished, "ログファイル %s を書き終えられません。"},
};
constexpr size_t kRawFields = 10;

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

bool writeWhole(const std::string& path, const std::string& bytes)
{
    std::unique_ptr<FILE, FileCloser> file(platform::openFile(path, "wb"));
    if (!file)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && ok;
}

// The lines of a text, without their line ends (CR LF or LF); a final line end ends no extra
// line.
std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find('\n', from);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(from, end - from);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        from = next;
    }
    return lines;
}

}  // namespace

std::string fallbackLogPath()
{
    const std::string folder = platform::workFolder();
    return folder.empty() ? std::string() : joinPath(folder, kFallbackLogName);
}

std::vector<std::string_view> splitLogFields(std::string_view row, size_t maxFields)
{
    std::vector<std::string_view> fields;
    if (maxFields == 0)
        return fields;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i < row.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(row[i]);
        if (platform::isLeadByte(c)) {
            ++i;  // the trail byte is never a quote or a comma, but it is not scanned either
        } else if (c == '"') {
            // A doubled quote inside a quoted field toggles twice and leaves it quoted.
            quoted = !quoted;
        } else if (c == ',' && !quoted && fields.size() + 1 < maxFields) {
            fields.push_back(row.substr(start, i - start));
            start = i + 1;
        }
    }
    fields.push_back(row.substr(std::min(start, row.size())));
    return fields;
}

std::string finishedRow(std::string_view rawRow)
{
    const std::vector<std::string_view> fields = splitLogFields(rawRow, kRawFields);
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i >= 2 && i <= 4)  // source page count, page number and compression
            continue;
        if (!out.empty() || i > 0)
            out += ',';
        out += fields[i];
    }
    return out;
}

int RunLog::create(const std::string& logPath)
{
    if (logPath.empty())
        return -1;
    if (platform::pathKind(logPath) == platform::PathKind::File)
        platform::deleteFile(logPath);
    const std::string header =
        sjis("jpegフォルダ名,jpegファイル名,pdfフォルダ名,pdfファイル名,pdf頁番号,pdf圧縮,備考") +
        kLineEnd;
    return writeWhole(logPath, header) ? 0 : -1;
}

void RunLog::start(int mode, int grouping, std::time_t startTime)
{
    m_start = startTime;
    m_mode = mode;
    m_grouping = grouping;
    m_failed = false;
}

int RunLog::open(const std::string& logPath)
{
    if (create(logPath) == 0)
        return 0;
    reportFailure(LogFailure::NotCreated, logPath);
    return -1;
}

int RunLog::close(const std::string& input, const std::string& output, int skipExisting,
                  const std::string& logPath)
{
    if (finish(input, output, skipExisting, logPath) == 0)
        return 0;
    reportFailure(LogFailure::NotFinished, logPath);
    return -1;
}

void RunLog::reportFailure(LogFailure failure, const std::string& logPath)
{
    // The first failure names the cause; what follows from it (no rows in a log that was
    // never made, no finished file) adds no further message.
    if (m_failed)
        return;
    m_failed = true;
    for (const LogFailureText& t : kLogFailureTexts) {
        if (t.failure != failure)
            continue;
        std::string text = sjis(t.text);
        text.replace(text.find("%s"), 2, logPath);
        putMessage(text);
    }
}

std::string RunLog::headerBlock(const std::string& input, const std::string& output,
                                int skipExisting) const
{
    std::tm local{};
    localtime_r(&m_start, &local);
    char when[32] = {};
    std::strftime(when, sizeof when, "%y/%m/%d %H:%M:%S", &local);

    std::string block = sjis("*名称,Dravik") + kLineEnd;
    block += sjis("*日時,") + when + kLineEnd;
    block += sjis("*入力,") + input + kLineEnd;
    block += sjis("*出力,") + output + kLineEnd;
    block += sjis("*設定,");
    block += sjis(m_mode > 0 ? "フォルダ単位、" : "ファイル単位、");
    block += sjis(m_grouping > 0 ? "結合" : "1対1");
    block += sjis(skipExisting > 0 ? "、ファイル既存：スキップ" : "、ファイル既存：置換");
    block += kLineEnd;
    return block;
}

int RunLog::finish(const std::string& input, const std::string& output, int skipExisting,
                   const std::string& logPath) const
{
    if (logPath.empty())
        return 0;
    const std::string workFolder = platform::workFolder();
    if (workFolder.empty())
        return -1;
    std::string text = headerBlock(input, output, skipExisting);
    // A log that was never created leaves the header block alone; one that exists but cannot
    // be read is left as it is rather than replaced by a file without its rows.
    std::string raw;
    if (platform::pathKind(logPath) != platform::PathKind::Missing &&
        !platform::readFileBytes(logPath, raw))
        return -1;
    bool first = true;
    for (const std::string_view line : splitLines(raw)) {
        if (first) {
            text += line;
            text += kLineEnd;
            first = false;
        } else if (!line.empty()) {
            text += finishedRow(line);
            text += kLineEnd;
        }
    }

    // The finished text is written to a temporary file of this run's own in the work folder
    // (two runs finishing at once never share one), then renamed over the log.
    TemporaryFile temporary;
    if (!temporary.create(workFolder, kFinishTempName) || !writeWhole(temporary.path(), text))
        return -1;
    // The work folder may lie on another file system than the log: then the finished text is
    // copied over the log instead.
    if (platform::renamePath(temporary.path(), logPath, true)) {
        temporary.keep();
        return 0;
    }
    return platform::copyFile(temporary.path(), logPath, true) ? 0 : -1;
}

RunLog& runLog()
{
    static RunLog log;
    return log;
}

}  // namespace tnw::conv
