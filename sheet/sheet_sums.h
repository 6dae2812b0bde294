// Sheet sums: pages counted per paper form over a set of TIFF files, and their summary CSV.
#pragma once

#include "common/paper_form.h"
#include "sheet/page_info.h"

#include <string>
#include <vector>

namespace tnw::sheet {

class SheetSums {
public:
    SheetSums();

    // Loads the form table from `formPath` (null or "": the default file), clears every sum
    // and builds the list of summed forms: the forms in use, and with `sumOnly` only those
    // that also carry the sum flag. Returns 0 or the form loading's code.
    int init(const char* formPath, bool sumOnly);

    // Counts the pages of one TIFF file. Returns 0; -1 when the path is not of kind 12; -2
    // when the file has no page; the TIFF reader's code when it cannot be read (the file is
    // then not put).
    int putFile(const std::string& path);

    // init, then putFile for every TIFF file of `folder` (no sub-folders), then the summary
    // CSV at `csvPath`, written whole or not at all. Returns 0; the form loading's code; -1
    // when no file could be put or the CSV cannot be written.
    int sumFolder(const std::string& folder, const std::string& csvPath, const char* formPath,
                  bool sumOnly);

    int fileCount() const { return int(m_files.size()); }
    int sumCount() const { return int(m_summed.size()); }
    // Name of summed form `index`: 0, or -1 (no buffer), -2 (size not positive), -3 (too
    // small), -4 (no such summed form).
    int name(int index, char* buffer, int size) const;
    int sheets(int file, int index) const;
    int sum(int index) const;
    int elseOfFile(int file) const;
    int elseSum() const { return m_elseTotal; }

    // The summary CSV of the files put so far (code page 932, CR LF).
    std::string summaryCsv() const;

    const common::CPaperFormTable& forms() const { return m_forms; }

private:
    struct FileSums {
        std::string path;
        int pages = 0;
        std::vector<int> perForm;  // one counter per form of the table
        int elseCount = 0;
    };

    // The table indexes of the CSV's form columns.
    std::vector<int> columns() const;
    // The table index of summed form `index`; -1 when out of range.
    int summedForm(int index) const;

    common::CPaperFormTable m_forms;
    bool m_sumOnly = false;
    std::vector<int> m_summed;      // table indexes of the summed forms, in table order
    std::vector<FileSums> m_files;
    std::vector<int> m_totals;      // one grand total per form of the table
    int m_elseTotal = 0;
};

}  // namespace tnw::sheet
