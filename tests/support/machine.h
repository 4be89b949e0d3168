// The machine around the setup program as the tests see it: files, folders and the registry.
#ifndef QUORVANE_TESTS_MACHINE_H
#define QUORVANE_TESTS_MACHINE_H

#include <windows.h>

#include <string>
#include <vector>

namespace machine {

constexpr char kProductKey[] = "Software\\Vexelworks\\Quorvane";
constexpr char kCompanyKey[] = "Software\\Vexelworks";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane";
constexpr char kDeleteFilesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\DeleteFiles\\Quorvane";

// A registry value as stored: its type and its bytes (NUL included for REG_SZ).
struct RegValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<unsigned char> bytes;
    std::string Text() const;  // the bytes up to the first NUL
};

bool KeyExists(const std::string& subkey);  // under HKEY_LOCAL_MACHINE
RegValue ReadValue(const std::string& subkey, const char* name);
bool WriteStringValue(const std::string& subkey, const char* name, const std::string& data);
void DeleteKeyTree(const std::string& subkey);
// While it lives, the key's access list is `dacl` (SDDL), as NT restricts HKEY_LOCAL_MACHINE\Software
// for a user without administrator rights; the test process, as every process under Wine, meets it
// as such a user would. The old list comes back at its end.
class RestrictedKey {
  public:
    RestrictedKey(const std::string& subkey, const char* dacl);
    ~RestrictedKey();
    RestrictedKey(const RestrictedKey&) = delete;
    RestrictedKey& operator=(const RestrictedKey&) = delete;
    bool Restricted() const { return restricted_; }

  private:
    std::string subkey_;
    std::vector<unsigned char> saved_;  // the key's own access, given back at the end
    bool restricted_ = false;
};
// Everyone may do all but write values and create keys below: a registry that refuses the records.
constexpr char kNoWritesDacl[] = "D:(D;;0x6;;;WD)(A;;KA;;;WD)";
// What NT 4 gives Everyone on HKEY_LOCAL_MACHINE\Software, "Special Access": query and set values,
// create and enumerate subkeys, notify, delete, read control; not WRITE_DAC, WRITE_OWNER or create
// link, which administrators alone have.
constexpr char kPlainUserDacl[] = "D:(A;;0x3001f;;;WD)";

std::string WindowsDirectory();
// The system folder as a program sees it (a 32-bit one's is redirected, under the same name).
std::string SystemDirectory();
// Where the system keeps program groups: the shell's Programs folder (the user's profile under
// Wine, as on NT 4), and the game's group in it.
std::string ProgramsFolder();
std::string GroupFolder();          // <Programs>\Vexelworks
// The same below the Windows directory, where Windows 95 without user profiles keeps them.
std::string WindowsProgramsFolder();  // <Windows>\Start Menu\Programs
std::string WindowsGroupFolder();     // <Windows>\Start Menu\Programs\Vexelworks
// The Programs folder of all users, which the removal looks into as well.
std::string CommonGroupFolder();      // <Common Programs>\Vexelworks
std::string SetupIniPath();         // <Windows>\SETUP.INI

// Removes every trace that an earlier test may have left: the keys, the group in all three
// places, SETUP.INI.
void ResetSetupState();

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
std::vector<unsigned char> ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& data);
void MakeDirectories(const std::string& path);
// The names of the files and folders in a directory, sorted; "." and ".." left out.
std::vector<std::string> Entries(const std::string& directory);
void RemoveTree(const std::string& path);
std::string ReadText(const std::string& path);
// Copies a file, making the folders of `to` first.
bool CopyInto(const std::string& from, const std::string& to);
// Every file below `directory`, by relative name, sorted.
std::vector<std::string> FilesIn(const std::string& directory);
// The names one to a line, for a failure message that shows the difference.
std::string Listing(const std::vector<std::string>& names);
std::string Join(const std::string& directory, const std::string& name);
// A fresh, empty directory for one test: C:\qtest\<name>.
std::string FreshDirectory(const std::string& name);

}  // namespace machine

#endif
