// The one guard of the exported functions: no exception ever leaves the library.
#pragma once

namespace tnw::conv {

// Runs `body`; an exception (out of memory, mostly) becomes `failCode`.
template <typename Body>
int guarded(int failCode, Body body) noexcept
{
    try {
        return body();
    } catch (...) {
        return failCode;
    }
}

}  // namespace tnw::conv
