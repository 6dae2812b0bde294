// ConvSettings: the conversion settings record shared by pointer between the program and the
// conversion library, stored in the sections "PageInfo" and "Settings" of the program's settings
// file. Both sides copy it whole, so its layout is fixed: the static_asserts below hold it.
#pragma once

#include <cstddef>

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

static_assert(offsetof(ConvSettings, nMenuType) == 36);
static_assert(offsetof(ConvSettings, nNameingFile) == 40);
static_assert(offsetof(ConvSettings, szMetaFile) == 48);
static_assert(offsetof(ConvSettings, szExt) == 208);
static_assert(offsetof(ConvSettings, nFolding) == 224);
static_assert(offsetof(ConvSettings, szMetaSub1) == 236);
static_assert(offsetof(ConvSettings, szFold2) == 396);
static_assert(offsetof(ConvSettings, nFiling) == 656);
static_assert(offsetof(ConvSettings, nMakeLog) == 696);
static_assert(offsetof(ConvSettings, szMetaLog) == 708);
static_assert(offsetof(ConvSettings, nRunFlagA) == 788);
static_assert(offsetof(ConvSettings, nPdfVerMajor) == 804);
static_assert(offsetof(ConvSettings, nSubDirMirror) == 832);
static_assert(sizeof(ConvSettings) == 836);
