#include "platform/DisplayChoice.h"

#include "platform/BaseDirectories.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Connects to a unix socket by path, or in the abstract namespace when abstract.
bool connects(const std::string& path, bool abstract)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;
    if (path.size() + offset >= sizeof(addr.sun_path))
        return false;
    std::memcpy(addr.sun_path + offset, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return true; // cannot tell: let Qt try
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), length) == 0;
    ::close(fd);
    return ok;
}

} // namespace

DisplayPlan planDisplay(const DisplayFacts& facts)
{
    if (facts.platformChosen || !facts.qpaPlatform.empty())
        return DisplayPlan::AsIs;
    const bool wayland = facts.sessionType == "wayland" || !facts.waylandDisplay.empty();
    if (facts.display.empty())
        return wayland ? DisplayPlan::NoXServer : DisplayPlan::NoDisplay;
    return wayland ? DisplayPlan::ForceXcb : DisplayPlan::AsIs;
}

DisplayFacts currentDisplayFacts(bool platformChosen)
{
    return DisplayFacts{environmentValue("DISPLAY"), environmentValue("WAYLAND_DISPLAY"), environmentValue("XDG_SESSION_TYPE"), environmentValue("QT_QPA_PLATFORM"),
                        platformChosen};
}

bool XServerAnswers(const std::string& display)
{
    // ":N", ":N.S" and "unix:N" are this machine's server N.
    std::string number;
    if (display.rfind(':', 0) == 0)
        number = display.substr(1);
    else if (display.rfind("unix:", 0) == 0)
        number = display.substr(5);
    else
        return true;
    number = number.substr(0, number.find('.'));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return true;
    const std::string path = "/tmp/.X11-unix/X" + number;
    return connects(path, true) || connects(path, false);
}
