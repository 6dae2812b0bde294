// The exported functions of input checking and output naming. Each is a thin wrapper that
// calls into the inputs and naming modules through one guard, so no exception leaves the
// library.
#include "tnwconv.h"

#include "conv/api_guard.h"
#include "conv/inputs.h"
#include "conv/naming.h"

using tnw::conv::guarded;

TNWCONV_API int sbxMakeInputText(int mode, int fromDescription, CTnwbuff* inputs,
                                 CTnwbuff* checked, char* firstFolder, char* singlePath)
{
    return guarded(kTnwBuffNoMemory, [=] {
        return tnw::conv::makeInputText(mode, fromDescription, inputs, checked, firstFolder,
                                        singlePath);
    });
}

TNWCONV_API int sbxGetPathTo(int kind, const char* base, const char* output, char* resolved)
{
    return guarded(-1, [=] { return tnw::conv::checkOutputPath(kind, base, output, resolved); });
}

TNWCONV_API int sbxGetPathTo2(int mode, int grouping, const char* base, const char* output,
                              char* resolved)
{
    return guarded(-1, [=] {
        return tnw::conv::checkOutputPath2(mode, grouping, base, output, resolved);
    });
}

// `slots` holds one entry per input; only the caller reads it.
TNWCONV_API int kvl_GetPathTo(int /*unused*/, const char* base, CTnwbuff* /*slots*/,
                              const ConvSettings* record, char* folder, char* pdfPath,
                              char* logPath)
{
    return guarded(tnw::conv::kFolderRulesFailed, [=] {
        return tnw::conv::getPathTo(base, record, folder, pdfPath, logPath);
    });
}

TNWCONV_API int kvl_GetDirTo(const ConvSettings* record, const char* folder, char* outFolder)
{
    return guarded(-1, [=] { return tnw::conv::getDirTo(record, folder, outFolder); });
}

TNWCONV_API int sbxDoRename(const char* path, char* newName, const ConvSettings* record)
{
    return guarded(-1, [=] { return tnw::conv::numberForRename(path, newName, record); });
}
