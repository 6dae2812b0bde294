// The conversion log of a run. kvlExec creates the file with its column header once the job's
// checks have passed; during the run
// the PDF writer and the drivers append raw rows of ten fields; at the end the file is
// rewritten with the header block in front and each raw row cut to the seven columns of the
// header. Everything is code page 932 text with CR LF line ends.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace tnw::conv {

// The log the rows go to when a job has no log path, and the base name of the temporary file
// of the rewrite (each run makes one of its own); both live in the work folder.
inline constexpr const char* kFallbackLogName = "tnwlogt2p.csv";
inline constexpr const char* kFinishTempName = "tnwlogt2p_.csv";

// The fallback log in the work folder ("" when the work folder cannot be had).
std::string fallbackLogPath();

// Splits a raw row (without its line end) at the commas outside double quotes into at most
// `maxFields` fields; the last field takes the rest of the row. Fields keep their quotes. A
// double-byte character is never split.
std::vector<std::string_view> splitLogFields(std::string_view row, size_t maxFields);

// A raw row of ten fields cut to the seven columns of the finished log: source folder and
// file, PDF folder and file, PDF page number, PDF compression, remark.
std::string finishedRow(std::string_view rawRow);

class RunLog {
public:
    // Deletes any file at `logPath` and writes the column header line. Returns 0 or -1.
    static int create(const std::string& logPath);

    // Begins a run: its mode (> 0 folder mode), grouping (> 0 joined) and start time. The run
    // has no log failure yet.
    void start(int mode, int grouping, std::time_t startTime);

    // create and finish for the run begun by start: a log that cannot be created or finished
    // is named in a message of the library and marks the run's log as failed. Returns 0 or -1.
    int open(const std::string& logPath);
    int close(const std::string& input, const std::string& output, int skipExisting,
              const std::string& logPath);
    // True when this run's log could not be created or finished.
    bool failed() const { return m_failed; }

    // What went wrong with a log; each has its message.
    enum class LogFailure {
        NotCreated,   // the file could not be created with its column header
        RowsLost,     // a row of the run could not be appended
        NotFinished,  // the finished file could not replace the raw one
    };
    // Marks the run's log as failed; the first failure of a run names the log and what went
    // wrong in a message of the library.
    void reportFailure(LogFailure failure, const std::string& logPath);

    // The header block of the finished file for the run begun by start.
    std::string headerBlock(const std::string& input, const std::string& output,
                            int skipExisting) const;

    // Rewrites the log at `logPath` (nothing when it is empty): the header block, then the
    // first line as it is, then every later row cut by finishedRow. The finished file replaces
    // the raw one in one step. Returns 0, or -1 with the log left as it was.
    int finish(const std::string& input, const std::string& output, int skipExisting,
               const std::string& logPath) const;

private:
    std::time_t m_start = 0;
    int m_mode = 0;
    int m_grouping = 0;
    bool m_failed = false;
};

// The library's run log, begun afresh by each kvlExec.
RunLog& runLog();

}  // namespace tnw::conv
