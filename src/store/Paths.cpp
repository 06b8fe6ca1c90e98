#include "store/Paths.h"

namespace {
#ifdef _WIN32
constexpr std::string_view Separators = "\\/";
constexpr char PreferredSeparator = '\\';
#else
constexpr std::string_view Separators = "/";
constexpr char PreferredSeparator = '/';
#endif

bool isSeparator(char c) { return Separators.find(c) != std::string_view::npos; }
} // namespace

std::string PathTitle(std::string_view path)
{
    std::size_t last = path.find_last_of(Separators);
    std::string_view name = last == std::string_view::npos ? path : path.substr(last + 1);
    return std::string(name.substr(0, name.find('.')));
}

std::string PathFolder(std::string_view path)
{
    std::size_t last = path.find_last_of(Separators);
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string joinPath(std::string_view folder, std::string_view name)
{
    std::string joined(folder);
    if (!joined.empty() && !isSeparator(joined.back()))
        joined += PreferredSeparator;
    joined += name;
    return joined;
}

bool isAbsolutePath(std::string_view path)
{
#ifdef _WIN32
    if (path.size() >= 3 && path[1] == ':' && isSeparator(path[2]))
        return true;
    return path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
#else
    return !path.empty() && path[0] == '/';
#endif
}
