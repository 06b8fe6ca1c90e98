#include "platform/ArgSplit.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

} // namespace

std::optional<std::vector<std::string>> splitArgs(std::string_view line)
{
    std::vector<std::string> args;
    std::string word;
    bool inWord = false; // a word may be empty (""), so its presence is tracked apart
    std::size_t i = 0;
    const std::size_t n = line.size();

    while (i < n) {
        const char c = line[i];
        if (isBlank(c)) {
            if (inWord) {
                args.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            ++i;
        } else if (c == '\'') {
            const std::size_t close = line.find('\'', i + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            word.append(line.substr(i + 1, close - i - 1));
            inWord = true;
            i = close + 1;
        } else if (c == '"') {
            inWord = true;
            ++i;
            for (;;) {
                if (i >= n)
                    return std::nullopt;
                const char d = line[i];
                if (d == '"') {
                    ++i;
                    break;
                }
                if (d == '\\' && i + 1 < n) {
                    const char e = line[i + 1];
                    if (e == '"' || e == '\\' || e == '$' || e == '`') {
                        word += e;
                        i += 2;
                        continue;
                    }
                    if (e == '\n') { // a continued line
                        i += 2;
                        continue;
                    }
                }
                word += d;
                ++i;
            }
        } else if (c == '\\') {
            if (i + 1 >= n)
                return std::nullopt;
            if (line[i + 1] != '\n') { // backslash-newline joins lines and adds nothing
                word += line[i + 1];
                inWord = true;
            }
            i += 2;
        } else {
            word += c;
            inWord = true;
            ++i;
        }
    }
    if (inWord)
        args.push_back(std::move(word));
    return args;
}
