/* The call interface of the paper-sheet library libtnwsheet.so: page information of TIFF
 * files in paper terms, a per-page CSV listing and sheet sums (pages counted per paper form)
 * with a summary CSV. Every function returns an int: 0 or a count on success, a negative code
 * on failure; every function except shxInit returns -109 until shxInit has been called.
 * Strings are zero-terminated code page 932 byte strings owned by the caller. A form file path
 * names the paper form table file; null or "" means the default "tnwForm.ini". */
#pragma once

#include "tnw_export.h"

#include <stddef.h>
#include <stdint.h>

/* One page as shxGetPageInfoOf returns it: 32-bit fields in this order. */
typedef struct ShxPageInfo {
    int32_t nPage;        /* page number, 1-based, as asked */
    int32_t nCompress;    /* TIFF compression */
    int32_t nBits;        /* bits per pixel: bits per sample x samples per pixel */
    int32_t nDataSize;    /* sum of the strip byte counts */
    int32_t nWidth;       /* pixels */
    int32_t nHeight;      /* pixels */
    int32_t nXUnit;       /* resolution unit: 1 none, 2 inch, 3 cm, 4 mm, 5 metre */
    int32_t nYUnit;
    float fXRes;          /* pixels per unit; 0 when the rational's denominator is 0 */
    float fYRes;
    float fWidthMm;       /* 0 when the size cannot be computed */
    float fHeightMm;
    char szForm[32];      /* the matched paper form's name ("" when none), NUL-terminated */
    int32_t nLonger;      /* the matched form's long-paper mode (0 when none) */
    int32_t nLandscape;   /* 1 when the width in pixels is greater than the height */
} ShxPageInfo;

#ifdef __cplusplus
#define TNWSHEET_ASSERT(condition) static_assert(condition, #condition)
#else
#define TNWSHEET_ASSERT(condition) _Static_assert(condition, #condition)
#endif
/* The record crosses the library boundary: its layout must not change silently. */
TNWSHEET_ASSERT(offsetof(ShxPageInfo, nPage) == 0);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, nCompress) == 4);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, nBits) == 8);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, nDataSize) == 12);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, nWidth) == 16);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, nHeight) == 20);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, nXUnit) == 24);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, nYUnit) == 28);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, fXRes) == 32);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, fYRes) == 36);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, fWidthMm) == 40);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, fHeightMm) == 44);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, szForm) == 48);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, nLonger) == 80);
TNWSHEET_ASSERT(offsetof(ShxPageInfo, nLandscape) == 84);
TNWSHEET_ASSERT(sizeof(ShxPageInfo) == 88);
TNWSHEET_ASSERT(sizeof(float) == 4);
#undef TNWSHEET_ASSERT

/* Enables the other functions. Returns 0. */
TNWSHEET_API int shxInit(void);

/* Reads the pages of a TIFF file and names each page's paper form; the list stays for
 * shxGetPageInfoOf until the next call. Returns the number of pages; on a read failure shows
 * "ｻﾎﾟｰﾄしていないﾄﾞｷｭﾒﾝﾄです。" and returns the TIFF reader's code (the list is then empty);
 * -1 when the form file path does not fit. */
TNWSHEET_API int shxGetPageInfos(const char* tiffPath, const char* formPath);

/* Copies page `page` (1-based) of the last shxGetPageInfos into `info`. Returns 0; -1004 for a
 * page number out of range; -1 for a null record. */
TNWSHEET_API int shxGetPageInfoOf(int page, ShxPageInfo* info);

/* Writes the per-page CSV of a TIFF file (code page 932, CR LF). Returns 0; -9 when the TIFF
 * cannot be read; -1 when the CSV cannot be written (nothing is then left at `csvPath`) or the
 * form file path does not fit. */
TNWSHEET_API int shxGetBasicInfo(const char* tiffPath, const char* csvPath, const char* formPath);

/* Sheet sums over the TIFF files of a folder (no sub-folders) and their summary CSV. With
 * `sumOnly` nonzero only the forms in use that carry the sum flag are counted. Returns 0; -1
 * when the folder holds no readable TIFF with pages, or the CSV cannot be written (nothing is
 * then left at `csvPath`), or the form file path does not fit. */
TNWSHEET_API int shxGetSum(const char* folderPath, const char* csvPath, const char* formPath,
                           int sumOnly);

/* Loads the form table and clears every sum. Returns 0 or -1 (the form file path does not
 * fit; the table then holds the standard forms). */
TNWSHEET_API int shxSumInit(const char* formPath, int sumOnly);

/* Counts the pages of a TIFF file. Returns 0; -1 when the path is not a ".tif" or ".tiff"
 * file; -2 when the file has no page; the TIFF reader's code when it cannot be read. */
TNWSHEET_API int shxSumPutFile(const char* tiffPath);

/* The number of files put, and of summed forms. */
TNWSHEET_API int shxSumGetFileCount(void);
TNWSHEET_API int shxSumGetSumCount(void);

/* The name of summed form `index` (0-based) into `buffer` of `size` bytes. Returns 0; -1 no
 * buffer; -2 size not positive; -3 buffer too small; -4 no such summed form. */
TNWSHEET_API int shxSumGetName(int index, char* buffer, int size);

/* Pages of file `file` counted for summed form `index` (0 for an index out of range). */
TNWSHEET_API int shxSumGetSheets(int file, int index);
/* Grand total of summed form `index` (0 for an index out of range). */
TNWSHEET_API int shxSumGetSum(int index);
/* Pages of file `file` that matched no counted form (0 for an index out of range). */
TNWSHEET_API int shxSumGetElseFile(int file);
/* Grand total of the pages that matched no counted form. */
TNWSHEET_API int shxSumGetElseSum(void);

/* The two dialogs. `parent` is an opaque handle: a QWidget* of the calling process (which uses
 * the same Qt) or null for a top-level dialog. A caller without a QApplication may call them
 * when a display exists: one is made for the call. They need no shxInit. */

/* The paper form dialog: edits the forms of `formPath` (null or "": the tnwForm.ini of the
 * program) and saves them with tnwForm.xml beside it. Bit 0 of `flags` adds a printer per form;
 * any bit adds the sheet-sum page. Returns 0 when saved, -1 when cancelled or not shown (no
 * display, a process with only a QCoreApplication, a call off its thread). */
TNWSHEET_API int shxDlgForm(void* parent, const char* formPath, int flags);

/* The tag dump of a TIFF file, page by page. Returns 0 after the dialog was closed; -1 when it
 * cannot be shown; the TIFF reader's code after a failure shown in a message box. The same
 * value is stored in *result when `result` is not null. */
TNWSHEET_API int shxDlgTagDump(void* parent, const char* tiffPath, int* result);
