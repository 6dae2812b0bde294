#include "conv/conv_settings.h"

#include "common/platform/profile.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace tnw::conv {
namespace {

const char kPageInfo[] = "PageInfo";
const char kSettings[] = "Settings";

struct IntKey {
    const char* section;
    const char* key;
    int ConvSettings::*field;
    int def;
};

struct TextKey {
    const char* key;
    size_t offset;  // of the char array in ConvSettings
    unsigned width;
    const char* def;
};

#define KVL_INT(section, name, def) {section, #name, &ConvSettings::name, def}
#define KVL_TEXT(name, def) {#name, offsetof(ConvSettings, name), sizeof(ConvSettings::name), def}

// Every stored integer with its section and default, in the order they are read.
const IntKey kIntKeys[] = {
    KVL_INT(kPageInfo, nMode, 0),        KVL_INT(kPageInfo, nImageType, 0),
    KVL_INT(kPageInfo, nPageOrder, 0),   KVL_INT(kPageInfo, nNameInType, 0),
    KVL_INT(kPageInfo, nNameInNo, 0),    KVL_INT(kPageInfo, nSortOrder, 0),
    KVL_INT(kPageInfo, nBatchLevel, 0),  KVL_INT(kPageInfo, nShowDlg, 0),
    KVL_INT(kPageInfo, nModeSubDir, 0),  KVL_INT(kPageInfo, nMenuType, 0),
    KVL_INT(kSettings, nNameingFile, 0), KVL_INT(kSettings, nNameingDir, 0),
    KVL_INT(kSettings, nFolding, 0),     KVL_INT(kSettings, nFoldSub1, 0),
    KVL_INT(kSettings, nFoldSub2, 0),    KVL_INT(kSettings, nFiling, 0),
    KVL_INT(kSettings, nDateing, 0),     KVL_INT(kSettings, nDateNo, 0),
    KVL_INT(kSettings, nForming, 0),     KVL_INT(kSettings, nYear1, 0),
    KVL_INT(kSettings, nMonth1, 0),      KVL_INT(kSettings, nDay1, 0),
    KVL_INT(kSettings, nYear2, 0),       KVL_INT(kSettings, nMonth2, 0),
    KVL_INT(kSettings, nDay2, 0),        KVL_INT(kSettings, nMakeLog, 1),
    KVL_INT(kSettings, nShowLog, 1),     KVL_INT(kSettings, nNameingLog, 0),
    KVL_INT(kSettings, nShowDlgParm, 1), KVL_INT(kSettings, nNameSort, 0),
    KVL_INT(kSettings, nT2PFlag, 0),
};

// Every stored text of the section "Settings", in the order they are read.
const TextKey kTextKeys[] = {
    KVL_TEXT(szMetaFile, ""), KVL_TEXT(szMetaDir, ""),  KVL_TEXT(szExt, "tif"),
    KVL_TEXT(szFold2, ""),    KVL_TEXT(szMetaSub1, ""), KVL_TEXT(szMetaSub2, ""),
    KVL_TEXT(szMetaLog, ""),
};

#undef KVL_INT
#undef KVL_TEXT

// The write order of the file: integers and texts interleaved as the file has always held them.
const char* const kSaveOrder[] = {
    "nMode", "nImageType", "nPageOrder", "nNameInType", "nNameInNo", "nSortOrder",
    "nBatchLevel", "nShowDlg", "nModeSubDir", "nMenuType",
    "nNameingFile", "nNameingDir", "nFolding", "nFoldSub1", "nFoldSub2", "nFiling", "nDateing",
    "nDateNo", "nForming", "nYear1", "nMonth1", "nDay1", "nYear2", "nMonth2", "nDay2",
    "szMetaFile", "szMetaDir", "szExt", "szFold2", "szMetaSub1", "szMetaSub2", "nMakeLog",
    "nShowLog", "nNameingLog", "szMetaLog", "nShowDlgParm", "nNameSort", "nT2PFlag",
};

// A text field as stored in the record: up to its first zero, never past the field's width.
std::string textOf(const ConvSettings& record, const TextKey& key)
{
    const char* field = reinterpret_cast<const char*>(&record) + key.offset;
    return std::string(field, strnlen(field, key.width));
}

// The form a text is written in. A line break would end the value and turn the rest into lines
// of the file, so the value ends at the first one. The reader trims values and removes one pair
// of surrounding quotes, so a text that starts or ends with a blank, or is itself quoted, is
// written inside quotes to come back unchanged.
std::string storedForm(std::string text)
{
    text = text.substr(0, text.find_first_of("\r\n"));
    const size_t n = text.size();
    if (n == 0)
        return text;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted = n >= 2 && (text[0] == '"' || text[0] == '\'') && text[n - 1] == text[0];
    if (blank(text[0]) || blank(text[n - 1]) || quoted)
        return "\"" + text + "\"";
    return text;
}

}  // namespace

void loadSettings(const char* iniPath, ConvSettings& record)
{
    std::memset(&record, 0, sizeof record);
    for (const IntKey& k : kIntKeys)
        record.*k.field = platform::GetPrivateProfileInt(k.section, k.key, k.def, iniPath);
    for (const TextKey& k : kTextKeys) {
        char* field = reinterpret_cast<char*>(&record) + k.offset;
        platform::GetPrivateProfileString(kSettings, k.key, k.def, field, k.width, iniPath);
    }
}

bool saveSettings(const char* iniPath, const ConvSettings& record)
{
    platform::ProfileBatch batch(iniPath);  // one replacement of the file for all the keys
    bool ok = true;
    for (const char* name : kSaveOrder) {
        for (const IntKey& k : kIntKeys) {
            if (std::strcmp(k.key, name) == 0) {
                char value[16];
                std::snprintf(value, sizeof value, "%d", record.*k.field);
                ok = platform::WritePrivateProfileString(k.section, k.key, value, iniPath) && ok;
            }
        }
        for (const TextKey& k : kTextKeys) {
            if (std::strcmp(k.key, name) == 0) {
                const std::string value = storedForm(textOf(record, k));
                ok = platform::WritePrivateProfileString(kSettings, k.key, value.c_str(),
                                                         iniPath) && ok;
            }
        }
    }
    return batch.commit() && ok;
}

}  // namespace tnw::conv
