#include "platform/DesktopEntryName.h"

#include "platform/DesktopFile.h"
#include "platform/MappedFile.h"

#include <string_view>

std::string DesktopEntryName(const std::string& path)
{
    // Entries are a few kilobytes; a megabyte is no entry.
    const MappedFile file(path, std::size_t(1) << 20);
    const auto bytes = file.bytes();
    const auto groups = desktop::parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    const std::string* name = desktop::value(groups, "Desktop Entry", "Name");
    return name ? *name : std::string();
}
