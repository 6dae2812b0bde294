#include "sheet/sheet_sums.h"

#include "common/file_kind.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "sheet/sheet_codes.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace tnw::sheet {

namespace {

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

// The last component of a path.
std::string fileNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "size KB,yyyy/mm/dd hh:mm," of a file (size to the next whole kilobyte, time in UTC), or
// ",," when it is not found.
std::string sizeAndTime(const std::string& path)
{
    platform::FileInfo info;
    if (!platform::fileInfo(path, info) || info.kind != platform::PathKind::File)
        return ",,";
    const std::time_t modified = std::time_t(info.modified);
    std::tm utc{};
    if (!gmtime_r(&modified, &utc))
        return ",,";
    char text[96];
    std::snprintf(text, sizeof text, "%llu KB,%.2d/%.2d/%.2d %.2d:%.2d,",
                  static_cast<unsigned long long>((info.size + 1023) / 1024), utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min);
    return text;
}

}  // namespace

SheetSums::SheetSums() : m_forms(common::FormVariant::SheetLibrary)
{
}

int SheetSums::init(const char* formPath, bool sumOnly)
{
    const int rc = m_forms.LoadForms(formPath);
    m_sumOnly = sumOnly;
    m_files.clear();
    m_summed.clear();
    m_totals.assign(size_t(m_forms.FormCount()), 0);
    m_elseTotal = 0;
    for (const common::PaperForm& form : m_forms.Forms()) {
        if (form.nCheck > 0 && (!sumOnly || form.nSum != 0))
            m_summed.push_back(form.index);
    }
    return rc;
}

int SheetSums::putFile(const std::string& path)
{
    if (common::fileKindOf(path) != common::kFileKindTiff)
        return code::Failed;
    std::vector<SheetPage> pages;
    const int rc = readPages(path, pages);
    if (rc < 0)
        return rc;
    if (pages.empty())
        return code::NoPage;

    FileSums file;
    file.path = path;
    file.pages = int(pages.size());
    file.perForm.assign(size_t(m_forms.FormCount()), 0);
    m_forms.MatchPageList(pages);
    int counted = 0;
    for (SheetPage& page : pages) {
        const common::PaperForm* form = m_forms.FormAt(page.formIndex);
        if (!form || (m_sumOnly && (form->nCheck <= 0 || form->nSum == 0)))
            continue;
        page.sumSlot = form->index;
        ++file.perForm[size_t(form->index)];
        ++m_totals[size_t(form->index)];
        ++counted;
    }
    file.elseCount = file.pages - counted;
    m_elseTotal += file.elseCount;
    m_files.push_back(std::move(file));
    return code::Ok;
}

int SheetSums::sumFolder(const std::string& folder, const std::string& csvPath,
                         const char* formPath, bool sumOnly)
{
    if (const int rc = init(formPath, sumOnly); rc != 0)
        return rc;
    std::vector<platform::FolderEntry> entries;
    if (!platform::listFolder(folder, entries))
        return code::Failed;
    for (const platform::FolderEntry& entry : entries) {
        if (entry.isFolder || entry.badName)
            continue;
        const std::string path = joinPath(folder, entry.name);
        if (common::fileKindOf(path) == common::kFileKindTiff)
            putFile(path);  // a file that cannot be read is left out of the sums
    }
    if (m_files.empty())
        return code::Failed;
    return platform::writeFileAtomically(csvPath, summaryCsv()) ? code::Ok : code::Failed;
}

int SheetSums::summedForm(int index) const
{
    return index >= 0 && index < sumCount() ? m_summed[size_t(index)] : -1;
}

int SheetSums::name(int index, char* buffer, int size) const
{
    if (!buffer)
        return code::Failed;
    if (size <= 0)
        return code::SizeNotPositive;
    buffer[0] = '\0';
    const common::PaperForm* form = m_forms.FormAt(summedForm(index));
    if (!form)
        return code::NoSuchForm;
    if (form->szName.size() + 1 > size_t(size))
        return code::SmallBuffer;
    std::memcpy(buffer, form->szName.c_str(), form->szName.size() + 1);
    return code::Ok;
}

int SheetSums::sheets(int file, int index) const
{
    const int form = summedForm(index);
    if (file < 0 || file >= fileCount() || form < 0)
        return 0;
    return m_files[size_t(file)].perForm[size_t(form)];
}

int SheetSums::sum(int index) const
{
    const int form = summedForm(index);
    return form < 0 ? 0 : m_totals[size_t(form)];
}

int SheetSums::elseOfFile(int file) const
{
    return file < 0 || file >= fileCount() ? 0 : m_files[size_t(file)].elseCount;
}

std::vector<int> SheetSums::columns() const
{
    if (m_sumOnly)
        return m_summed;
    std::vector<int> all;
    for (int i = 0; i < m_forms.FormCount(); ++i)
        all.push_back(i);
    return all;
}

std::string SheetSums::summaryCsv() const
{
    const std::vector<int> cols = columns();
    std::string csv = platform::sjis("名前,サイズ,更新日付,頁数,");
    for (int form : cols)
        csv += m_forms.FormAt(form)->szName + ",";
    csv += platform::sjis("その他") + "\r\n";

    int pages = 0;
    for (const FileSums& file : m_files) {
        std::string row = fileNameOf(file.path) + ",";
        row += sizeAndTime(file.path);
        row += std::to_string(file.pages) + ",";
        for (int form : cols)
            row += std::to_string(file.perForm[size_t(form)]) + ",";
        row += std::to_string(file.elseCount) + "\r\n";
        csv += row;
        pages += file.pages;
    }
    std::string total = platform::sjis("合計") + ",,," + std::to_string(pages) + ",";
    for (int form : cols)
        total += std::to_string(m_totals[size_t(form)]) + ",";
    total += std::to_string(m_elseTotal) + "\r\n";
    return csv + total;
}

}  // namespace tnw::sheet
