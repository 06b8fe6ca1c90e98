#pragma once

#include "platform/Shell.h"

// Placeholder until the launching layer lands: every call fails truthfully.
class DesktopShell final : public Shell {
public:
    Result open(const std::string&, const std::string&, const std::string&) override { return {false, "not built yet"}; }
    Result startWithFile(const std::string&, const std::string&, const std::string&) override { return {false, "not built yet"}; }
    Result copyInto(const std::string&, const std::string&) override { return {false, "not built yet"}; }
    Result openLink(const QString&) override { return {false, "not built yet"}; }
};
