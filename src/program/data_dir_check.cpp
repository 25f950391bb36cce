#include "program/data_dir_check.h"

#include <filesystem>
#include <system_error>

std::string dataDirProblem(const std::string& dir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::file_status status = fs::status(dir, ec);
    if (status.type() == fs::file_type::not_found) return "does not exist";
    if (ec) return "cannot be read: " + ec.message();
    if (!fs::is_directory(status)) return "is not a directory";
    for (const char* folder : {"g", "s", "m"}) {
        fs::file_status sub = fs::status(fs::path(dir) / folder, ec);
        if (!fs::is_directory(sub)) return std::string("has no ") + folder + "/ folder";
    }
    return {};
}
