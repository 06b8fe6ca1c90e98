#pragma once

#include "platform/Shell.h"

#include <deque>
#include <string>
#include <vector>

// Records every call; answers from a script of results in call order, then with
// success (or failure when failAll is set).
class FakeShell final : public Shell {
public:
    enum class Op { Open, StartWithFile, CopyInto, OpenLink };
    struct Call {
        Op op;
        std::string target;     // open/startWithFile: the target; copyInto: the file; openLink: the URL
        std::string parameters; // open/startWithFile only
        std::string other;      // open: working folder; startWithFile: the file; copyInto: the folder
    };

    Result<void> open(const std::string& target, const std::string& parameters,
                      const std::string& workingFolder) override
    {
        return record({Op::Open, target, parameters, workingFolder});
    }
    Result<void> startWithFile(const std::string& target, const std::string& parameters,
                               const std::string& file) override
    {
        return record({Op::StartWithFile, target, parameters, file});
    }
    Result<void> copyInto(const std::string& file, const std::string& folder) override
    {
        return record({Op::CopyInto, file, {}, folder});
    }
    Result<void> openLink(const QString& url) override
    {
        return record({Op::OpenLink, url.toStdString(), {}, {}});
    }

    std::vector<Call> calls;
    // The next calls' script: true succeeds, false fails with "scripted failure N", N
    // counting the calls from 1.
    std::deque<bool> results;
    bool failAll{false};

private:
    Result<void> record(Call call)
    {
        calls.push_back(call);
        const bool ok = results.empty() ? !failAll : results.front();
        if (!results.empty())
            results.pop_front();
        if (ok)
            return {};
        return Failure{"scripted failure " + std::to_string(calls.size())};
    }
};
