// Line-oriented text files over a CTnwbuff: one block per line. Files are read accepting CR LF
// or LF line ends and written with CR LF, whatever the platform.
#pragma once

#include <string>

class CTnwbuff;

namespace tnw::common {

// Longest line piece held in one block, not counting its line end. A longer line continues in
// the next block, so no byte is lost.
inline constexpr int kTextLineMax = 4095;

// Appends the lines of the file at `path` (code page 932) to `lines`, one block per line, in file
// order. Without `keepLineEnds` (> 0) the line end is removed; with it every line that had one
// ends in a single "\n" (a CR before the LF is always dropped). A line that is empty after that
// is a block of size 1. Without `keepLineEnds`, a byte 26 (end-of-file mark) at the very end of
// the file is removed too, so a final line holding only that mark is an empty block.
// A NUL byte inside a line is kept in the block (its size counts every byte of the line), so the
// rest of the file is still read; the block's text ends at the NUL for string users.
// Returns 0; -1 when the file cannot be opened or read; the list's code when a block cannot be
// added or the list is not a list of bytes.
int readLines(const std::string& path, CTnwbuff& lines, int keepLineEnds);

// Writes every non-empty block of `lines` (its zero-terminated text) followed by CR LF, in list
// order, replacing the file; empty blocks are skipped. Returns 0; -1 when the file cannot be
// opened or written completely; the list's code when it is not a list of bytes.
int writeLines(const std::string& path, const CTnwbuff& lines);

}  // namespace tnw::common
