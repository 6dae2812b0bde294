// The program's own sections of the settings file Korvelin.ini: the options of the section "App"
// (AppSettings), the column widths and sort state of each list view (ListColumnSettings, one
// section per list) and the current list kind. The conversion library's sections ("PageInfo",
// "Settings") are read and written by sbxLoadIni / sbxSaveIni.
//
// Every key, its type, default and load rule is in one table (app_settings.cpp). The record is
// passed by reference; the settings file path is given by the caller (ModulePaths::
// settingsFile() in the program, a temporary file in tests). Every save is one replacement of
// the file. Failures to write are ignored: a missing file, section or key reads as the default.
#pragma once

#include <string>
#include <string_view>

namespace tnw::app {

// The number by which the program names a list view. Stored in the file (nWho), so the numbers
// are part of the format.
enum ListKind : int {
    kListFile = 21,
    kListPage = 22,
    kListFileThumbs = 23,
    kListPageThumbs = 24,
    kListDir1 = 25,
    kListDir2 = 26,
    kListFileSubDir = 27,
    kListPageSubDir = 28,
};

// The section of a list's column settings ("LvFile", ...); "Lv???" for a kind without one.
const char* columnSection(int kind);

// Texts of the section "App" live in buffers of this size.
constexpr size_t kAppTextSize = 510;
constexpr int kMaxColumns = 100;

struct ListColumnSettings {
    int nSortNo = 0;
    int nSortDir = 1;
    int nColCount = 0;              // widths held in nColxy
    int nColxy[kMaxColumns] = {};   // column widths in pixels, each > 0
};

struct AppSettings {
    int nJpg2Tif = 1;
    int nMakePdf = 1;
    int nPutWangA = 0;
    int nWho = kListFile;
    int nPDFVersMajor = 1;
    int nPDFVersMinor = 1;
    int nVerifyTif = 0;
    int nVerifyPdf = 0;
    int nConvTif = 1;
    int nTif2Pdf = 0;      // 0 one PDF per input, 1 all inputs into one PDF
    int nSubDirShow = 0;
    int nSubDirProc = 0;   // 0 all levels, 1 the level nSubDirLevel, 2 the deepest only
    int nSubDirLevel = 1;  // never below 1 after loading
    int nSubDirZeros = 0;
    ListColumnSettings lvFileSubDir;
    ListColumnSettings lvPageSubDir;
    ListColumnSettings lvFile;
    ListColumnSettings lvPage;
    ListColumnSettings lvDir1;
    ListColumnSettings lvDir2;
    char szPdfTitle[kAppTextSize] = {};
    char szPdfSubject[kAppTextSize] = {};  // the settings dialog's author box (作成者)
    char szPdfAuthor[kAppTextSize] = {};   // the settings dialog's subtitle box (ｻﾌﾞﾀｲﾄﾙ)
    char szPdfKeyword[kAppTextSize] = {};
    char szPdfCreator[kAppTextSize] = {};
};

// The column settings of a list kind in the record; null for a kind without a column section.
ListColumnSettings* columnsOf(AppSettings& settings, int kind);

// Clears the record, reads every key of "App" with its default, forces nJpg2Tif 1, nMakePdf 1,
// nVerifyTif 0, nVerifyPdf 0 and nConvTif 1 (those keys are not read), takes an nSubDirLevel
// of 0 or less as 1, then loads the six column sections. Always returns 0.
int LoadAppSettings(AppSettings& settings, const std::string& iniPath);

// Loads one column section: nSortNo (0), nSortDir (1) and the widths nColxy_0, nColxy_1, ...
// read in order up to the first missing key or value of 0 or less, never past 100.
void LoadColumnSettings(ListColumnSettings& columns, const char* section,
                        const std::string& iniPath);

// Writes nJpg2Tif, nMakePdf (always 1), nPutWangA, nPDFVersMajor, nPDFVersMinor, nVerifyTif,
// nVerifyPdf, nConvTif, nTif2Pdf, nSubDirShow, nSubDirProc, nSubDirLevel, nSubDirZeros and the
// five texts, in that order. Neither nWho nor a column section is written. False when the file
// could not be written (which callers ignore).
bool SaveAppSettings(const AppSettings& settings, const std::string& iniPath);

// Stores the kind in the record and writes nWho.
bool SaveCurrentList(AppSettings& settings, int kind, const std::string& iniPath);

// Writes nColxy_%d for every stored width of `columns` (at most 100) into the kind's section.
bool SaveColumnWidths(int kind, const ListColumnSettings& columns, const std::string& iniPath);

// For the kinds 21, 22, 25, 27 and 28: stores the pair in the record's columns of that kind and
// writes nSortNo and nSortDir. Any other kind: nothing (false).
bool SaveSort(AppSettings& settings, int kind, int sortNo, int sortDir,
              const std::string& iniPath);

// Puts a text taken from a dialog box into a record's text buffer: kept when it is 1 to 509
// bytes long, otherwise the buffer is left empty.
void StoreDialogText(char (&buffer)[kAppTextSize], std::string_view text);

}  // namespace tnw::app
