#pragma once

#include "platform/Shell.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

// Records every call as "operation target | parameters | other" (other: the working folder
// to open in, the file to start with, the folder to copy into) or "link URL"; answers from
// a script of results in call order, then with success (or failure when failAll is set).
class FakeShell final : public Shell {
public:
    Result<void> open(const std::string& target, const std::string& parameters,
                      const std::string& workingFolder) override
    {
        return record("open " + target + " | " + parameters + " | " + workingFolder);
    }
    Result<void> startWithFile(const std::string& target, const std::string& parameters,
                               const std::string& file) override
    {
        return record("start " + target + " | " + parameters + " | " + file);
    }
    Result<void> copyInto(const std::string& file, const std::string& folder) override
    {
        return record("copy " + file + " |  | " + folder);
    }
    Result<void> openLink(const QString& url) override { return record("link " + url.toStdString()); }

    std::vector<std::string> calls;
    // The next calls' script: true succeeds, false fails with "scripted failure N", N
    // counting the calls from 1.
    std::deque<bool> results;
    bool failAll{false};

private:
    Result<void> record(std::string call)
    {
        calls.push_back(std::move(call));
        const bool ok = results.empty() ? !failAll : results.front();
        if (!results.empty())
            results.pop_front();
        if (ok)
            return {};
        return Failure{"scripted failure " + std::to_string(calls.size())};
    }
};
