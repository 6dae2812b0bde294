#include "app/core/settings/app_settings.h"

#include "app/core/settings/profile_values.h"
#include "common/platform/profile.h"

#include <cstdio>
#include <cstring>

namespace tnw::app {
namespace {

const char kApp[] = "App";

enum class Load {
    Read,    // read with the default
    Force,   // not read: always the default
    Floor1,  // read with the default; 0 or less is taken as 1
};

enum class Save {
    Value,     // the record's value
    Constant,  // always the default
    Never,     // written elsewhere (nWho by SaveCurrentList)
};

struct IntKey {
    const char* key;
    int AppSettings::*field;
    int def;
    Load load;
    Save save;
};

struct TextKey {
    const char* key;
    char (AppSettings::*field)[kAppTextSize];
};

struct ColumnSection {
    int kind;
    const char* section;
    ListColumnSettings AppSettings::*field;
};

#define APP_INT(name, def, load, save) {#name, &AppSettings::name, def, Load::load, Save::save}
#define APP_TEXT(name) {#name, &AppSettings::name}

// The integers of "App" in record order, which is also the order they are saved in.
const IntKey kIntKeys[] = {
    APP_INT(nJpg2Tif, 1, Force, Value),     APP_INT(nMakePdf, 1, Force, Constant),
    APP_INT(nPutWangA, 0, Read, Value),     APP_INT(nWho, kListFile, Read, Never),
    APP_INT(nPDFVersMajor, 1, Read, Value), APP_INT(nPDFVersMinor, 1, Read, Value),
    APP_INT(nVerifyTif, 0, Force, Value),   APP_INT(nVerifyPdf, 0, Force, Value),
    APP_INT(nConvTif, 1, Force, Value),     APP_INT(nTif2Pdf, 0, Read, Value),
    APP_INT(nSubDirShow, 0, Read, Value),   APP_INT(nSubDirProc, 0, Read, Value),
    APP_INT(nSubDirLevel, 1, Floor1, Value), APP_INT(nSubDirZeros, 0, Read, Value),
};

// The texts of "App", read and saved after the integers; all default to "".
const TextKey kTextKeys[] = {
    APP_TEXT(szPdfTitle),   APP_TEXT(szPdfSubject), APP_TEXT(szPdfAuthor),
    APP_TEXT(szPdfKeyword), APP_TEXT(szPdfCreator),
};

#undef APP_INT
#undef APP_TEXT

// The column sections in the order they are loaded.
const ColumnSection kColumnSections[] = {
    {kListFileSubDir, "LvFileSubDir", &AppSettings::lvFileSubDir},
    {kListPageSubDir, "LvPageSubDir", &AppSettings::lvPageSubDir},
    {kListFile, "LvFile", &AppSettings::lvFile},
    {kListPage, "LvPage", &AppSettings::lvPage},
    {kListDir1, "LvDir1", &AppSettings::lvDir1},
    {kListDir2, "LvDir2", &AppSettings::lvDir2},
};

const ColumnSection* columnSectionOf(int kind)
{
    for (const ColumnSection& s : kColumnSections) {
        if (s.kind == kind)
            return &s;
    }
    return nullptr;
}

std::string columnKey(int index)
{
    char key[24];
    std::snprintf(key, sizeof key, "nColxy_%d", index);
    return key;
}

}  // namespace

const char* columnSection(int kind)
{
    const ColumnSection* s = columnSectionOf(kind);
    return s ? s->section : "Lv???";
}

ListColumnSettings* columnsOf(AppSettings& settings, int kind)
{
    const ColumnSection* s = columnSectionOf(kind);
    return s ? &(settings.*(s->field)) : nullptr;
}

void LoadColumnSettings(ListColumnSettings& columns, const char* section,
                        const std::string& iniPath)
{
    const char* path = iniPath.c_str();
    columns = ListColumnSettings{};
    columns.nSortNo = platform::GetPrivateProfileInt(section, "nSortNo", 0, path);
    columns.nSortDir = platform::GetPrivateProfileInt(section, "nSortDir", 1, path);
    while (columns.nColCount < kMaxColumns) {
        const int width =
            platform::GetPrivateProfileInt(section, columnKey(columns.nColCount).c_str(), 0, path);
        if (width <= 0)
            break;
        columns.nColxy[columns.nColCount++] = width;
    }
}

int LoadAppSettings(AppSettings& settings, const std::string& iniPath)
{
    // One reading of the file for the few hundred look-ups below.
    platform::ProfileBatch batch(iniPath.c_str());
    const char* path = iniPath.c_str();
    settings = AppSettings{};
    for (const IntKey& k : kIntKeys) {
        int value = k.def;
        if (k.load != Load::Force)
            value = platform::GetPrivateProfileInt(kApp, k.key, k.def, path);
        if (k.load == Load::Floor1 && value <= 0)
            value = 1;
        settings.*(k.field) = value;
    }
    for (const TextKey& k : kTextKeys)
        platform::GetPrivateProfileString(kApp, k.key, "", settings.*(k.field), kAppTextSize, path);
    for (const ColumnSection& s : kColumnSections)
        LoadColumnSettings(settings.*(s.field), s.section, iniPath);
    batch.commit();
    return 0;
}

bool SaveAppSettings(const AppSettings& settings, const std::string& iniPath)
{
    platform::ProfileBatch batch(iniPath.c_str());
    const char* path = iniPath.c_str();
    bool ok = true;
    for (const IntKey& k : kIntKeys) {
        if (k.save == Save::Never)
            continue;
        const int value = k.save == Save::Constant ? k.def : settings.*(k.field);
        ok = writeProfileInt(kApp, k.key, value, path) && ok;
    }
    for (const TextKey& k : kTextKeys) {
        const char* text = settings.*(k.field);
        ok = writeProfileText(kApp, k.key, std::string(text, strnlen(text, kAppTextSize)), path) &&
             ok;
    }
    return batch.commit() && ok;
}

bool SaveCurrentList(AppSettings& settings, int kind, const std::string& iniPath)
{
    settings.nWho = kind;
    return writeProfileInt(kApp, "nWho", kind, iniPath.c_str());
}

bool SaveColumnWidths(int kind, const ListColumnSettings& columns, const std::string& iniPath)
{
    platform::ProfileBatch batch(iniPath.c_str());
    const char* section = columnSection(kind);
    bool ok = true;
    const int count = columns.nColCount < kMaxColumns ? columns.nColCount : kMaxColumns;
    for (int i = 0; i < count; ++i)
        ok = writeProfileInt(section, columnKey(i).c_str(), columns.nColxy[i], iniPath.c_str()) &&
             ok;
    return batch.commit() && ok;
}

bool SaveSort(AppSettings& settings, int kind, int sortNo, int sortDir,
              const std::string& iniPath)
{
    switch (kind) {
    case kListFile:
    case kListPage:
    case kListDir1:
    case kListFileSubDir:
    case kListPageSubDir:
        break;
    default:
        return false;
    }
    ListColumnSettings* columns = columnsOf(settings, kind);
    columns->nSortNo = sortNo;
    columns->nSortDir = sortDir;
    platform::ProfileBatch batch(iniPath.c_str());
    const char* section = columnSection(kind);
    bool ok = writeProfileInt(section, "nSortNo", sortNo, iniPath.c_str());
    ok = writeProfileInt(section, "nSortDir", sortDir, iniPath.c_str()) && ok;
    return batch.commit() && ok;
}

void StoreDialogText(char (&buffer)[kAppTextSize], std::string_view text)
{
    std::memset(buffer, 0, kAppTextSize);
    if (!text.empty() && text.size() < kAppTextSize)
        std::memcpy(buffer, text.data(), text.size());
}

}  // namespace tnw::app
