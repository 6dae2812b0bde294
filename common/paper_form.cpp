// The paper form table: the standard forms, loading from the form file, and the rule for names.
#include "common/paper_form.h"

#include "common/platform/cp932.h"
#include "common/platform/module_paths.h"
#include "common/platform/profile.h"

#include <array>
#include <cstring>
#include <new>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace tnw::common {
namespace {

struct StandardForm {
    int id;
    const char* name;  // UTF-8
    int width;         // tenths of a millimetre
    int height;
};

// In matching order. The B series is the Japanese one. The two inch forms are given wider than
// tall, as the paper sizes they name are listed.
constexpr std::array<StandardForm, 28> kStandardForms = {{
    {1, "A0", 8410, 11890},     {2, "A1", 5940, 8410},      {3, "A2", 4200, 5940},
    {4, "A3", 2970, 4200},      {5, "A4", 2100, 2970},      {6, "A5", 1480, 2100},
    {7, "A6", 1050, 1480},      {8, "A7", 740, 1050},       {9, "A8", 520, 740},
    {10, "A9", 370, 520},       {11, "A10", 260, 370},      {21, "B0", 10300, 14560},
    {22, "B1", 7280, 10300},    {23, "B2", 5150, 7280},     {24, "B3", 3640, 5150},
    {25, "B4", 2570, 3640},     {26, "B5", 1820, 2570},     {27, "B6", 1280, 1820},
    {28, "B7", 910, 1280},      {29, "B8", 640, 910},       {30, "B9", 450, 640},
    {31, "B10", 320, 450},      {40, "レター", 2159, 2794}, {41, "リーガル", 2159, 3556},
    {42, "タブロイド", 2794, 4318}, {43, "官製はがき", 1000, 1480},
    {44, "10インチ", 2540, 794},    {45, "15インチ", 3810, 2794},
}};

// The standard names in code page 932, converted once.
const std::vector<std::string>& standardNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const StandardForm& f : kStandardForms)
            v.push_back(platform::sjis(f.name));
        return v;
    }();
    return names;
}

constexpr char kUserFormSection[] = "USERFORM";
// The USERFORM key list is read as into a buffer of this many bytes: what does not fit is
// not loaded.
constexpr unsigned kUserListBytes = 4096;
constexpr unsigned kTextBytes = 260;  // szPrinter and szLayout

bool isProfileBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// A section name folded as the form file compares names: ASCII letters ignore case, the second
// byte of a double-byte character is kept as it is.
std::string foldedName(std::string_view name)
{
    std::string out(name);
    for (size_t i = 0; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (platform::isLeadByte(c))
            ++i;
        else if (c >= 'A' && c <= 'Z')
            out[i] = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// The names of all sections of the form file, each zero-terminated, however long the list (the
// profile reader cuts a list that does not fit its buffer, so the buffer grows until it holds
// the whole list).
std::string readSectionNames(const char* path)
{
    std::string buf(kUserListBytes, '\0');
    for (;;) {
        const unsigned size = static_cast<unsigned>(buf.size());
        const unsigned n =
            platform::GetPrivateProfileString(nullptr, nullptr, nullptr, buf.data(), size, path);
        // A cut list keeps size - 2 bytes, or one less when that would split a double-byte
        // character; a shorter result is the whole list.
        if (n + 4 <= size || size >= (1u << 28)) {
            buf.resize(n);
            return buf;
        }
        buf.assign(static_cast<size_t>(size) * 2, '\0');
    }
}

// The user form names of section USERFORM, each zero-terminated. Read a few bytes past the
// 4096 of the list's buffer, so that a name ending right at the cut shows whole (its own zero
// follows it) and one running past the cut shows cut.
std::string readUserNames(const char* path)
{
    std::string buf(kUserListBytes + 8, '\0');
    const unsigned n = platform::GetPrivateProfileKeyNames(
        kUserFormSection, buf.data(), static_cast<unsigned>(buf.size()), path);
    buf.resize(n);
    return buf;
}

// The names of a list of zero-terminated names, in order.
std::vector<std::string_view> splitNames(std::string_view list)
{
    std::vector<std::string_view> names;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\0', start);
        if (end == std::string_view::npos)
            end = list.size();
        if (end > start)
            names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

float tenthsToMm(int tenths)
{
    return static_cast<float>(tenths) * 0.1f;
}

// Reads the keys only user forms have: their size and long-sheet mode.
void readUserSize(PaperForm& form, const char* path)
{
    const char* section = form.szName.c_str();
    form.fWidth = tenthsToMm(platform::GetPrivateProfileInt(section, "fx", 0, path));
    form.fHeight = tenthsToMm(platform::GetPrivateProfileInt(section, "fy", 0, path));
    form.nLonger = platform::GetPrivateProfileInt(section, "nLonger", 0, path);
}

// Reads the keys every form has from its section. `hasSection` false: the section is known to
// be missing, so every key takes its default without reading the file again.
void completeForm(PaperForm& form, bool hasSection, int sumDefault, const char* path)
{
    const char* section = form.szName.c_str();
    char text[kTextBytes] = {};
    if (hasSection)
        platform::GetPrivateProfileString(section, "szPrinter", "", text, kTextBytes, path);
    form.szPrinter = text;
    form.nDefaultPrinter = form.szPrinter.empty() ? 1 : 0;
    text[0] = '\0';
    if (hasSection)
        platform::GetPrivateProfileString(section, "szLayout", "", text, kTextBytes, path);
    form.szLayout = text;
    form.nNoLayout = form.szLayout.empty() ? 1 : 0;

    auto readInt = [&](const char* key, int def) {
        return hasSection ? platform::GetPrivateProfileInt(section, key, def, path) : def;
    };
    form.nCheck = readInt("nCheck", 1);
    form.nSum = readInt("nSum", sumDefault);
    form.fx1 = tenthsToMm(readInt("fx1", 100));
    form.fy1 = tenthsToMm(readInt("fy1", 100));
    form.fx2 = tenthsToMm(readInt("fx2", 100));
    form.fy2 = tenthsToMm(readInt("fy2", 100));
}

}  // namespace

bool IsStorableFormName(const std::string& name)
{
    if (name.empty() || isProfileBlank(name.front()) || isProfileBlank(name.back()) ||
        name.front() == ';' || name.front() == '[')
        return false;
    // '=', CR, LF and NUL are below 0x40, never the second byte of a double-byte character.
    if (name.find_first_of(std::string_view("=\r\n\0", 4)) != std::string::npos)
        return false;
    // The list of user forms is a section of its own: a form of that name could not keep its
    // keys there.
    if (foldedName(name) == "userform")
        return false;
    std::string utf8;
    return platform::cp932ToUtf8(name, utf8);
}

CPaperFormTable::CPaperFormTable(FormVariant variant) : m_variant(variant)
{
    try {
        m_defaultFolder = platform::settingsFolder();
    } catch (const std::bad_alloc&) {
        m_defaultFolder.clear();
    }
}

CPaperFormTable::CPaperFormTable(FormVariant variant, std::string defaultFolder)
    : m_variant(variant), m_defaultFolder(std::move(defaultFolder))
{
}

std::string CPaperFormTable::DefaultFormPath() const
{
    if (m_defaultFolder.empty())
        return {};
    std::string path = m_defaultFolder;
    if (path.back() != '/')
        path.push_back('/');
    return path + kFormFileName;
}

int CPaperFormTable::ResolvePath(const char* path, std::string& resolved) const
{
    resolved = (path && *path) ? std::string(path) : DefaultFormPath();
    return resolved.size() > kFormPathMax ? formcode::Failed : 0;
}

const PaperForm* CPaperFormTable::FormAt(int index) const
{
    if (index < 0 || index >= FormCount())
        return nullptr;
    return &m_forms[static_cast<size_t>(index)];
}

int CPaperFormTable::LoadForms(const char* path)
{
    try {
        std::string formPath;
        const int result = ResolvePath(path, formPath);
        // A path that does not fit is not read: the table holds the defaults.
        m_formPath = result == 0 ? formPath : std::string();
        const char* file = m_formPath.c_str();
        m_forms.clear();

        // Which sections exist, read once: a form without a section takes every default
        // without the file being read again for each of its keys.
        std::unordered_set<std::string> sections;
        if (!m_formPath.empty()) {
            const std::string list = readSectionNames(file);
            for (std::string_view name : splitNames(list))
                sections.insert(foldedName(name));
        }
        auto hasSection = [&](const std::string& name) {
            return sections.count(foldedName(name)) != 0;
        };
        const int sumDefault = m_variant == FormVariant::SheetLibrary ? 0 : 1;

        const std::vector<std::string>& names = standardNames();
        for (size_t i = 0; i < kStandardForms.size(); ++i) {
            PaperForm form;
            form.nId = kStandardForms[i].id;
            form.szName = names[i];
            form.fWidth = tenthsToMm(kStandardForms[i].width);
            form.fHeight = tenthsToMm(kStandardForms[i].height);
            completeForm(form, hasSection(form.szName), sumDefault, file);
            m_forms.push_back(std::move(form));
        }

        if (!m_formPath.empty()) {
            const std::string list = readUserNames(file);
            int place = 0;
            for (std::string_view name : splitNames(list)) {
                // Only names wholly inside the first 4096 bytes (less the list's two final
                // zeros) count; a name cut there would be a different form.
                const size_t end = static_cast<size_t>(name.data() - list.data()) + name.size();
                if (end > kUserListBytes - 2)
                    break;
                PaperForm form;
                form.nUser = 1;
                form.nId = 100 + place++;
                form.szName = std::string(name);
                const bool known = hasSection(form.szName);
                if (known)
                    readUserSize(form, file);
                completeForm(form, known, sumDefault, file);
                m_forms.push_back(std::move(form));
            }
        }

        for (size_t i = 0; i < m_forms.size(); ++i)
            m_forms[i].index = static_cast<int>(i);
        return result;
    } catch (const std::bad_alloc&) {
        m_forms.clear();
        return formcode::Failed;
    }
}

}  // namespace tnw::common
