#include "dos_names.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr size_t kBaseChars = 8;
constexpr size_t kExtensionChars = 3;
// Besides the control characters, which DOS refuses in a name as well.
constexpr char kForbidden[] = " \"*+,/:;<=>?[\\]|";

bool IsDosName(const std::string& name) {
    if (name == "." || name == "..") return true;
    const size_t dot = name.find('.');
    const std::string base = name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
    if (base.empty() || base.size() > kBaseChars || extension.size() > kExtensionChars) return false;
    if (extension.find('.') != std::string::npos) return false;
    for (const char c : base + extension) {
        if (static_cast<unsigned char>(c) < 0x20 || strchr(kForbidden, c) != nullptr) return false;
    }
    return true;
}

}  // namespace

bool IsDosPath(const std::string& path) {
    size_t start = path.size() >= 2 && path[1] == ':' ? 2 : 0;
    // One separator first names the root; none names the current folder.
    if (start < path.size() && (path[start] == '\\' || path[start] == '/')) ++start;
    // Every part must be a name: separators in a row, one at the end or an empty path name
    // nothing that DOS opens.
    for (;;) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos) end = path.size();
        if (!IsDosName(path.substr(start, end - start))) return false;
        if (end == path.size()) return true;
        start = end + 1;
    }
}

bool OnWindows95() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
