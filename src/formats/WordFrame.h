#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The words of a request or an answer, framed so that any bytes pass: each word is its
// length in decimal, a colon and the bytes; the frame starts with the number of words and
// a colon. Example: {"press", "a b"} is "2:5:press3:a b".
std::string encodeWords(const std::vector<std::string>& words);

// The largest frame either side takes: names are short, and a listing of a large set
// stays far below it.
inline constexpr std::size_t MaxFrameBytes = 1 << 20;

struct DecodedWords {
    enum class State { Done, More, Bad };
    State state{State::More};
    std::vector<std::string> words; // when Done
    std::size_t used{};             // bytes of the frame, when Done
};
// Reads a frame from the start of bytes: Done with the words, More when bytes end before
// the frame does, Bad when they cannot be a frame (or it would pass MaxFrameBytes).
DecodedWords decodeWords(const std::string& bytes);

