#include "base/line_splitter.h"

#include <cstring>

void LineSplitter::emit(std::string_view line, bool cut) {
    if (!cut && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    sink_(line, cut);
}

void LineSplitter::keep(std::string_view part) {
    pending_ = true;
    size_t room = maxLength_ > partial_.size() ? maxLength_ - partial_.size() : 0;
    if (part.size() > room) {
        partial_.append(part.substr(0, room));
        partialCut_ = true;
    } else {
        partial_.append(part);
    }
}

void LineSplitter::feed(std::string_view bytes) {
    while (!bytes.empty()) {
        const void* found = std::memchr(bytes.data(), '\n', bytes.size());
        if (found == nullptr) {
            keep(bytes);
            return;
        }
        size_t length = static_cast<size_t>(static_cast<const char*>(found) - bytes.data());
        std::string_view line = bytes.substr(0, length);
        bytes.remove_prefix(length + 1);
        if (!pending_) {
            // The common case: the whole line lies in this piece and is handed on in place.
            bool cut = line.size() > maxLength_;
            emit(cut ? line.substr(0, maxLength_) : line, cut);
            continue;
        }
        keep(line);
        emit(partial_, partialCut_);
        partial_.clear();
        partialCut_ = false;
        pending_ = false;
    }
}

void LineSplitter::finish() {
    if (!pending_) return;
    emit(partial_, partialCut_);
    partial_.clear();
    partialCut_ = false;
    pending_ = false;
}
