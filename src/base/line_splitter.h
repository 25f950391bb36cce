#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Cuts a stream of bytes, fed in pieces of any size, into lines, so a file can be parsed as
// it is read. A line reaches the sink without its newline (and without a '\r' before it);
// of a line longer than maxLength only the first maxLength bytes are kept and `cut` is set,
// so no line, however long, takes more memory than that.
class LineSplitter {
public:
    using Sink = std::function<void(std::string_view line, bool cut)>;
    LineSplitter(size_t maxLength, Sink sink) : maxLength_(maxLength), sink_(std::move(sink)) {}

    void feed(std::string_view bytes);
    // The last line, when the text does not end with a newline.
    void finish();

private:
    void emit(std::string_view line, bool cut);
    void keep(std::string_view part);

    size_t maxLength_;
    Sink sink_;
    std::string partial_;  // the start of a line whose end has not come yet
    bool partialCut_ = false;
    bool pending_ = false;  // partial_ holds a line begun (possibly empty after a '\r')
};
