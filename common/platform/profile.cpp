#include "common/platform/profile.h"

#include "common/platform/cp932.h"
#include "common/platform/files.h"

#include <climits>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace tnw::platform {

// The copy in memory of a file under a ProfileBatch.
struct ProfileBatch::State {
    std::string path;
    std::string bytes;
    bool loaded = false;  // `bytes` hold the file (or "" for a missing file)
    bool exists = false;  // the file or the batch's copy exists
    bool dirty = false;
    bool failed = false;  // the file could not be read: writes are refused as without a batch
};

namespace {

thread_local ProfileBatch::State* t_batch = nullptr;

// The batch that covers `path`, if any.
ProfileBatch::State* batchFor(const char* path)
{
    return t_batch && path && t_batch->path == path ? t_batch : nullptr;
}

// A settings file larger than this is not a settings file: it reads as missing and is not
// rewritten.
constexpr std::uint64_t kMaxFileBytes = 16u * 1024 * 1024;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Blanks are below 0x40, so they are never the second byte of a double-byte character.
std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal ignoring ASCII case; a double-byte character must match exactly (its second byte may
// look like an ASCII letter).
bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(a[i]))) {
            if (a[i] != b[i] || (i + 1 < a.size() && a[i + 1] != b[i + 1]))
                return false;
            ++i;
        } else if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// Position of the last ']' that is a character of its own (not the second byte of a
// double-byte character), or npos.
size_t lastClosingBracket(std::string_view s)
{
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < s.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(s[i])))
            ++i;
        else if (s[i] == ']')
            found = i;
    }
    return found;
}

struct Line {
    enum Kind { Other, Section, Key };
    std::string_view text;  // the line without its line end
    Kind kind = Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // value of a key line, trimmed
};

Line parseLine(std::string_view text)
{
    Line line;
    line.text = text;
    std::string_view s = trim(text);
    if (s.empty() || s[0] == ';')
        return line;
    if (s[0] == '[') {
        size_t close = lastClosingBracket(s);
        if (close != std::string_view::npos) {
            line.kind = Line::Section;
            line.name = trim(s.substr(1, close - 1));
        }
        return line;
    }
    // '=' is below 0x40, never the second byte of a double-byte character.
    size_t eq = s.find('=');
    if (eq == std::string_view::npos)
        return line;
    line.name = trim(s.substr(0, eq));
    if (line.name.empty())
        return line;
    line.kind = Line::Key;
    line.value = trim(s.substr(eq + 1));
    return line;
}

// The bytes of the files read lately, each with the identity and times of the file they came
// from: a look-up that finds the file unchanged (same device, inode, size, modification and
// change times) takes them instead of reading the file, so a run reading many keys opens the
// file once. Our own writes drop the file's entry. A file changed within the clock's tick of
// its modification time could keep that time, so bytes read then are not kept.
class ReadCache {
public:
    // The file's bytes when the cache holds them for the file as it is now.
    bool find(const std::string& osPath, const struct stat& st, std::string& bytes)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_entries.find(osPath);
        if (it == m_entries.end() || !same(it->second.st, st))
            return false;
        bytes = it->second.bytes;
        return true;
    }
    // Keeps bytes read from the file whose status was `before` the read and `after` it.
    void store(const std::string& osPath, const struct stat& before, const struct stat& after,
               const std::string& bytes)
    {
        if (!same(before, after) || !settled(after))
            return;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_entries.size() >= kMaxEntries)
            m_entries.clear();
        m_entries[osPath] = Entry{after, bytes};
    }
    void forget(const std::string& osPath)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.erase(osPath);
    }

private:
    static constexpr size_t kMaxEntries = 16;
    struct Entry {
        struct stat st;
        std::string bytes;
    };
    static bool same(const struct stat& a, const struct stat& b)
    {
        return S_ISREG(a.st_mode) && a.st_dev == b.st_dev && a.st_ino == b.st_ino &&
               a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
               a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
               a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
    }
    // Both times lie a whole coarse clock tick (a few milliseconds; 50 to be safe) in the past:
    // a later change of the file gives it newer times.
    static bool settled(const struct stat& st)
    {
        timespec now{};
        clock_gettime(CLOCK_REALTIME_COARSE, &now);
        const auto ns = [](const timespec& t) {
            return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
        };
        constexpr long long kTick = 50000000LL;
        return ns(st.st_mtim) + kTick < ns(now) && ns(st.st_ctim) + kTick < ns(now);
    }

    std::mutex m_mutex;
    std::map<std::string, Entry> m_entries;
};

ReadCache& readCache()
{
    static ReadCache cache;
    return cache;
}

// Reads a settings file through the cache. False when it cannot be read (or is missing).
bool readProfileFile(const char* path, std::string& bytes)
{
    std::string os;
    struct stat before {};
    if (!toOsPath(path, os) || os.empty() || ::stat(os.c_str(), &before) != 0)
        return readFileBytes(path, bytes, kMaxFileBytes);
    if (readCache().find(os, before, bytes))
        return true;
    if (!readFileBytes(path, bytes, kMaxFileBytes))
        return false;
    struct stat after {};
    if (::stat(os.c_str(), &after) == 0)
        readCache().store(os, before, after, bytes);
    return true;
}

// Drops the cached bytes of a file about to be written.
void forgetProfileFile(const std::string& path)
{
    std::string os;
    if (toOsPath(path, os))
        readCache().forget(os);
}

// A profile file split into lines. The lines view the bytes held here.
class ProfileText {
public:
    // Reads the file; a missing file is empty. False when the file exists but cannot be read.
    bool load(const char* path)
    {
        if (!path)
            return false;
        if (ProfileBatch::State* batch = batchFor(path)) {
            if (!batch->loaded) {
                batch->loaded = true;
                batch->exists = readFileBytes(path, batch->bytes, kMaxFileBytes);
                if (!batch->exists) {
                    batch->bytes.clear();
                    batch->failed = pathKind(path) != PathKind::Missing;
                }
            }
            if (batch->failed)
                return false;
            m_bytes = batch->bytes;
        } else if (!readProfileFile(path, m_bytes)) {
            m_bytes.clear();
            if (pathKind(path) != PathKind::Missing)
                return false;
        }
        std::string_view all = m_bytes;
        size_t start = 0;
        while (start < all.size()) {
            size_t end = all.find('\n', start);
            if (end == std::string_view::npos)
                end = all.size();
            std::string_view text = all.substr(start, end - start);
            if (!text.empty() && text.back() == '\r')
                text.remove_suffix(1);
            m_lines.push_back(parseLine(text));
            start = end + 1;
        }
        return true;
    }

    const std::string& bytes() const { return m_bytes; }
    const std::vector<Line>& lines() const { return m_lines; }

    // Index of the header of the first section named `name`, or npos.
    size_t findSection(std::string_view name) const
    {
        name = trim(name);
        for (size_t i = 0; i < m_lines.size(); ++i)
            if (m_lines[i].kind == Line::Section && sameName(m_lines[i].name, name))
                return i;
        return npos;
    }
    // Index one past the last line of the section whose header is at `header`.
    size_t sectionEnd(size_t header) const
    {
        size_t i = header + 1;
        while (i < m_lines.size() && m_lines[i].kind != Line::Section)
            ++i;
        return i;
    }
    // Index one past the last non-blank line of the section (at least header + 1).
    size_t sectionContentEnd(size_t header) const
    {
        size_t end = sectionEnd(header);
        while (end > header + 1 && trim(m_lines[end - 1].text).empty())
            --end;
        return end;
    }
    // Index of the first line of key `key` in the section at `header`, or npos.
    size_t findKey(size_t header, std::string_view key) const
    {
        key = trim(key);
        const size_t end = sectionEnd(header);
        for (size_t i = header + 1; i < end; ++i)
            if (m_lines[i].kind == Line::Key && sameName(m_lines[i].name, key))
                return i;
        return npos;
    }

    static constexpr size_t npos = static_cast<size_t>(-1);

private:
    std::string m_bytes;
    std::vector<Line> m_lines;
};

// Copies `text` into `buf`, cut to size - 1 bytes at a character boundary, zero-terminated.
unsigned copyString(std::string_view text, char* buf, unsigned size)
{
    if (!buf || size == 0)
        return 0;
    size_t n = cp932CutLength(text, size - 1);
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
    return static_cast<unsigned>(n);
}

// Copies a list of zero-terminated names (`list` holds each name and its zero) and the
// final zero; a list that does not fit is cut to size - 2 bytes at a character boundary.
unsigned copyList(std::string_view list, char* buf, unsigned size)
{
    if (!buf || size == 0)
        return 0;
    if (list.size() + 1 <= size) {
        std::memcpy(buf, list.data(), list.size());
        buf[list.size()] = '\0';
        if (list.empty() && size >= 2)
            buf[1] = '\0';  // an empty list is two zeros too
        return static_cast<unsigned>(list.size());
    }
    if (size < 2) {
        buf[0] = '\0';
        return 0;
    }
    size_t n = cp932CutLength(list, size - 2);
    std::memcpy(buf, list.data(), n);
    buf[n] = '\0';
    buf[n + 1] = '\0';
    return static_cast<unsigned>(n);
}

std::string_view unquote(std::string_view v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// Looks a value up; false when the file, section or key is missing.
bool findValue(const ProfileText& text, const char* section, const char* key,
               std::string_view& value)
{
    size_t header = text.findSection(section);
    if (header == ProfileText::npos)
        return false;
    size_t line = text.findKey(header, key);
    if (line == ProfileText::npos)
        return false;
    value = unquote(text.lines()[line].value);
    return true;
}

bool hasLineBreak(std::string_view s)
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// A key that would read back as something else once written: empty, holding '=' or a line
// break, or starting like a comment or a section header.
bool isWritableKey(std::string_view key)
{
    key = trim(key);
    return !key.empty() && key[0] != ';' && key[0] != '[' &&
           key.find('=') == std::string_view::npos && !hasLineBreak(key);
}

// Rewrites the file from `lines` with CR LF line ends, unless nothing changed.
bool save(const ProfileText& text, const std::vector<std::string_view>& lines, const char* path)
{
    std::string out;
    size_t total = 0;
    for (std::string_view l : lines)
        total += l.size() + 2;
    out.reserve(total);
    for (std::string_view l : lines) {
        out.append(l);
        out.append("\r\n");
    }
    if (ProfileBatch::State* batch = batchFor(path)) {
        if (out != batch->bytes || !batch->exists) {
            batch->bytes = std::move(out);
            batch->exists = true;
            batch->dirty = true;
        }
        return true;
    }
    if (out == text.bytes() && pathKind(path) == PathKind::File)
        return true;
    forgetProfileFile(path);
    return writeFileAtomically(path, out);
}

std::vector<std::string_view> textsOf(const ProfileText& text, size_t from, size_t to)
{
    std::vector<std::string_view> out;
    for (size_t i = from; i < to; ++i)
        out.push_back(text.lines()[i].text);
    return out;
}

// The lines of `text` with the body of `section` (up to its trailing blank lines) replaced by
// `body`; a missing section is appended. `storage` owns the new header line.
std::vector<std::string_view> replaceBody(const ProfileText& text, std::string_view section,
                                          const std::vector<std::string_view>& body,
                                          std::string& storage)
{
    const size_t count = text.lines().size();
    size_t header = text.findSection(section);
    std::vector<std::string_view> out;
    if (header == ProfileText::npos) {
        out = textsOf(text, 0, count);
        if (!out.empty() && !trim(out.back()).empty())
            out.push_back({});
        storage = "[" + std::string(trim(section)) + "]";
        out.push_back(storage);
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }
    const size_t contentEnd = text.sectionContentEnd(header);
    out = textsOf(text, 0, header + 1);
    out.insert(out.end(), body.begin(), body.end());
    std::vector<std::string_view> rest = textsOf(text, contentEnd, count);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

}  // namespace

unsigned GetPrivateProfileString(const char* section, const char* key, const char* def, char* buf,
                                 unsigned size, const char* path)
{
    ProfileText text;
    const bool loaded = text.load(path);
    if (!section || !key) {
        std::string list;
        const auto& lines = text.lines();
        size_t from = 0, to = lines.size();
        if (section) {
            from = loaded ? text.findSection(section) : ProfileText::npos;
            to = from == ProfileText::npos ? 0 : text.sectionEnd(from);
        }
        const Line::Kind wanted = section ? Line::Key : Line::Section;
        for (size_t i = from == ProfileText::npos ? 0 : from; i < to; ++i) {
            // A name that is empty or holds a zero byte would end the list early.
            const std::string_view name = lines[i].name;
            if (lines[i].kind == wanted && !name.empty() && name.find('\0') == name.npos) {
                list.append(name);
                list.push_back('\0');
            }
        }
        return copyList(list, buf, size);
    }
    std::string_view value;
    if (loaded && findValue(text, section, key, value))
        return copyString(value, buf, size);
    std::string_view d = def ? def : "";
    while (!d.empty() && (d.back() == ' ' || d.back() == '\t'))
        d.remove_suffix(1);
    return copyString(d, buf, size);
}

unsigned GetPrivateProfileKeyNames(const char* section, char* buf, unsigned size,
                                   const char* path)
{
    if (!section)
        return copyList({}, buf, size);
    return GetPrivateProfileString(section, nullptr, nullptr, buf, size, path);
}

int GetPrivateProfileInt(const char* section, const char* key, int def, const char* path)
{
    ProfileText text;
    std::string_view value;
    if (!section || !key || !text.load(path) || !findValue(text, section, key, value) ||
        value.empty())
        return def;
    value = trim(value);
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-'))
        negative = value[i++] == '-';
    long long n = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        n = n * 10 + (value[i] - '0');
        if (n > static_cast<long long>(INT_MAX) + 1)
            n = static_cast<long long>(INT_MAX) + 1;  // clamped below
    }
    if (negative)
        n = -n;
    if (n > INT_MAX)
        return INT_MAX;
    return static_cast<int>(n < INT_MIN ? INT_MIN : n);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path)
{
    if (!section || !path || hasLineBreak(section) || (key && !isWritableKey(key)) ||
        (value && hasLineBreak(value)))
        return false;
    ProfileText text;
    if (!text.load(path))
        return false;
    const size_t count = text.lines().size();
    const size_t header = text.findSection(section);
    if (!key) {  // delete the section, and any later section of the same name
        std::vector<std::string_view> out;
        bool dropping = false;
        for (const Line& l : text.lines()) {
            if (l.kind == Line::Section)
                dropping = sameName(l.name, trim(section));
            if (!dropping)
                out.push_back(l.text);
        }
        return save(text, out, path);
    }
    const size_t line = header == ProfileText::npos ? ProfileText::npos
                                                    : text.findKey(header, key);
    if (!value) {  // delete the key: every line of it, so no older copy shows up again
        if (line == ProfileText::npos)
            return true;
        const size_t end = text.sectionEnd(header);
        std::vector<std::string_view> out;
        for (size_t i = 0; i < count; ++i) {
            const Line& l = text.lines()[i];
            if (i < line || i >= end || l.kind != Line::Key || !sameName(l.name, trim(key)))
                out.push_back(l.text);
        }
        return save(text, out, path);
    }
    if (line != ProfileText::npos) {  // an existing key keeps its place and spelling
        std::string entry = std::string(text.lines()[line].name) + "=" + value;
        std::vector<std::string_view> out = textsOf(text, 0, count);
        out[line] = entry;
        return save(text, out, path);
    }
    const std::string entry = std::string(trim(key)) + "=" + value;
    if (header == ProfileText::npos) {
        std::string storage;
        return save(text, replaceBody(text, section, {entry}, storage), path);
    }
    const size_t at = text.sectionContentEnd(header);
    std::vector<std::string_view> out = textsOf(text, 0, at);
    out.push_back(entry);
    std::vector<std::string_view> rest = textsOf(text, at, count);
    out.insert(out.end(), rest.begin(), rest.end());
    return save(text, out, path);
}

bool WritePrivateProfileSection(const char* section, const char* body, const char* path)
{
    if (!body)
        return WritePrivateProfileString(section, nullptr, nullptr, path);
    if (!section || !path || hasLineBreak(section))
        return false;
    std::vector<std::string_view> entries;
    for (const char* p = body; *p; p += std::strlen(p) + 1) {
        if (hasLineBreak(p))
            return false;
        entries.emplace_back(p);
    }
    ProfileText text;
    if (!text.load(path))
        return false;
    std::string storage;
    return save(text, replaceBody(text, section, entries, storage), path);
}

ProfileBatch::ProfileBatch(const char* path) : m_state(nullptr)
{
    // Batches do not nest: an inner one (or one without a path) writes through directly.
    if (path && !t_batch) {
        m_state = new State;
        m_state->path = path;
        t_batch = m_state;
    }
}

ProfileBatch::~ProfileBatch()
{
    commit();
}

bool ProfileBatch::commit()
{
    if (!m_state)
        return true;
    if (t_batch == m_state)
        t_batch = nullptr;
    bool ok = true;
    if (m_state->dirty) {
        forgetProfileFile(m_state->path);
        ok = writeFileAtomically(m_state->path, m_state->bytes);
    }
    delete m_state;
    m_state = nullptr;
    return ok;
}

}  // namespace tnw::platform
