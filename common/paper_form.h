// The table of paper forms: the 28 standard paper sizes and the sizes the user defines, read
// from (and written back to) the form file "tnwForm.ini", and the matching that names the paper
// size of a scanned page from its pixel size and resolution.
//
// Lengths are held in millimetres as single-precision floats; the form file and its XML export
// hold integer tenths of a millimetre. Every text is code page 932.
#pragma once

#include <concepts>
#include <string>
#include <vector>

namespace tnw::common {

// The deliverable a table is built for. The three deliverables share this module but differ in
// two points:
// - the default of `nSum` when a form's section has none: 0 for SheetLibrary, 1 otherwise;
// - the orientation of a page when matching: SheetLibrary (tnwsheet) calls a page upright when
//   its pixel width is at most its pixel height, and sets the landscape flag in MatchPageList;
//   Program (Korvelin) and ConvLibrary (tnwconv) call it upright when its width in millimetres
//   is at most its height, and set the landscape flag in MatchForm.
enum class FormVariant {
    Program,       // Korvelin
    ConvLibrary,   // tnwconv
    SheetLibrary,  // tnwsheet
};

// One paper form. Plain record, copied whole by the dialog and the page lists.
struct PaperForm {
    int index = 0;         // position in the table, 0-based
    int nCheck = 0;        // > 0: enabled; only enabled forms take part in matching
    int nUser = 0;         // 0 standard form, 1 user form, -1 user form deleted in the dialog
    int nId = 0;           // standard: its id (1-45); user forms 100, 101, ... in load order
    int nLonger = 0;       // long sheet: 0 none, 1 long in X, 2 long in Y (standard forms 0)
    int nSum = 0;          // non-zero: counted in sheet sums
    int nDefaultPrinter = 0;  // 1 when szPrinter is empty (the default printer is used)
    int nNoLayout = 0;        // 1 when szLayout is empty
    std::string szName;       // also the name of the form's section in the form file
    std::string szPrinter;    // empty: none
    std::string szLayout;     // empty: none; carried through load and save unchanged
    float fWidth = 0;   // nominal width (X), mm
    float fHeight = 0;  // nominal height (Y), mm
    float fx1 = 0;      // minus tolerance in X, mm
    float fx2 = 0;      // plus tolerance in X, mm
    float fy1 = 0;      // minus tolerance in Y, mm
    float fy2 = 0;      // plus tolerance in Y, mm
};

// A page as the table sees it. The page records of the page lists and sheet sums derive from
// this (or are this), so MatchPageList can walk a list of them.
struct PaperPage {
    int widthPx = 0;
    int heightPx = 0;
    int unit = 0;       // resolution unit: 0 unknown, 1 none, 2 inch, 3 cm, 4 mm, 5 metre
    double xRes = 0;    // pixels per unit, horizontally
    double yRes = 0;    // pixels per unit, vertically
    int landscape = 0;  // 1 landscape, 0 upright; set by matching (see FormVariant)
    int formIndex = -1; // index of the matched form in the table that matched it (valid while
                        // that table lives and is not reloaded); -1 none
    int sumSlot = -1;   // the sheet sums' slot of this page; MatchPageList clears it to -1
};

// The codes of the table's operations (0 is success).
namespace formcode {
constexpr int NoFit = 1;          // MatchForm: no enabled form fits the page
constexpr int NoSize = -1;        // MatchForm: the page's size cannot be computed
constexpr int Failed = -1;        // a path that does not fit, or a file that cannot be written
constexpr int NameRefused = -2;   // SaveForms: a form left out, its name cannot be stored
constexpr int UnknownUnit = -9;   // PageSizeMm: a resolution unit code outside 0-5
}  // namespace formcode

// The longest settings or export path, in bytes: it must fit a 260-byte buffer with its zero.
inline constexpr size_t kFormPathMax = 259;

// The form file's name, and the XML export's name (written next to the form file).
inline constexpr char kFormFileName[] = "tnwForm.ini";
inline constexpr char kFormXmlName[] = "tnwForm.xml";

// Whether a form name can be stored in the form file and read back as the same name: not
// empty, valid code page 932, no line break, NUL or '=', no blank at either end, and not
// starting with ';' or '[' (such a line would read as a comment or a section header), and not
// "USERFORM" in any case (that section lists the user forms). A name entry should refuse other
// names; SaveForms and ExportFormsXml leave such forms out.
bool IsStorableFormName(const std::string& name);

class CPaperFormTable {
public:
    // A table whose default form file is "tnwForm.ini" in the settings folder.
    explicit CPaperFormTable(FormVariant variant);
    // A table whose default form file is "tnwForm.ini" in `defaultFolder` (no trailing '/').
    CPaperFormTable(FormVariant variant, std::string defaultFolder);

    FormVariant Variant() const { return m_variant; }

    // Replaces the whole list from the form file at `path` (null or empty: the default file):
    // the 28 standard forms in table order, then the user forms listed in section USERFORM (as
    // far as the list's first 4096 bytes hold whole names). A missing or unreadable file gives
    // every key its default. Returns 0; -1 when `path` is longer than kFormPathMax (the list
    // then holds the defaults, as for a missing file).
    int LoadForms(const char* path = nullptr);

    // Writes every form of `forms` into its section of the form file at `path` (null or empty:
    // the default file) and replaces section USERFORM by the names of the forms whose nUser is
    // above 0. Other keys, sections and comments of the file stay. Returns 0; -1 when the path
    // does not fit or a write failed (the writes before it stay); -2 when a form was left out
    // because IsStorableFormName refuses its name (every other form is written).
    int SaveForms(const std::vector<PaperForm>& forms, const char* path = nullptr) const;

    // Writes "tnwForm.xml" into the folder of the form file `path` (null or empty: the default
    // folder): every form of `forms` with a storable name, in list order, with the characters
    // & < > " ' of names escaped. The file is replaced whole or not at all. Returns 0; -1 when
    // the path does not fit or the file cannot be written.
    int ExportFormsXml(const std::vector<PaperForm>& forms, const char* path = nullptr) const;

    // The size of `page` along `axis` (0 width, 1 height) in millimetres. Returns 0; -1 for
    // unit code 0 (size unknown); -9 for a unit code (or axis) outside the table. `mm` is 0
    // whenever the status is not 0, and for an axis whose resolution is below 1.
    static int PageSizeMm(const PaperPage& page, int axis, double& mm);

    // Names the paper size of `page`: the first enabled form in table order whose window holds
    // the page. Returns 0 (found: `name` is its name, page.formIndex its index), 1 (no form
    // fits: `name` empty, page.formIndex -1) or -1 (size not computable: nothing changed).
    int MatchForm(PaperPage& page, std::string& name) const;
    int MatchForm(PaperPage& page) const;

    // Runs MatchForm over every page in order, after clearing its match and sum slot. Returns 0.
    template <class Page>
        requires std::derived_from<Page, PaperPage>
    int MatchPageList(std::vector<Page>& pages) const
    {
        for (Page& page : pages)
            MatchListedPage(page);
        return 0;
    }

    int FormCount() const { return static_cast<int>(m_forms.size()); }
    // The form at `index`; null when out of range.
    const PaperForm* FormAt(int index) const;
    // The forms in table order (copies are what the dialog edits).
    const std::vector<PaperForm>& Forms() const { return m_forms; }

    // The form file the last LoadForms read (empty before the first load).
    const std::string& FormPath() const { return m_formPath; }
    // The form file used when no path is given ("" when the default folder cannot be had).
    std::string DefaultFormPath() const;

private:
    void MatchListedPage(PaperPage& page) const;
    int ResolvePath(const char* path, std::string& resolved) const;

    FormVariant m_variant;
    std::string m_defaultFolder;
    std::string m_formPath;
    std::vector<PaperForm> m_forms;
};

}  // namespace tnw::common
