// The call interface of the conversion library libtnwconv.so. Every function returns an int:
// 0 for success, a negative code for failure. Strings are zero-terminated code page 932 byte
// strings owned by the caller; the library copies what it keeps.
#pragma once

#include "CTnwbuff.h"
#include "ConvSettings.h"
#include "tnw_export.h"

// Job state and setters.
TNWCONV_API int kvlInit(void);
TNWCONV_API int kvl_ForceInit(int n);
TNWCONV_API int kvlReset(void);
TNWCONV_API int kvlSetHWnd(int window);
TNWCONV_API int kvlSetMode(int mode);
TNWCONV_API int kvlSetOpt(int option, int value);
TNWCONV_API int kvlSetPathFrom(const char* path);
TNWCONV_API int kvlSetPathTo(const char* path);
TNWCONV_API int kvlSetPathText(const char* path);
TNWCONV_API int kvlSetPathLog(const char* path);
TNWCONV_API int kvl_SetPathLog(const char* path);
TNWCONV_API int kvlSetDocInfo(int type, const char* text, int length);
TNWCONV_API int kvlSetPDFVersion(int major, int minor);
TNWCONV_API int kvl_SayIni(const ConvSettings* record);
TNWCONV_API int kvlDebug(int type);

// Shows a message of the library: a message box with the title "Dravik" and an OK button.
TNWCONV_API int sbxPutMsg(const char* text);

// Settings file: fills the record (defaults for what is missing) / writes every stored field.
TNWCONV_API int sbxLoadIni(const char* iniPath, ConvSettings* record);
TNWCONV_API int sbxSaveIni(const char* iniPath, const ConvSettings* record);
