#pragma once

#include <string>
#include <vector>

class QMimeData;

// What a drag carries, in the drop's order: a local file as its path in the file
// system's own bytes (a name that is not valid UTF-8 survives), anything else as its
// URI. File managers offer both as text/uri-list; a drag with neither carries nothing
// a toolbar takes.
std::vector<std::string> dropItems(const QMimeData* data);
// True when the drag carries at least one item (cheap: nothing is converted).
bool carriesItems(const QMimeData* data);
