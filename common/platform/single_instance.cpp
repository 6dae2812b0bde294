#include "common/platform/single_instance.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QString>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace tnw::platform {
namespace {

const char kRequest[] = "forward\n";
const char kAnswer[] = "ok\n";

// A folder only this user can enter: a real folder (not a link), owned by the user, with no
// rights for group or others. /tmp is shared, so a folder made there by someone else is refused.
bool isPrivateFolder(const std::string& folder)
{
    struct stat st {};
    return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

}  // namespace

std::string runtimeFolder()
{
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && xdg[0] == '/') {
        std::string folder(xdg);
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    const std::string folder = "/tmp/korvelin-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return isPrivateFolder(folder) ? folder : std::string();
}

std::string programBaseName()
{
    char buf[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0)
        return "Korvelin";
    std::string path(buf, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct SingleInstance::Impl {
    std::string name;
    std::string folder;
    int fd = -1;
    std::unique_ptr<QLocalServer> server;
    std::function<void()> bringForward;

    ~Impl()
    {
        server.reset();
        if (fd >= 0)
            ::close(fd);  // releases the lock
    }

    std::string pathOf(const char* suffix) const
    {
        return folder.empty() ? std::string() : folder + "/" + name + suffix;
    }

    void answer(QLocalSocket* socket)
    {
        if (!socket->canReadLine())
            return;
        const QByteArray request = socket->readLine();
        if (request == kRequest) {
            socket->write(kAnswer);
            socket->flush();
            if (bringForward)
                bringForward();
        }
        socket->disconnectFromServer();
    }

    void accept()
    {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket,
                             &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket,
                             [this, socket] { answer(socket); });
            answer(socket);  // the request may be here already
        }
    }
};

SingleInstance::SingleInstance(const std::string& name, const std::string& folder)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->name = name.empty() ? std::string("Korvelin") : name;
    m_impl->folder = folder.empty() ? runtimeFolder() : folder;
}

SingleInstance::~SingleInstance() = default;

std::string SingleInstance::lockPath() const { return m_impl->pathOf(".lock"); }
std::string SingleInstance::socketPath() const { return m_impl->pathOf(".socket"); }

bool SingleInstance::held() const { return m_impl->fd >= 0; }

SingleInstance::State SingleInstance::acquire()
{
    if (held())
        return State::Acquired;
    const std::string path = lockPath();
    if (path.empty())
        return State::Unavailable;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return State::Unavailable;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy ? State::AlreadyRunning : State::Unavailable;
    }
    m_impl->fd = fd;
    return State::Acquired;
}

bool SingleInstance::listen(std::function<void()> bringForward)
{
    if (!held() || m_impl->server)
        return false;
    const QString name = QFile::decodeName(QByteArray::fromStdString(socketPath()));
    // We hold the lock, so a socket file left here belongs to an instance that has ended.
    QLocalServer::removeServer(name);
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name))
        return false;
    m_impl->bringForward = std::move(bringForward);
    Impl* impl = m_impl.get();
    QObject::connect(server.get(), &QLocalServer::newConnection, server.get(),
                     [impl] { impl->accept(); });
    m_impl->server = std::move(server);
    return true;
}

bool SingleInstance::requestBringForward(int timeoutMs) const
{
    const std::string path = socketPath();
    if (path.empty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kRequest);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine() == kAnswer;
}

}  // namespace tnw::platform
