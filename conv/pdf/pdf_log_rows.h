// The rows the PDF writer appends to the conversion log: page written, page skipped and file
// refused. Rows are code page 932 text, fields separated by commas, the folder and file fields
// in double quotes (a double quote inside such a field is doubled), each row ended by CR LF.
#pragma once

#include <cstdio>
#include <string>

namespace tnw::conv {

// The source compression name of a TIFF compression; "Jpeg ﾌｧｲﾙ" for a page made from a JPEG
// file.
std::string sourceCompressionName(int tiffCompression, bool fromJpegFile);
// The PDF compression name (0 none, 1 Group 4, 2 JPEG, 4 Deflate).
std::string pdfCompressionName(int pdfCompression);

// The folder of a path without its final separator ("/" for the root), and the file name.
std::string logFolderOf(const std::string& path);
std::string logFileNameOf(const std::string& path);

// The message field: the note, "、" and the message, the note alone or the message alone.
std::string logMessageField(const std::string& message, const std::string& note);

// A field in double quotes, with inner double quotes doubled.
std::string quotedField(const std::string& text);

struct LogPageFields {
    std::string sourcePath;
    int pagesInSource = 0;
    int pageInSource = 0;       // 1-based
    std::string sourceCompression;
    std::string outputPath;
    int pdfPage = 0;            // 1-based
    std::string pdfCompression;
    std::string message;
};

std::string pageWrittenRow(const LogPageFields& f);
std::string pageSkippedRow(const LogPageFields& f);
// `withPages`: the page fields are known; `withOutput`: the output fields are filled (only the
// row of an empty list, whose source text stands in the folder field).
std::string fileRefusedRow(const std::string& sourceFolder, const std::string& sourceName,
                           const LogPageFields& f, bool withPages, bool withOutput);

// Appends one row to the log (opened for appending and closed again). No log path: nothing.
bool appendLogRow(const std::string& logPath, const std::string& row);

// Appends rows to one log through one stream, opened at the first row and kept open until
// close(): a job's rows cost one open. A failed open or write makes close() false.
class LogAppender {
public:
    LogAppender() = default;
    ~LogAppender();
    LogAppender(const LogAppender&) = delete;
    LogAppender& operator=(const LogAppender&) = delete;

    // Appends `row` to `logPath` (a different path than the open stream's closes that first);
    // false when the log cannot be opened or the row cannot be written.
    bool append(const std::string& logPath, const std::string& row);
    // Writes out what is buffered and closes the stream; false when a row since the last
    // close() was lost.
    bool close();

private:
    std::FILE* m_file = nullptr;
    std::string m_path;
    bool m_failed = false;
};

// Creates (empties) the writer's own log with its ten-column header line.
bool createWriterLog(const std::string& logPath);

}  // namespace tnw::conv
