// Private-profile INI files, with the rules of the Windows reader and writer that the system's
// settings files rely on. Paths, sections, keys and values are code page 932 byte strings.
// Files are code page 932 with CR LF line ends; LF-only files are read alike.
//
// The file format, as read here:
// - "[name]" starts a section; the name is trimmed and is everything up to the line's last ']'.
//   A line starting with '[' but holding no ']' is not a section header.
// - "key=value" inside a section: key and value are trimmed (blanks, tabs); the first '='
//   separates them. The first section of a name and the first key of a name in it win.
// - A line whose first non-blank character is ';' is a comment. Comments, blank lines, lines
//   without '=' and lines before the first section are ignored for look-ups and kept on write.
// - Names are compared ignoring ASCII case; the second byte of a double-byte character is
//   never case-folded, so two different Japanese names never compare equal.
//
// Reads of a file that has not changed since it was last read (same identity, size and times)
// come from memory: a run that reads many keys opens the file once. A write drops what was
// kept, and a file changed behind our back is read again; there is nothing to flush.
// Every write rebuilds the file with CR LF line ends and replaces it atomically (a temporary
// file in the same folder, flushed to disk, then renamed over the old one), so a crash never
// leaves half a settings file. A write that changes nothing leaves the file untouched.
#pragma once

#include <cstddef>

namespace tnw::platform {

// Reads a value. Section and key names ignore ASCII case; the value is trimmed and one pair of
// matching surrounding quotes (" or ') is removed. A missing file, section or key gives `def`
// (null = "", trailing blanks removed).
// With a null `key`, fills `buf` with the section's key names, each zero-terminated, the list
// ended by a second zero (a missing section gives an empty list). With a null `section`, the
// same for the names of all sections. The result is cut to `size` - 1 bytes (list: `size` - 2,
// so that both final zeros fit) at a character boundary. Returns the number of bytes copied,
// not counting the final zero. A null `buf` or a `size` of 0 copies nothing and returns 0.
unsigned GetPrivateProfileString(const char* section, const char* key, const char* def, char* buf,
                                 unsigned size, const char* path);

// Reads an integer like the platform reader: optional blanks and sign, then leading decimal
// digits; anything else gives 0 ("abc" 0, "12x" 12, "-3" -3, " +7" 7). Missing or empty key:
// `def`. A number beyond the range of int is clamped to INT_MIN / INT_MAX.
int GetPrivateProfileInt(const char* section, const char* key, int def, const char* path);

// Writes one value, keeping comments, blank lines, other keys and their order. An existing key
// keeps its place (and its spelling); a new key goes after the last non-blank line of its
// section, a new section (preceded by a blank line) to the end of the file. A null `value`
// deletes the key (every copy of it in the section); a null `key` deletes the whole section
// (header and body, and any later section of the same name). The file is
// replaced atomically. Returns false when the file cannot be read or written, when `section`
// is null, when a name or the value holds a line break (CR or LF), or when the key is empty,
// holds '=' or starts with ';' or '[': such a write would not read back as written, or would
// change other entries of the file than the one asked for.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path);

// Replaces a section's body whole with `body`: "key=value" strings, each zero-terminated, the
// list ended by a second zero (a body of just "\0" leaves the section empty). The section's
// trailing blank lines stay; a missing section is appended. A null `body` deletes the section.
// The file is replaced atomically. Returns false as WritePrivateProfileString does.
bool WritePrivateProfileSection(const char* section, const char* body, const char* path);

// The key names of a section, as GetPrivateProfileString does with a null key.
unsigned GetPrivateProfileKeyNames(const char* section, char* buf, unsigned size,
                                   const char* path);

// Groups many writes to one file into one replacement of it. While a batch lives on this
// thread, reads and writes of its path work on a copy in memory, with the same rules; commit()
// (or the destructor) then replaces the file atomically once, if anything changed. Saving a
// settings record key by key would otherwise rewrite and sync the file for every key.
class ProfileBatch {
public:
    explicit ProfileBatch(const char* path);
    ~ProfileBatch();
    ProfileBatch(const ProfileBatch&) = delete;
    ProfileBatch& operator=(const ProfileBatch&) = delete;

    // Writes the file if a write changed it; false when that write failed. Ends the batch.
    bool commit();

    struct State;

private:
    State* m_state;
};

}  // namespace tnw::platform
