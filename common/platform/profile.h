// Private-profile INI files, with the rules of the Windows reader and writer that the system's
// settings files rely on. Paths, sections, keys and values are code page 932 byte strings.
// Files are code page 932 with CR LF line ends; LF-only files are read alike.
#pragma once

#include <cstddef>

namespace tnw::platform {

// Reads a value. Section and key names ignore ASCII case; the value is trimmed and one pair of
// matching surrounding quotes is removed. A missing file, section or key gives `def` (null = "").
// With a null `key`, fills `buf` with the section's key names, each zero-terminated, the list
// ended by a second zero. The result is cut to `size` - 1 bytes (list: `size` - 2) at a
// character boundary. Returns the number of bytes copied, not counting the final zero.
unsigned GetPrivateProfileString(const char* section, const char* key, const char* def, char* buf,
                                 unsigned size, const char* path);

// Reads an integer like the platform reader: optional blanks and sign, then leading decimal
// digits; anything else gives 0 ("abc" 0, "12x" 12, "-3" -3). Missing key: `def`.
int GetPrivateProfileInt(const char* section, const char* key, int def, const char* path);

// Writes one value, keeping comments, blank lines, other keys and their order. A new key goes to
// the end of its section, a new section to the end of the file. A null `value` deletes the key;
// a null `key` deletes the whole section. The file is replaced atomically. Returns false when the
// file cannot be written.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path);

// Replaces a section's body whole with `body`: "key=value" strings, each zero-terminated, the
// list ended by a second zero. The file is replaced atomically.
bool WritePrivateProfileSection(const char* section, const char* body, const char* path);

// The key names of a section, as GetPrivateProfileString does with a null key.
unsigned GetPrivateProfileKeyNames(const char* section, char* buf, unsigned size,
                                   const char* path);

}  // namespace tnw::platform
