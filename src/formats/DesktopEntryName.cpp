#include "formats/DesktopEntryName.h"

#include "formats/DesktopFile.h"
#include "formats/FileBytes.h"

#include <string_view>

std::string desktopEntryName(const std::string& path)
{
    // Entries are a few kilobytes; a megabyte is no entry.
    const std::string bytes = FileBytes::readWhole(path, std::size_t(1) << 20);
    const auto groups = desktop::parse(bytes);
    const std::string* name = desktop::value(groups, "Desktop Entry", "Name");
    return name ? *name : std::string();
}
