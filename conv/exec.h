// kvlExec: runs the job the setters have filled. It checks the inputs and the output, hands
// the checked job to one of the four batch drivers and finishes the conversion log.
#pragma once

#include <ctime>
#include <functional>
#include <string>

namespace tnw::conv {

// Codes of kvlExec besides the drivers' results.
enum ExecCode {
    kExecNotInitialised = -299,
    kExecBothInputs = -200,
    kExecNoInputs = -201,
    kExecDescriptionFailed = -202,
    kExecInputCheckFailed = -203,
    kExecNoOutput = -204,
    kExecOutputCheckFailed = -205,
    kExecFromDescription = -190,
    kExecBadGrouping = -9,
};

// The message shown with a code ("" for none), code page 932.
std::string execMessage(int code);

// Where the run start time comes from; tests fix it. Null returns to the system clock.
using RunClock = std::function<std::time_t()>;
void setRunClock(RunClock clock);

// The whole of kvlExec on the library's job state.
int executeJob();

}  // namespace tnw::conv
