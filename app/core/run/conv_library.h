// The conversion library as the program drives it: one virtual call per exported function
// used, so that a test can record the calls of a run and answer them.
#pragma once

#include "CTnwbuff.h"
#include "ConvSettings.h"
#include "tnwconv.h"

#include <functional>
#include <memory>

namespace tnw::app {

class ConvLibrary {
public:
    virtual ~ConvLibrary() = default;
    virtual int loadIni(const char* iniPath, ConvSettings* record) = 0;
    virtual int saveIni(const char* iniPath, const ConvSettings* record) = 0;
    virtual int forceInit(int n) = 0;
    virtual int init() = 0;
    virtual int reset() = 0;
    virtual int setHWnd(int window) = 0;
    virtual int setMode(int mode) = 0;
    virtual int setOpt(int option, int value) = 0;
    virtual int sayIni(const ConvSettings* record) = 0;
    // `folder` and `pdfPath` are buffers of 260 bytes, `logPath` of 400.
    virtual int getPathTo(int grouping, const char* base, CTnwbuff* slots,
                          const ConvSettings* record, char* folder, char* pdfPath,
                          char* logPath) = 0;
    virtual int setPathTo(const char* path) = 0;
    virtual int setPathLog(const char* path) = 0;
    virtual int setPathFrom(const char* path) = 0;
    virtual int setDocInfo(int type, const char* text, int length) = 0;
    virtual int setPdfVersion(int major, int minor) = 0;
    virtual int exec() = 0;
    virtual int setReportProc(KvlReportProc proc, void* user) = 0;
    virtual int getRunCounts(KvlRunCounts* counts) = 0;
};

// The library itself (libtnwconv.so).
std::unique_ptr<ConvLibrary> makeConvLibrary();

// How the program reads and writes the conversion library's settings sections.
struct ConvSettingsIo {
    std::function<int(const char* iniPath, ConvSettings* record)> load;
    std::function<int(const char* iniPath, const ConvSettings* record)> save;
};
// loadIni and saveIni of `library`, which must outlive the returned functions.
ConvSettingsIo settingsIoOf(ConvLibrary& library);

}  // namespace tnw::app
