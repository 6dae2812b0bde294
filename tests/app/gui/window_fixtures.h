// The settings a window test or benchmark runs with: a fresh record ordered by name, nothing
// read from or written to Korvelin.ini.
#pragma once

#include "app/core/run/conv_library.h"

namespace tnw::test {

inline tnw::app::ConvSettingsIo nameOrderSettingsIo()
{
    return {[](const char*, ConvSettings* r) {
                *r = ConvSettings{};
                r->nPageOrder = 1;
                return 0;
            },
            [](const char*, const ConvSettings*) { return 0; }};
}

}  // namespace tnw::test
