// The command line: words separated by NUL bytes, as argv would hold them. Any of them is
// either a run, a help text, or one usage error.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "program/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words(1, "parapet");
    std::string word;
    for (size_t i = 0; i < size && words.size() < 64; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    if (!word.empty() && words.size() < 64) words.push_back(word);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    argv.push_back(nullptr);

    Options options;
    ParseResult result = parseOptions(static_cast<int>(words.size()), argv.data(), options);
    if (result.outcome != ParseOutcome::run && result.text.empty()) std::abort();
    if (result.outcome == ParseOutcome::run && options.scale < 1) std::abort();
    return 0;
}
