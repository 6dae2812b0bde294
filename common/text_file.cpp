// Text-mode reading and writing done by hand, so that files behave the same on every platform:
// CR LF or LF are accepted when reading, CR LF is written.
#include "common/text_file.h"

#include "CTnwbuff.h"
#include "common/platform/files.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace tnw::common {

namespace {

constexpr int kEofMark = 26;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// getc with up to two characters put back.
class CharReader {
public:
    explicit CharReader(FILE* file) : m_file(file) {}
    int get() { return m_count > 0 ? m_back[--m_count] : std::getc(m_file); }
    void putBack(int c) { m_back[m_count++] = c; }
    // Consumes a line end (LF or CR LF) when one comes next; a lone CR stays text.
    bool takeLineEnd()
    {
        int c = get();
        if (c == '\n') return true;
        if (c == '\r') {
            int d = get();
            if (d == '\n') return true;
            if (d != EOF) putBack(d);
        }
        if (c != EOF) putBack(c);
        return false;
    }
    bool failed() const { return std::ferror(m_file) != 0; }

private:
    FILE* m_file;
    int m_back[2] = {EOF, EOF};
    int m_count = 0;
};

enum class LineEnd { None, Feed };

int addLine(CTnwbuff& lines, std::string& piece, LineEnd end, bool atEof, int keepLineEnds)
{
    if (keepLineEnds > 0) {
        if (end == LineEnd::Feed) piece.push_back('\n');
    } else if (end == LineEnd::None && atEof && !piece.empty() &&
               static_cast<unsigned char>(piece.back()) == kEofMark) {
        piece.pop_back();
    }
    int rc = piece.empty() ? lines.Add(1, nullptr)
                           : lines.AddText(piece.data(), static_cast<int>(piece.size()));
    piece.clear();
    return rc;
}

}  // namespace

int readLines(const std::string& path, CTnwbuff& lines, int keepLineEnds)
{
    if (int rc = lines.Validate(); rc != kTnwBuffOk) return rc;
    if (lines.Kind() != kTnwBuffBytes) return kTnwBuffBadTag;
    FilePtr file(tnw::platform::openFile(path, "rb"));
    if (!file) return -1;

    CharReader in(file.get());
    std::string piece;
    piece.reserve(kTextLineMax + 1);
    for (;;) {
        if (in.takeLineEnd()) {
            if (int rc = addLine(lines, piece, LineEnd::Feed, false, keepLineEnds); rc != 0) {
                return rc;
            }
            continue;
        }
        int c = in.get();
        if (c == EOF) {
            if (in.failed()) return -1;
            if (!piece.empty()) {
                if (int rc = addLine(lines, piece, LineEnd::None, true, keepLineEnds); rc != 0) {
                    return rc;
                }
            }
            return 0;
        }
        piece.push_back(static_cast<char>(c));
        if (static_cast<int>(piece.size()) == kTextLineMax) {
            // A full piece: its line end, when it comes right after, belongs to it; otherwise the
            // line continues in the next block.
            bool end = in.takeLineEnd();
            int next = end ? EOF : in.get();
            bool atEof = !end && next == EOF;
            if (next != EOF) in.putBack(next);
            int rc = addLine(lines, piece, end ? LineEnd::Feed : LineEnd::None, atEof,
                             keepLineEnds);
            if (rc != 0) return rc;
        }
    }
}

int writeLines(const std::string& path, const CTnwbuff& lines)
{
    if (int rc = lines.Validate(); rc != kTnwBuffOk) return rc;
    if (lines.Kind() != kTnwBuffBytes) return kTnwBuffBadTag;
    FILE* raw = tnw::platform::openFile(path, "wb");
    if (raw == nullptr) return -1;
    FilePtr file(raw);

    bool ok = true;
    const TnwBlockList& list = lines.m_list;
    for (const TnwBlockLink* link = list.anchor.newer; link != &list.anchor;
         link = link->newer) {
        const char* text = reinterpret_cast<const TnwBlock*>(link)->data();
        const size_t length = std::strlen(text);
        if (length == 0) continue;
        ok = ok && std::fwrite(text, 1, length, raw) == length;
        ok = ok && std::fwrite("\r\n", 1, 2, raw) == 2;
    }
    // A write error (a full disk) must not pass for success.
    ok = (std::fclose(file.release()) == 0) && ok;
    return ok ? 0 : -1;
}

}  // namespace tnw::common
