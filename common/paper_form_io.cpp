// Writing the paper form table: the form file and its XML export.
#include "common/paper_form.h"

#include "common/platform/files.h"
#include "common/platform/profile.h"

#include <cmath>
#include <cstdio>
#include <new>
#include <string_view>

namespace tnw::common {
namespace {

constexpr char kUserFormSection[] = "USERFORM";

// A length in millimetres as the files hold it: tenths, truncated toward zero. The product is
// taken in single precision, which gives back exactly the tenths a length was loaded from.
// Values beyond the range of int are clamped; an undefined value is 0.
int tenthsOf(float mm)
{
    const float t = mm * 10.0f;
    if (std::isnan(t))
        return 0;
    if (t >= 2147483648.0f)
        return 2147483647;
    if (t <= -2147483648.0f)
        return -2147483647 - 1;
    return static_cast<int>(t);
}

std::string decimal(int v)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", v);
    return text;
}

// The folder part of a path with its trailing '/' ("" for a bare file name). '/' is below
// 0x40, never the second byte of a double-byte character.
std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A name as XML attribute text: the markup characters and quotes become entity references.
// They are below 0x40, so no double-byte character is touched.
void appendEscaped(std::string& out, std::string_view name)
{
    for (char c : name) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c; break;
        }
    }
}

void appendElement(std::string& out, const char* tag, int value)
{
    out += "\t\t<";
    out += tag;
    out += '>';
    out += decimal(value);
    out += "</";
    out += tag;
    out += ">\r\n";
}

}  // namespace

int CPaperFormTable::SaveForms(const std::vector<PaperForm>& forms, const char* path) const
{
    try {
        std::string formPath;
        if (ResolvePath(path, formPath) != 0 || formPath.empty())
            return formcode::Failed;
        const char* file = formPath.c_str();
        platform::ProfileBatch batch(file);  // one replacement of the file for every key
        bool failed = false;
        bool refused = false;
        auto put = [&](const char* section, const char* key, const std::string& value) {
            if (!platform::WritePrivateProfileString(section, key, value.c_str(), file))
                failed = true;
        };

        std::string userList;  // "name=" entries, each zero-terminated
        for (const PaperForm& form : forms) {
            if (!IsStorableFormName(form.szName)) {
                refused = true;
                continue;
            }
            const char* section = form.szName.c_str();
            put(section, "szPrinter", form.szPrinter);
            put(section, "szLayout", form.szLayout);
            put(section, "nCheck", decimal(form.nCheck));
            put(section, "nSum", decimal(form.nSum));
            if (form.nUser != 0) {
                put(section, "fx", decimal(tenthsOf(form.fWidth)));
                put(section, "fy", decimal(tenthsOf(form.fHeight)));
                put(section, "nLonger", decimal(form.nLonger));
            }
            put(section, "fx1", decimal(tenthsOf(form.fx1)));
            put(section, "fy1", decimal(tenthsOf(form.fy1)));
            put(section, "fx2", decimal(tenthsOf(form.fx2)));
            put(section, "fy2", decimal(tenthsOf(form.fy2)));
            if (form.nUser > 0) {
                userList += form.szName;
                userList += '=';
                userList += '\0';
            }
        }
        // The list's final zero is the one c_str() adds; an empty list leaves the section empty.
        if (!platform::WritePrivateProfileSection(kUserFormSection, userList.c_str(), file))
            failed = true;
        if (!batch.commit())
            failed = true;
        if (failed)
            return formcode::Failed;
        return refused ? formcode::NameRefused : 0;
    } catch (const std::bad_alloc&) {
        return formcode::Failed;
    }
}

int CPaperFormTable::ExportFormsXml(const std::vector<PaperForm>& forms, const char* path) const
{
    try {
        std::string formPath;
        if (ResolvePath(path, formPath) != 0 || formPath.empty())
            return formcode::Failed;
        const std::string xmlPath = folderOf(formPath) + kFormXmlName;
        if (xmlPath.size() > kFormPathMax)
            return formcode::Failed;

        std::string out = "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n<items>\r\n";
        for (const PaperForm& form : forms) {
            // The export lists what the form file can hold; a nameless form has no entry.
            if (!IsStorableFormName(form.szName))
                continue;
            out += "\t<item name=\"";
            appendEscaped(out, form.szName);
            out += "\">\r\n";
            appendElement(out, "nCheck", form.nCheck);
            appendElement(out, "nSum", form.nSum);
            appendElement(out, "fx", tenthsOf(form.fWidth));
            appendElement(out, "fy", tenthsOf(form.fHeight));
            appendElement(out, "fx1", tenthsOf(form.fx1));
            appendElement(out, "fy1", tenthsOf(form.fy1));
            appendElement(out, "fx2", tenthsOf(form.fx2));
            appendElement(out, "fy2", tenthsOf(form.fy2));
            appendElement(out, "nLonger", form.nLonger);
            out += "\t</item>\r\n\r\n";
        }
        out += "</items>\r\n";
        return platform::writeFileAtomically(xmlPath, out) ? 0 : formcode::Failed;
    } catch (const std::bad_alloc&) {
        return formcode::Failed;
    }
}

}  // namespace tnw::common
