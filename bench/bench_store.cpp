// Reading the large set (256 toolbars of 40 buttons) as start-up does, against a floor
// that reads the very same bytes and only splits them into lines. The goal is a reader
// no slower than twice the floor.

#include "LargeSet.h"
#include "store/Store.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string DataFolder() { return LargeSetFolder() + "/set"; }

// The files start-up reads, in its order: Toolbars.cfg, then each toolbar's file.
const std::vector<std::string>& SetFiles()
{
    static const std::vector<std::string> files = [] {
        std::vector<std::string> f{cfgPath(DataFolder())};
        ToolbarSet set;
        (void)ReadCfg(set, DataFolder());
        for (int i = 0; i < set.count(); ++i)
            f.push_back(set.Tbrs[i].Path);
        return f;
    }();
    return files;
}

void BM_ReadLargeSet(benchmark::State& state)
{
    const std::string folder = DataFolder(); // generated here, outside the timing, if need be
    std::size_t buttons = 0;
    for (auto _ : state) {
        ToolbarSet set;
        StoreMessages msgs = ReadCfg(set, folder);
        for (int i = 0; i < set.count(); ++i) {
            StoreMessages m = ReadBtns(set.Tbrs[i]);
            msgs.insert(msgs.end(), m.begin(), m.end());
        }
        if (!msgs.empty() || set.count() != 256) {
            std::string why = "wrong toolbar count";
            if (!msgs.empty()) {
                const RenderedMessage first = msg::render(msgs.front());
                why = first.text + " (" + first.details + ")";
            }
            state.SkipWithError(("the large set did not read cleanly: " + why).c_str());
            break;
        }
        buttons = 0;
        for (int i = 0; i < set.count(); ++i)
            buttons += set.Tbrs[i].BtnCount;
        benchmark::DoNotOptimize(set);
    }
    state.counters["buttons"] = static_cast<double>(buttons);
}
BENCHMARK(BM_ReadLargeSet)->Unit(benchmark::kMillisecond);

// The floor: open each file, read it whole, keep each line as a string of its own.
void BM_ReadLargeSetLinesFloor(benchmark::State& state)
{
    const auto& files = SetFiles();
    std::size_t lines = 0;
    for (auto _ : state) {
        std::vector<std::vector<std::string>> all;
        all.reserve(files.size());
        for (const std::string& path : files) {
            std::FILE* f = std::fopen(path.c_str(), "rb");
            if (!f) {
                state.SkipWithError(("cannot open " + path).c_str());
                return;
            }
            std::string bytes;
            char buf[16384];
            for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
                bytes.append(buf, n);
            std::fclose(f);
            std::vector<std::string>& out = all.emplace_back();
            std::size_t pos = 0;
            while (pos < bytes.size()) {
                std::size_t end = bytes.find("\r\n", pos);
                if (end == std::string::npos)
                    end = bytes.size();
                out.emplace_back(bytes, pos, end - pos);
                pos = end + 2;
            }
        }
        lines = 0;
        for (const auto& v : all)
            lines += v.size();
        benchmark::DoNotOptimize(all);
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ReadLargeSetLinesFloor)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
