#include "temp_dir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include <filesystem>

namespace fs = std::filesystem;

TempDir::TempDir() {
    // create_directory fails on an existing name, so a clash only costs a retry.
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("briskarn-test-" + std::to_string(stamp) +
                                                          "-" + std::to_string(counter++));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            m_path = candidate.string();
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Read-only files and directories a test left behind must not stop the clean-up.
    for (auto it = fs::recursive_directory_iterator(m_path, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

std::string TempDir::Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void TempDir::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool TempDir::Exists(const std::string& name) const {
    return fs::exists(File(name));
}

CurrentDirectory::CurrentDirectory(const std::string& dir) {
    m_previous = fs::current_path().string();
    fs::current_path(dir);
}

CurrentDirectory::~CurrentDirectory() {
    std::error_code ignored;
    fs::current_path(m_previous, ignored);
}
