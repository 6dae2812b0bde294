#include "app/core/run/conv_library.h"

#include "tnwconv.h"

namespace tnw::app {
namespace {

class TnwConvLibrary : public ConvLibrary {
public:
    int loadIni(const char* iniPath, ConvSettings* record) override
    {
        return sbxLoadIni(iniPath, record);
    }
    int saveIni(const char* iniPath, const ConvSettings* record) override
    {
        return sbxSaveIni(iniPath, record);
    }
    int forceInit(int n) override { return kvl_ForceInit(n); }
    int init() override { return kvlInit(); }
    int reset() override { return kvlReset(); }
    int setHWnd(int window) override { return kvlSetHWnd(window); }
    int setMode(int mode) override { return kvlSetMode(mode); }
    int setOpt(int option, int value) override { return kvlSetOpt(option, value); }
    int sayIni(const ConvSettings* record) override { return kvl_SayIni(record); }
    int getPathTo(int grouping, const char* base, CTnwbuff* slots, const ConvSettings* record,
                  char* folder, char* pdfPath, char* logPath) override
    {
        return kvl_GetPathTo(grouping, base, slots, record, folder, pdfPath, logPath);
    }
    int setPathTo(const char* path) override { return kvlSetPathTo(path); }
    int setPathLog(const char* path) override { return kvlSetPathLog(path); }
    int setPathFrom(const char* path) override { return kvlSetPathFrom(path); }
    int setDocInfo(int type, const char* text, int length) override
    {
        return kvlSetDocInfo(type, text, length);
    }
    int setPdfVersion(int major, int minor) override { return kvlSetPDFVersion(major, minor); }
    int exec() override { return kvlExec(); }
    int setReportProc(KvlReportProc proc, void* user) override
    {
        return kvlSetReportProc(proc, user);
    }
    int getRunCounts(KvlRunCounts* counts) override { return kvlGetRunCounts(counts); }
};

}  // namespace

std::unique_ptr<ConvLibrary> makeConvLibrary()
{
    return std::make_unique<TnwConvLibrary>();
}

ConvSettingsIo settingsIoOf(ConvLibrary& library)
{
    return {[&library](const char* ini, ConvSettings* r) { return library.loadIni(ini, r); },
            [&library](const char* ini, const ConvSettings* r) { return library.saveIni(ini, r); }};
}

}  // namespace tnw::app
