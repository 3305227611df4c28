#include "temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>
#include <vector>

#include <filesystem>

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "briskarn-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        throw std::runtime_error("cannot create a temporary directory");
    m_path = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Read-only files and directories a test left behind must not stop the clean-up.
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
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
    return std::filesystem::exists(File(name));
}

CurrentDirectory::CurrentDirectory(const std::string& dir) {
    m_previous = std::filesystem::current_path().string();
    std::filesystem::current_path(dir);
}

CurrentDirectory::~CurrentDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
}
