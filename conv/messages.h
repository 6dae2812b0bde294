// The library's message routine: every message of the call interface and of the job goes
// through here, as a message box with the title "Dravik" and an OK button.
#pragma once

#include <string>

namespace tnw::conv {

// `text` is code page 932. Waits until the user closes the box.
void putMessage(const std::string& text);

// printf-style formatting into a std::string (C locale for numbers).
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tnw::conv
