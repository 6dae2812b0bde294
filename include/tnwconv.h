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

// Runs the job the setters have filled: checks the inputs and the output, converts, finishes
// the log. Returns 0, a code of the checks (-299, -200 to -205, after a message), -190 (inputs
// from a description file), -9 (grouping neither 0 nor 1), or the run's result (-109 and 9:
// cancelled).
TNWCONV_API int kvlExec(void);

// The outcome of the last kvlExec, which starts it afresh.
typedef struct KvlRunCounts {
    int pdfsWritten;   // PDFs written completely
    int pagesWritten;  // pages in those PDFs
    int refused;       // inputs (files, pages of a file, folders) refused or failed
    int keptExisting;  // inputs skipped because their PDF exists and replacing is off
    int logFailed;     // 1 when a row could not be written to the log
    int cancelled;     // 1 when the user cancelled
} KvlRunCounts;

// Fills `counts` for the last kvlExec (zeros before any). Returns 0, or -1 for a null pointer.
TNWCONV_API int kvlGetRunCounts(KvlRunCounts* counts);

// Kinds of a reported input.
enum { KVL_REPORT_REFUSED = 1, KVL_REPORT_KEPT_EXISTING = 2 };

// Called during kvlExec, on its thread, for each input as soon as it is refused or kept:
// `source` is its path (a file, or a folder), `page` the 0-based page of a multi-page file or
// -1 for the whole input, `remark` the log's remark text; both strings are code page 932 and
// valid only during the call. The proc must not call the library.
typedef void (*KvlReportProc)(int kind, const char* source, int page, const char* remark,
                              void* user);
// Installs the proc with its `user` pointer for every later kvlExec until it is replaced;
// kvlReset keeps it. A null proc removes it. Returns 0.
TNWCONV_API int kvlSetReportProc(KvlReportProc proc, void* user);

// Shows a message of the library: a message box with the title "Dravik" and an OK button.
TNWCONV_API int sbxPutMsg(const char* text);

// Settings file: fills the record (defaults for what is missing) / writes every stored field.
TNWCONV_API int sbxLoadIni(const char* iniPath, ConvSettings* record);
TNWCONV_API int sbxSaveIni(const char* iniPath, const ConvSettings* record);

// Input check: fills `checked` with the full path of each input and decides between files and
// folders (mode > 0: folders). `firstFolder` and `singlePath` are buffers of 260 bytes.
// Returns 0, -8, -9, -91, -92, -93 (after a message) or a list code.
TNWCONV_API int sbxMakeInputText(int mode, int fromDescription, CTnwbuff* inputs,
                                 CTnwbuff* checked, char* firstFolder, char* singlePath);

// Output check of a run: kind 1 an existing folder, kind 0 a PDF path whose folder exists.
// `resolved` is a buffer of 260 bytes. Returns 0 or a negative code (after a message).
TNWCONV_API int sbxGetPathTo(int kind, const char* base, const char* output, char* resolved);
// The same with the kind chosen by mode and grouping.
TNWCONV_API int sbxGetPathTo2(int mode, int grouping, const char* base, const char* output,
                              char* resolved);

// Output folder (created by the record's folder rules), joined PDF path and log path for the
// inputs in `base`; remembers `base` for the run. `folder` and `pdfPath` are buffers of 260
// bytes, `logPath` of 400. Returns 0, -306 (folder rules failed) or -319 (no name).
TNWCONV_API int kvl_GetPathTo(int unused, const char* base, CTnwbuff* slots,
                              const ConvSettings* record, char* folder, char* pdfPath,
                              char* logPath);
// The record's folder rules applied to `folder` without messages; `outFolder` (260 bytes)
// receives the result or "". Returns 0 or -1.
TNWCONV_API int kvl_GetDirTo(const ConvSettings* record, const char* folder, char* outFolder);

// The number in the name of `path` by the record's nNameInType, as five digits ("%05d") in
// `newName` (at least 12 bytes). Returns 0, -1 or -2.
TNWCONV_API int sbxDoRename(const char* path, char* newName, const ConvSettings* record);
