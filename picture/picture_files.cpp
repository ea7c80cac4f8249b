#include "picture/picture_files.h"

#include <QCoreApplication>
#include <filesystem>
#include <system_error>

namespace tapwright {

namespace fs = std::filesystem;

std::string ProgramDirectory() {
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationDirPath().toStdString();
    }
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

std::string InstalledDataDirectory() {
    const std::string program = ProgramDirectory();
    if (program.empty()) return std::string();
    return (fs::path(program) / TAPWRIGHT_DATA_FROM_PROGRAM).lexically_normal().string();
}

std::string FindPictureFile(std::string_view name) {
    std::error_code error;
    if (fs::is_regular_file(fs::path(name), error)) return std::string(name);
    for (const std::string& directory : {ProgramDirectory(), InstalledDataDirectory()}) {
        if (directory.empty()) continue;
        const fs::path candidate = fs::path(directory) / fs::path(name);
        if (fs::is_regular_file(candidate, error)) return candidate.string();
    }
    return std::string(name);
}

}  // namespace tapwright
