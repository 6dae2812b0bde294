// ConvSettings: the conversion settings record shared by pointer between the program and the
// conversion library, stored in the sections "PageInfo" and "Settings" of the program's settings
// file. Both sides copy it whole, so its layout is fixed: the static_asserts below hold it.
#pragma once

#include <stddef.h>

struct ConvSettings {
    // PageInfo
    int nMode;         // 0 file mode, 1 folder mode
    int nImageType;
    int nPageOrder;
    int nNameInType;   // number extraction rule of sbxDoRename
    int nNameInNo;
    int nSortOrder;
    int nBatchLevel;
    int nShowDlg;
    int nModeSubDir;
    int nMenuType;
    // Settings
    int nNameingFile;  // file naming rule
    int nNameingDir;   // folder naming rule
    char szMetaFile[80];
    char szMetaDir[80];
    char szExt[16];
    int nFolding;      // 0 output into the given folder, nonzero into szFold2
    int nFoldSub1;
    int nFoldSub2;
    char szMetaSub1[80];
    char szMetaSub2[80];
    char szFold2[260];
    int nFiling;       // > 0: an existing PDF is skipped; otherwise replaced
    int nDateing;
    int nDateNo;
    int nForming;
    int nYear1, nMonth1, nDay1;
    int nYear2, nMonth2, nDay2;
    int nMakeLog;      // > 0: write the CSV log
    int nShowLog;
    int nNameingLog;   // log naming rule
    char szMetaLog[80];
    int nRunFlagA;     // run fields: written by the program before a run, not stored
    int nReserved;
    int nRunFlagB;
    int nShowDlgParm;
    int nPdfVerMajor;  // not stored; the library's copy is set by kvlSetPDFVersion
    int nPdfVerMinor;
    int nNameSort;
    int nRunFlagC;
    int nRunVerify;
    int nRunFlagD;
    int nT2PFlag;
    int nSubDirMirror; // not stored; > 0: runs rebuild the inputs' sub-folders under the output
};

#ifdef __cplusplus
#define CONV_SETTINGS_ASSERT(condition) static_assert(condition)
#else
typedef struct ConvSettings ConvSettings;
// C99 has no static assertion: an array of negative size stops the compiler instead.
#define CONV_SETTINGS_ASSERT_AT2(condition, line) \
    typedef char conv_settings_layout_##line[(condition) ? 1 : -1]
#define CONV_SETTINGS_ASSERT_AT(condition, line) CONV_SETTINGS_ASSERT_AT2(condition, line)
#define CONV_SETTINGS_ASSERT(condition) CONV_SETTINGS_ASSERT_AT(condition, __LINE__)
#endif

CONV_SETTINGS_ASSERT(offsetof(ConvSettings, nMenuType) == 36);
CONV_SETTINGS_ASSERT(offsetof(ConvSettings, nNameingFile) == 40);
CONV_SETTINGS_ASSERT(offsetof(ConvSettings, szMetaFile) == 48);
CONV_SETTINGS_ASSERT(offsetof(ConvSettings, szExt) == 208);
CONV_SETTINGS_ASSERT(offsetof(ConvSettings, nFolding) == 224);
CONV_SETTINGS_ASSERT(offsetof(ConvSettings, szMetaSub1) == 236);
CONV_SETTINGS_ASSERT(offsetof(ConvSettings, szFold2) == 396);
CONV_SETTINGS_ASSERT(offsetof(ConvSettings, nFiling) == 656);
CONV_SETTINGS_ASSERT(offsetof(ConvSettings, nMakeLog) == 696);
CONV_SETTINGS_ASSERT(offsetof(ConvSettings, szMetaLog) == 708);
CONV_SETTINGS_ASSERT(offsetof(ConvSettings, nRunFlagA) == 788);
CONV_SETTINGS_ASSERT(offsetof(ConvSettings, nPdfVerMajor) == 804);
CONV_SETTINGS_ASSERT(offsetof(ConvSettings, nSubDirMirror) == 832);
CONV_SETTINGS_ASSERT(sizeof(ConvSettings) == 836);

#undef CONV_SETTINGS_ASSERT
#ifndef __cplusplus
#undef CONV_SETTINGS_ASSERT_AT
#undef CONV_SETTINGS_ASSERT_AT2
#endif
