#include "machine.h"

#include <algorithm>

#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>

#include "e2e.h"

namespace machine {

std::string RegValue::Text() const {
    std::string text;
    for (unsigned char c : bytes) {
        if (c == 0) break;
        text.push_back(static_cast<char>(c));
    }
    return text;
}

bool KeyExists(const std::string& subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ | e2e::RegistryView(), &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

RegValue ReadValue(const std::string& subkey, const char* name) {
    RegValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ | e2e::RegistryView(), &key) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        if (RegQueryValueExA(key, name, nullptr, &value.type, value.bytes.data(), &size) == ERROR_SUCCESS) {
            value.exists = true;
            value.bytes.resize(size);
        }
    }
    RegCloseKey(key);
    return value;
}

bool WriteStringValue(const std::string& subkey, const char* name, const std::string& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | e2e::RegistryView(), nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool ok = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                   static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

RestrictedKey::RestrictedKey(const std::string& subkey, const char* dacl) : subkey_(subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, READ_CONTROL | WRITE_DAC | e2e::RegistryView(), &key) !=
        ERROR_SUCCESS) {
        return;
    }
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    saved_.resize(size);
    PSECURITY_DESCRIPTOR restricting = nullptr;
    if (size > 0 && RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data(), &size) == ERROR_SUCCESS &&
        ConvertStringSecurityDescriptorToSecurityDescriptorA(dacl, SDDL_REVISION_1, &restricting, nullptr)) {
        restricted_ = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, restricting) == ERROR_SUCCESS;
        LocalFree(restricting);
    }
    RegCloseKey(key);
}

RestrictedKey::~RestrictedKey() {
    HKEY key = nullptr;
    if (!restricted_ ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey_.c_str(), 0, WRITE_DAC | e2e::RegistryView(), &key) != ERROR_SUCCESS) {
        return;
    }
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data());
    RegCloseKey(key);
}

void DeleteKeyTree(const std::string& subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_ALL_ACCESS | e2e::RegistryView(), &key) != ERROR_SUCCESS) {
        return;
    }
    RegDeleteTreeA(key, nullptr);
    RegCloseKey(key);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), e2e::RegistryView(), 0);
}

std::string WindowsDirectory() {
    char path[MAX_PATH] = {};
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

std::string SystemDirectory() {
    char path[MAX_PATH] = {};
    GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

std::string ProgramsFolder() {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE);
    return path;
}

std::string GroupFolder() { return ProgramsFolder() + "\\Vexelworks"; }
std::string WindowsProgramsFolder() { return WindowsDirectory() + "\\Start Menu\\Programs"; }
std::string WindowsGroupFolder() { return WindowsProgramsFolder() + "\\Vexelworks"; }
std::string CommonGroupFolder() {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_COMMON_PROGRAMS, FALSE);
    return std::string(path) + "\\Vexelworks";
}
std::string SetupIniPath() { return WindowsDirectory() + "\\SETUP.INI"; }

void ResetSetupState() {
    DeleteKeyTree(kCompanyKey);
    DeleteKeyTree(kUninstallKey);
    DeleteKeyTree(kDeleteFilesKey);
    RemoveTree(GroupFolder());
    RemoveTree(WindowsGroupFolder());
    RemoveTree(CommonGroupFolder());
    DeleteFileA(SetupIniPath().c_str());
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::vector<unsigned char> bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) return bytes;
    unsigned char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    fclose(file);
    return bytes;
}

bool WriteBytes(const std::string& path, const std::string& data) {
    const size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos) MakeDirectories(path.substr(0, slash));
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = fwrite(data.data(), 1, data.size(), file) == data.size();
    return fclose(file) == 0 && written;
}

std::vector<std::string> Entries(const std::string& directory) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void MakeDirectories(const std::string& path) {
    for (size_t at = path.find_first_of("\\/", 3); at != std::string::npos;
         at = path.find_first_of("\\/", at + 1)) {
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
}

void RemoveTree(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!RemoveDirectoryA(path.c_str())) DeleteFileA(path.c_str());
}

std::string Join(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    const char last = directory.back();
    return (last == '\\' || last == '/') ? directory + name : directory + "\\" + name;
}

std::string FreshDirectory(const std::string& name) {
    const std::string path = "C:\\qtest\\" + name;
    RemoveTree(path);
    MakeDirectories(path);
    return path;
}

std::string ReadText(const std::string& path) {
    const std::vector<unsigned char> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

bool CopyInto(const std::string& from, const std::string& to) {
    const size_t slash = to.find_last_of('\\');
    if (slash != std::string::npos) MakeDirectories(to.substr(0, slash));
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

static void CollectFiles(const std::string& directory, const std::string& prefix, std::vector<std::string>* names) {
    for (const std::string& name : Entries(directory)) {
        if (DirectoryExists(directory + "\\" + name)) {
            CollectFiles(directory + "\\" + name, prefix + name + "\\", names);
        } else {
            names->push_back(prefix + name);
        }
    }
}

std::vector<std::string> FilesIn(const std::string& directory) {
    std::vector<std::string> names;
    CollectFiles(directory, "", &names);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Listing(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += "  " + name + "\n";
    return text;
}

}  // namespace machine
