// The exported call interface of the conversion library. Each entry point is a thin wrapper:
// it calls into the job state through one guard, so no exception ever leaves the library.
#include "tnwconv.h"

#include "conv/api_guard.h"
#include "conv/conv_settings.h"
#include "conv/job_state.h"
#include "conv/messages.h"

using tnw::conv::guarded;
using tnw::conv::jobState;

TNWCONV_API int kvlInit(void)
{
    return guarded(-1, [] {
        if (jobState().initialised <= 0)
            jobState().initialised = 8;
        return 0;
    });
}

TNWCONV_API int kvl_ForceInit(int n)
{
    return guarded(-1, [=] {
        jobState().initialised = n;
        return n;
    });
}

TNWCONV_API int kvlReset(void)
{
    return guarded(-1, [] {
        jobState().reset();
        return 0;
    });
}

TNWCONV_API int kvlSetHWnd(int window)
{
    return guarded(-1, [=] {
        jobState().window = window;
        return 0;
    });
}

TNWCONV_API int kvlSetMode(int mode)
{
    return guarded(-1, [=] { return jobState().setMode(mode); });
}

TNWCONV_API int kvlSetOpt(int option, int value)
{
    return guarded(-1, [=] { return jobState().setOption(option, value); });
}

TNWCONV_API int kvlSetPathFrom(const char* path)
{
    return guarded(-9, [=] { return jobState().addInput(path); });
}

TNWCONV_API int kvlSetPathTo(const char* path)
{
    return guarded(-1, [=] { return jobState().setOutputPath(path); });
}

TNWCONV_API int kvlSetPathText(const char* path)
{
    return guarded(-1, [=] { return jobState().setTextPath(path); });
}

TNWCONV_API int kvlSetPathLog(const char* path)
{
    return guarded(-1, [=] { return jobState().setLogPath(path); });
}

TNWCONV_API int kvl_SetPathLog(const char* path)
{
    return guarded(-1, [=] { return jobState().setLogPath(path); });
}

TNWCONV_API int kvlSetDocInfo(int type, const char* text, int length)
{
    return guarded(kTnwBuffNoMemory, [=] { return jobState().setDocInfo(type, text, length); });
}

TNWCONV_API int kvlSetPDFVersion(int major, int minor)
{
    return guarded(-1, [=] { return jobState().setPdfVersion(major, minor); });
}

TNWCONV_API int kvl_SayIni(const ConvSettings* record)
{
    return guarded(-1, [=] { return record ? jobState().takeSettings(*record) : -1; });
}

TNWCONV_API int kvlDebug(int type)
{
    return guarded(-1, [=] { return jobState().setDebug(type); });
}

TNWCONV_API int sbxPutMsg(const char* text)
{
    return guarded(-1, [=] {
        tnw::conv::putMessage(text ? text : "");
        return 0;
    });
}

TNWCONV_API int sbxLoadIni(const char* iniPath, ConvSettings* record)
{
    return guarded(-1, [=] {
        if (!record)
            return -1;
        tnw::conv::loadSettings(iniPath ? iniPath : "", *record);
        return 0;
    });
}

TNWCONV_API int sbxSaveIni(const char* iniPath, const ConvSettings* record)
{
    return guarded(-1, [=] {
        if (!record || !iniPath)
            return -1;
        tnw::conv::saveSettings(iniPath, *record);
        return 0;
    });
}
