// One running instance per user: a lock file in the user's runtime folder, held with flock for
// as long as the object lives (in the program: the process's life), and a local socket named
// after the same program on which the running interactive window listens, so that a later start
// can bring it forward. A command-line conversion with a display holds the lock but does not
// listen; without a display the program takes no lock, so conversions run side by side.
//
// The lock is tied to an open file, not to the file's existence: it goes when the process ends,
// however it ends, and the file left behind is taken over by the next start. The file is opened
// close-on-exec, so a program started from here (the log's viewer) never keeps it.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace tnw::platform {

// The user's runtime folder (operating-system path): $XDG_RUNTIME_DIR when it is a full path,
// else /tmp/korvelin-<uid>, created with mode 0700 and refused ("") unless it is a real folder
// owned by the user and closed to others.
std::string runtimeFolder();

// The base name of the running program ("Korvelin").
std::string programBaseName();

class SingleInstance {
public:
    enum class State {
        Acquired,        // this object holds the lock
        AlreadyRunning,  // another process (or another object) holds it
        Unavailable,     // no runtime folder or lock file could be had
    };

    // `name`: the program's base name; `folder`: the runtime folder ("" = runtimeFolder()).
    explicit SingleInstance(const std::string& name, const std::string& folder = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock without waiting. Calling it again after Acquired answers Acquired.
    State acquire();
    bool held() const;

    // The interactive instance: listens on the local socket and calls `bringForward` for each
    // request of a later start. Needs the lock and a Qt event loop (QCoreApplication). A stale
    // socket of an ended instance is removed first. False when listening fails.
    bool listen(std::function<void()> bringForward);

    // A later start: asks the running instance to come forward. False when nothing listens
    // (a command-line conversion, or an instance still starting) or no answer within the time.
    bool requestBringForward(int timeoutMs = 1000) const;

    std::string lockPath() const;    // <folder>/<name>.lock
    std::string socketPath() const;  // <folder>/<name>.socket

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tnw::platform
