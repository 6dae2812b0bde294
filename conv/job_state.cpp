#include "conv/job_state.h"

#include "common/platform/cp932.h"
#include "conv/messages.h"

#include <cstring>

namespace tnw::conv {
namespace {

// The setters' common check of a path argument: -1 null, -2 empty or longer than 260 bytes.
int checkPath(const char* path)
{
    if (!path)
        return -1;
    const size_t n = strnlen(path, kPathSize + 1);
    if (n == 0 || n > static_cast<size_t>(kPathSize))
        return -2;
    return 0;
}

}  // namespace

JobState::JobState()
{
    inputs.Init();
    m_docStorage.Init();
}

void JobState::reset()
{
    window = 0;
    outputPath[0] = '\0';
    textPath[0] = '\0';
    std::memset(&settings, 0, sizeof settings);
    grouping = 0;
    inputs.Reset();
    m_docStorage.Reset();
    std::memset(m_docInfo, 0, sizeof m_docInfo);
    logPath[0] = '\0';
    skipExisting = 0;
    mirrorSubDirs = 0;
}

int JobState::setMode(int mode)
{
    const bool ok = mode == 0 || mode == 1;
    if (ok)
        settings.nMode = mode;
    if (debug)
        putMessage(format(ok ? "sbcSetMode( OK ); nMode( %d )" : "sbcSetMode( NG ); nMode( %d )",
                          mode));
    return ok ? 0 : -1;
}

int JobState::setOption(int option, int value)
{
    bool ok = true;
    if (option == 1)
        grouping = value;
    else if (option == 2)
        settings.nMakeLog = value;
    else
        ok = false;
    if (debug)
        putMessage(format(ok ? "sbcSetOpt( OK ); nOpt( %d ) nVal( %d )"
                             : "sbcSetOpt( NG ); nOpt( %d ) nVal( %d )",
                          option, value));
    return ok ? 0 : -1;
}

int JobState::addInput(const char* path)
{
    if (int rc = checkPath(path))
        return rc;
    return inputs.AddString(path) == 0 ? 0 : -9;
}

int JobState::setOutputPath(const char* path)
{
    if (int rc = checkPath(path))
        return rc;
    std::strcpy(outputPath, path);
    return 0;
}

int JobState::setTextPath(const char* path)
{
    if (int rc = checkPath(path))
        return rc;
    std::strcpy(textPath, path);
    return 0;
}

int JobState::setLogPath(const char* path)
{
    // A null path means no log. A path that does not fit the log path buffer is refused rather
    // than cut, so a run never writes its log to a truncated name.
    if (!path) {
        logPath[0] = '\0';
        return 0;
    }
    const size_t n = strnlen(path, kLogPathSize);
    if (n >= static_cast<size_t>(kLogPathSize))
        return -2;
    std::memcpy(logPath, path, n + 1);
    return 0;
}

int JobState::setDocInfo(int type, const char* text, int length)
{
    if (!text || length <= 0 || type < kDocTitle || type > kDocKeywords)
        return -1;
    // Copies at most `length` bytes and stops at the text's terminating zero: a length larger
    // than the text must not read past it.
    const int n = static_cast<int>(strnlen(text, static_cast<size_t>(length)));
    // Never end the copy on the first byte of a double-byte character.
    const int cut = static_cast<int>(platform::cp932CutLength(std::string_view(text, n), n));
    // A copy without a whole character is the empty text (one block of just its zero).
    const int rc = cut > 0 ? m_docStorage.AddText(text, cut) : m_docStorage.AddText("", 1);
    if (rc != 0)
        return rc;
    m_docInfo[type - 1] = m_docStorage.Text();
    return 0;
}

int JobState::setPdfVersion(int major, int minor)
{
    settings.nPdfVerMajor = 1;
    settings.nPdfVerMinor = 1;
    if (major <= 0)
        return -1;
    if (minor <= 0)
        return -2;
    settings.nPdfVerMajor = major;
    settings.nPdfVerMinor = minor;
    return 0;
}

int JobState::takeSettings(const ConvSettings& record)
{
    skipExisting = record.nFiling;
    mirrorSubDirs = record.nSubDirMirror;
    settings.nNameingFile = record.nNameingFile;
    settings.nNameingDir = record.nNameingDir;
    std::memcpy(settings.szMetaFile, record.szMetaFile, sizeof settings.szMetaFile);
    std::memcpy(settings.szMetaDir, record.szMetaDir, sizeof settings.szMetaDir);
    // The record comes from the caller: make sure the copies are terminated.
    settings.szMetaFile[sizeof settings.szMetaFile - 1] = '\0';
    settings.szMetaDir[sizeof settings.szMetaDir - 1] = '\0';
    return 0;
}

int JobState::setDebug(int type)
{
    if (type == 1) {
        if (!debug)
            putMessage(platform::sjis("デバッグ設定"));
        debug = 1;
        return 0;
    }
    if (type == 0) {
        if (debug)
            putMessage(platform::sjis("デバッグ解除"));
        debug = 0;
        return 0;
    }
    putMessage(format(platform::sjis("kvlDebug; nType( %d ) は不正です。kvlDebugを無視します。").c_str(),
                      type));
    return -1;
}

const char* JobState::docInfo(int type) const
{
    if (type < kDocTitle || type > kDocKeywords || !m_docInfo[type - 1])
        return "";
    return m_docInfo[type - 1];
}

JobState& jobState()
{
    static JobState state;
    return state;
}

}  // namespace tnw::conv
