// The install's registry records and its probe file, in process, against Wine's real registry and
// file system.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "command_line.h"
#include "e2e.h"
#include "install_chain.h"
#include "machine.h"
#include "records.h"
#include "resource_ids.h"
#include "state.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The bytes a REG_SZ value holds for `text`: the text and its NUL.
Bytes StringBytes(const std::string& text) {
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

std::string Printable(const Bytes& bytes) {
    std::string text;
    for (unsigned char c : bytes) text += c == 0 ? std::string("\\0") : std::string(1, static_cast<char>(c));
    return text;
}

void SetBuffer(char* buffer, const std::string& text) {
    ASSERT_LT(text.size(), static_cast<size_t>(kPathChars));
    memcpy(buffer, text.c_str(), text.size() + 1);
}

// Number of values and subkeys of a key under HKEY_LOCAL_MACHINE (-1 when the key is missing).
int ValueCount(const std::string& subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(key);
    return static_cast<int>(values);
}

bool WriteRawValue(const std::string& subkey, const char* name, DWORD type, const std::string& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    // RegSetValueExA adds a NUL to string data that lacks one when the byte behind the given size
    // is a NUL; a guard byte there keeps the data exactly as given.
    const std::string guarded = data + '#';
    const bool ok = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(guarded.data()),
                                   static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

// Every test starts from a machine that never had the game, and leaves it so.
class RecordsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machine::ResetSetupState();
        SetBuffer(InstallDirectory, "");
        SetBuffer(WorkDirectory, "nada");
        RunGrpconvOnExit = 0;
    }
    void TearDown() override { machine::ResetSetupState(); }

    // Writes all three records for an install into `directory`.
    static void RecordInstall(const std::string& directory) {
        EXPECT_TRUE(WriteWorkDirectory(directory.c_str())) << "WorkDir for " << directory;
        EXPECT_TRUE(WriteDeleteFilesRecord(directory.c_str())) << "DeleteFiles for " << directory;
        WriteUninstallEntry(directory.c_str());
    }

    static void ExpectString(const std::string& subkey, const char* name, const std::string& expected) {
        const machine::RegValue value = machine::ReadValue(subkey, name);
        ASSERT_TRUE(value.exists) << subkey << " \"" << name << "\" is missing";
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type) << subkey << " \"" << name << "\"";
        EXPECT_EQ(Printable(StringBytes(expected)), Printable(value.bytes)) << subkey << " \"" << name << "\"";
    }
};

// --- Reaching keys ---------------------------------------------------------------------------------

using RecordsReach = RecordsTest;

TEST_F(RecordsReach, CreatesEveryMissingLevelAndAnswersTheLastOne) {
    const char* const names[] = {"Vexelworks", "Quorvane", "Deeper"};
    HKEY key = ReachSoftwareKey(names, 3, KEY_SET_VALUE);
    ASSERT_NE(nullptr, key);
    EXPECT_TRUE(machine::KeyExists("Software\\Vexelworks\\Quorvane\\Deeper"));
    const char data[] = "here";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Mark", 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                                            sizeof(data)));
    EXPECT_EQ("here", machine::ReadValue("Software\\Vexelworks\\Quorvane\\Deeper", "Mark").Text())
        << "the key answered is the last level";
}

TEST_F(RecordsReach, NoFurtherNamesAnswersSoftwareItself) {
    HKEY key = ReachSoftwareKey(nullptr, 0, KEY_READ);
    ASSERT_NE(nullptr, key);
    HKEY child = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(key, "Microsoft", 0, KEY_READ, &child))
        << "Software\\Microsoft is reachable from the answered key";
    if (child != nullptr) RegCloseKey(child);
}

// --- The work-directory record -----------------------------------------------------------------------

using WorkDirRecord = RecordsTest;

TEST_F(WorkDirRecord, ReadingOnACleanMachineCreatesTheEmptyKeysAndKeepsTheText) {
    ASSERT_FALSE(machine::KeyExists(machine::kCompanyKey));
    EXPECT_FALSE(ReadWorkDirectory(WorkDirectory));
    EXPECT_STREQ("nada", WorkDirectory);
    EXPECT_TRUE(machine::KeyExists(machine::kCompanyKey));
    EXPECT_TRUE(machine::KeyExists(machine::kProductKey));
    EXPECT_EQ(0, ValueCount(machine::kCompanyKey)) << "no value written under Vexelworks";
    EXPECT_EQ(0, ValueCount(machine::kProductKey)) << "no value written under Vexelworks\\Quorvane";

    SetBuffer(WorkDirectory, "D:\\Earlier");
    EXPECT_FALSE(ReadWorkDirectory(WorkDirectory)) << "the keys exist now, the value still does not";
    EXPECT_STREQ("D:\\Earlier", WorkDirectory);
}

TEST_F(WorkDirRecord, WriteStoresTheDirectoryByteExact) {
    SetBuffer(InstallDirectory, "C:\\Games\\Q");
    EXPECT_TRUE(WriteWorkDirectory(InstallDirectory));
    ExpectString(machine::kProductKey, "WorkDir", "C:\\Games\\Q");
    EXPECT_EQ(11u, machine::ReadValue(machine::kProductKey, "WorkDir").bytes.size()) << "10 characters and the NUL";
}

TEST_F(WorkDirRecord, AWrittenRecordReadsBack) {
    SetBuffer(InstallDirectory, "C:\\Games\\Q\\");
    ASSERT_TRUE(WriteWorkDirectory(InstallDirectory));
    SetBuffer(WorkDirectory, "nada");
    EXPECT_TRUE(ReadWorkDirectory(WorkDirectory));
    EXPECT_STREQ("C:\\Games\\Q\\", WorkDirectory) << "the trailing separator is kept as given";
}

TEST_F(WorkDirRecord, ALaterInstallOverwritesTheValue) {
    SetBuffer(InstallDirectory, "C:\\A Rather Long Directory\\Quorvane");
    ASSERT_TRUE(WriteWorkDirectory(InstallDirectory));
    SetBuffer(InstallDirectory, "D:\\Q");
    ASSERT_TRUE(WriteWorkDirectory(InstallDirectory));
    ExpectString(machine::kProductKey, "WorkDir", "D:\\Q");
}

TEST_F(WorkDirRecord, ADirectoryOf257CharactersReadsBack) {
    const std::string directory = "C:\\" + std::string(254, 'd');
    ASSERT_EQ(257u, directory.size());
    SetBuffer(InstallDirectory, directory);
    ASSERT_TRUE(WriteWorkDirectory(InstallDirectory));
    SetBuffer(WorkDirectory, "nada");
    EXPECT_TRUE(ReadWorkDirectory(WorkDirectory));
    EXPECT_EQ(directory, std::string(WorkDirectory));
}

TEST_F(WorkDirRecord, ADirectoryOf258CharactersIsStoredButDoesNotFitTheRead) {
    for (size_t length : {258u, 259u}) {
        const std::string directory = "C:\\" + std::string(length - 3, 'd');
        SetBuffer(InstallDirectory, directory);
        ASSERT_TRUE(WriteWorkDirectory(InstallDirectory)) << length << " characters";
        EXPECT_EQ(length + 1, machine::ReadValue(machine::kProductKey, "WorkDir").bytes.size())
            << "the write stores the whole text of " << length << " characters";
        SetBuffer(WorkDirectory, "C:\\Previous");
        EXPECT_FALSE(ReadWorkDirectory(WorkDirectory)) << length << " characters";
        EXPECT_STREQ("C:\\Previous", WorkDirectory) << "after the failed read of " << length << " characters";
    }
}

// WorkDirectory starts full of text here, so data that brings no NUL of its own would run on into it.
class WorkDirOddValue : public RecordsTest {
  protected:
    void SetUp() override {
        RecordsTest::SetUp();
        memset(WorkDirectory, 'x', kPathChars - 1);
        WorkDirectory[kPathChars - 1] = '\0';
    }
    static size_t TerminatedLength() {
        const void* nul = memchr(WorkDirectory, 0, kPathChars);
        return nul == nullptr ? kPathChars : static_cast<const char*>(nul) - WorkDirectory;
    }
};

// Neither an empty text nor data of another type names a directory: taken as one, it would make
// the current directory the game's.
TEST_F(WorkDirOddValue, AnEmptyTextOrDataThatIsNoTextIsNoRecord) {
    for (const auto& [type, data] : {std::pair<DWORD, std::string>{REG_BINARY, "C:\\Bin"},
                                     {REG_BINARY, std::string(258, 'b')}, {REG_SZ, ""}, {REG_BINARY, ""}}) {
        ASSERT_TRUE(WriteRawValue(machine::kProductKey, "WorkDir", type, data));
        SetBuffer(WorkDirectory, "C:\\Previous");
        EXPECT_FALSE(ReadWorkDirectory(WorkDirectory)) << "type " << type << ", " << data.size() << " bytes";
        EXPECT_STREQ("C:\\Previous", WorkDirectory);
    }
}

TEST_F(WorkDirOddValue, AStringStoredWithoutItsNulEndsWithinTheBuffer) {
    for (size_t length : {10u, 257u, 258u}) {
        ASSERT_TRUE(WriteRawValue(machine::kProductKey, "WorkDir", REG_SZ, std::string(length, 's')));
        ASSERT_EQ(length, machine::ReadValue(machine::kProductKey, "WorkDir").bytes.size())
            << "stored without a NUL";
        EXPECT_TRUE(ReadWorkDirectory(WorkDirectory)) << length << " bytes";
        EXPECT_EQ(std::string(length, 's'), std::string(WorkDirectory, TerminatedLength()))
            << length << " bytes of REG_SZ without a NUL";
    }
    ASSERT_TRUE(WriteRawValue(machine::kProductKey, "WorkDir", REG_SZ, std::string(259, 's')));
    SetBuffer(WorkDirectory, "C:\\Previous");
    EXPECT_FALSE(ReadWorkDirectory(WorkDirectory)) << "259 bytes do not fit";
    EXPECT_STREQ("C:\\Previous", WorkDirectory);
}

// --- The delete-files record and the uninstall entry -------------------------------------------------

using RecordsInstall = RecordsTest;

// A "setup.exe" value that an earlier removal left for the system to delete goes: an install's
// record names no file of its own.
TEST_F(RecordsInstall, AnInstallIntoCGamesQWritesEveryRecordByteExact) {
    WriteOwnFileRecord("C:\\Earlier");
    RecordInstall("C:\\Games\\Q");
    ExpectString(machine::kProductKey, "WorkDir", "C:\\Games\\Q");
    ExpectString(machine::kDeleteFilesKey, "", "C:\\Games\\Q");
    ExpectString(machine::kUninstallKey, "UninstallString", "C:\\Games\\Q\\setup.exe -REMOVE");
    ExpectString(machine::kUninstallKey, "DisplayName", "Quorvane July 4th Demo");
    EXPECT_EQ(23u, machine::ReadValue(machine::kUninstallKey, "DisplayName").bytes.size());
    EXPECT_EQ(1, ValueCount(machine::kProductKey));
    EXPECT_EQ(1, ValueCount(machine::kDeleteFilesKey)) << "the default value alone";
    EXPECT_EQ(2, ValueCount(machine::kUninstallKey));
}

TEST_F(RecordsInstall, ATrailingSeparatorStaysInWorkDirAndIsNotDoubled) {
    RecordInstall("C:\\Games\\Q\\");
    ExpectString(machine::kProductKey, "WorkDir", "C:\\Games\\Q\\");
    ExpectString(machine::kDeleteFilesKey, "", "C:\\Games\\Q\\");
    ExpectString(machine::kUninstallKey, "UninstallString", "C:\\Games\\Q\\setup.exe -REMOVE");
    RecordInstall("C:/Games/Q/");
    ExpectString(machine::kUninstallKey, "UninstallString", "C:/Games/Q/setup.exe -REMOVE");
}

TEST_F(RecordsInstall, ALaterInstallOverwritesEveryRecord) {
    RecordInstall("C:\\My Games\\Quorvane Demo");
    RecordInstall("D:\\Q");
    ExpectString(machine::kProductKey, "WorkDir", "D:\\Q");
    ExpectString(machine::kDeleteFilesKey, "", "D:\\Q");
    ExpectString(machine::kUninstallKey, "UninstallString", "D:\\Q\\setup.exe -REMOVE");
    ExpectString(machine::kUninstallKey, "DisplayName", "Quorvane July 4th Demo");
}

TEST_F(RecordsInstall, AnUninstallCommandThatDoesNotFitIsNotWrittenCut) {
    const std::string directory = "C:\\" + std::string(246, 'd');  // 249 + "\setup.exe" + 2 NULs > 260
    SetBuffer(InstallDirectory, directory);
    WriteUninstallEntry(InstallDirectory);
    ExpectString(machine::kUninstallKey, "DisplayName", "Quorvane July 4th Demo");
    EXPECT_FALSE(machine::ReadValue(machine::kUninstallKey, "UninstallString").exists);
}

// --- Composing the uninstall command line ------------------------------------------------------------

std::string Compose(const std::string& directory, int capacity = kPathChars, bool* fits = nullptr) {
    std::vector<char> out(capacity + 8, 'x');
    const bool composed = ComposeUninstallString(out.data(), capacity, directory.c_str());
    if (fits != nullptr) *fits = composed;
    EXPECT_EQ('x', out[capacity]) << "nothing written past the capacity for " << directory;
    return std::string(out.data(), strnlen(out.data(), capacity));
}

// How the system that runs the entry splits it: the program, then the arguments.
std::vector<std::string> SplitAsTheSystemDoes(const std::string& command) {
    std::vector<std::string> parts;
    const std::wstring wide(command.begin(), command.end());
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(wide.c_str(), &count);
    for (int i = 0; i < count; ++i) {
        const std::wstring part = arguments[i];
        parts.emplace_back(part.begin(), part.end());
    }
    LocalFree(arguments);
    return parts;
}

TEST(UninstallString, WithoutBlanksThePathStaysUnquoted) {
    EXPECT_EQ("C:\\Quorvane\\setup.exe -REMOVE", Compose("C:\\Quorvane"));
    EXPECT_EQ("C:\\Games\\Q\\setup.exe -REMOVE", Compose("C:\\Games\\Q\\"));
    EXPECT_EQ("C:/Games/Q/setup.exe -REMOVE", Compose("C:/Games/Q/"));
    EXPECT_EQ("setup.exe -REMOVE", Compose("")) << "an empty directory gets no separator";
}

TEST(UninstallString, ABlankAnywhereQuotesTheProgramPath) {
    EXPECT_EQ("\"C:\\My Games\\Q\\setup.exe\" -REMOVE", Compose("C:\\My Games\\Q"));
    EXPECT_EQ("\"C:\\Games\\Quorvane Demo\\setup.exe\" -REMOVE", Compose("C:\\Games\\Quorvane Demo\\"));
    EXPECT_EQ("\"C:\\Q \\setup.exe\" -REMOVE", Compose("C:\\Q "));
}

TEST(UninstallString, TheSystemFindsTheWholeProgramPathAndTheProgramGetsRemove) {
    for (const std::string directory : {"C:\\Quorvane", "C:\\My Games\\Q", "C:\\A B C\\", "D:\\x"}) {
        const std::string command = Compose(directory);
        const std::vector<std::string> parts = SplitAsTheSystemDoes(command);
        ASSERT_EQ(2u, parts.size()) << command;
        EXPECT_EQ(machine::Join(directory, "setup.exe"), parts[0]) << "the program run for " << command;
        EXPECT_EQ("-REMOVE", parts[1]) << command;
        EXPECT_STREQ("-REMOVE", SkipProgramName(command.c_str()))
            << "what the program's start-up hands on of " << command;
    }
}

TEST(UninstallString, ACapacityTooSmallGivesFalseAndAnEmptyText) {
    // C:\Games\Q\setup.exe -REMOVE: 28 characters and the NUL.
    bool fits = false;
    EXPECT_EQ("C:\\Games\\Q\\setup.exe -REMOVE", Compose("C:\\Games\\Q", 29, &fits));
    EXPECT_TRUE(fits);
    EXPECT_EQ("", Compose("C:\\Games\\Q", 28, &fits));
    EXPECT_FALSE(fits);
    // The quotes count: 30 characters and the NUL.
    EXPECT_EQ("\"C:\\My Gam\\setup.exe\" -REMOVE", Compose("C:\\My Gam", 30, &fits));
    EXPECT_TRUE(fits);
    EXPECT_EQ("", Compose("C:\\My Gam", 29, &fits));
    EXPECT_FALSE(fits);
}

TEST(UninstallString, ADirectoryTooLongForAPathIsRefused) {
    bool fits = true;
    const std::string longest = "C:\\" + std::string(245, 'd');  // 248 + "\setup.exe" = 258
    EXPECT_EQ(longest + "\\setup.exe -REMOVE", Compose(longest, 400, &fits));
    EXPECT_TRUE(fits);
    Compose(longest + "d", 400, &fits);
    EXPECT_FALSE(fits) << "a program path of 259 characters and two NULs does not fit a path buffer";
    Compose("C:\\" + std::string(300, 'd'), 400, &fits);
    EXPECT_FALSE(fits);
}

// --- Records on a machine whose keys cannot be reached ------------------------------------------------

using OverridePredefinedKey = LONG(WINAPI*)(HKEY, HKEY);
constexpr char kStandInRoot[] = "Software\\QuorvaneRecordsTest";

// HKEY_LOCAL_MACHINE is replaced, for this process alone, by an empty key under
// HKEY_CURRENT_USER that each test furnishes as it needs.
class RecordsUnreachable : public RecordsTest {
  protected:
    void SetUp() override {
        RecordsTest::SetUp();
        override_ = reinterpret_cast<OverridePredefinedKey>(
            GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegOverridePredefKey"));
        ASSERT_NE(nullptr, override_);
        RemoveStandIn();
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kStandInRoot, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &standIn_, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, override_(HKEY_LOCAL_MACHINE, standIn_));
        HKEY software = nullptr;
        ASSERT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &software))
            << "the stand-in machine has no Software key";
    }
    void TearDown() override {
        if (override_ != nullptr) override_(HKEY_LOCAL_MACHINE, nullptr);
        if (standIn_ != nullptr) RegCloseKey(standIn_);
        RemoveStandIn();
        EXPECT_FALSE(machine::KeyExists(machine::kCompanyKey)) << "nothing reached the real machine";
        EXPECT_FALSE(machine::KeyExists(machine::kUninstallKey)) << "nothing reached the real machine";
        EXPECT_FALSE(machine::KeyExists(machine::kDeleteFilesKey)) << "nothing reached the real machine";
        RecordsTest::TearDown();
    }
    static void RemoveStandIn() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kStandInRoot);
        RegDeleteKeyA(HKEY_CURRENT_USER, kStandInRoot);
    }
    // A key below the stand-in; a volatile one takes no lasting subkeys, so creating one fails.
    HKEY MakeKey(HKEY parent, const char* name, DWORD options) {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(parent, name, 0, nullptr, options, KEY_ALL_ACCESS, nullptr,
                                                 &key, nullptr))
            << name;
        return key;
    }
    static int SubkeysAndValues(HKEY key) {
        DWORD subkeys = 0, values = 0;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr);
        return static_cast<int>(subkeys + values);
    }
    OverridePredefinedKey override_ = nullptr;
    HKEY standIn_ = nullptr;
};

TEST_F(RecordsUnreachable, WithoutSoftwareNoRecordIsWrittenAndTheFailedReadKeepsWorkDirectory) {
    SetBuffer(InstallDirectory, "C:\\Games\\Q");
    SetBuffer(WorkDirectory, "C:\\Before");
    EXPECT_EQ(nullptr, ReachSoftwareKey(nullptr, 0, KEY_READ));
    EXPECT_FALSE(ReadWorkDirectory(WorkDirectory));
    EXPECT_STREQ("C:\\Before", WorkDirectory);
    EXPECT_FALSE(WriteWorkDirectory(InstallDirectory));
    EXPECT_FALSE(WriteDeleteFilesRecord(InstallDirectory));
    WriteUninstallEntry(InstallDirectory);
    EXPECT_EQ(0, SubkeysAndValues(standIn_)) << "no key was created in place of Software";
}

TEST_F(RecordsUnreachable, ALevelThatCannotBeCreatedEndsTheRecordThere) {
    HKEY software = MakeKey(standIn_, "Software", REG_OPTION_NON_VOLATILE);
    HKEY company = MakeKey(software, "Vexelworks", REG_OPTION_VOLATILE);
    HKEY microsoft = MakeKey(software, "Microsoft", REG_OPTION_NON_VOLATILE);
    HKEY windows = MakeKey(microsoft, "Windows", REG_OPTION_NON_VOLATILE);
    HKEY current = MakeKey(windows, "CurrentVersion", REG_OPTION_VOLATILE);
    ASSERT_TRUE(software && company && microsoft && windows && current);

    SetBuffer(InstallDirectory, "C:\\Games\\Q");
    const char* const names[] = {"Vexelworks", "Quorvane"};
    EXPECT_EQ(nullptr, ReachSoftwareKey(names, 2, KEY_SET_VALUE));
    EXPECT_FALSE(ReadWorkDirectory(WorkDirectory));
    EXPECT_FALSE(WriteWorkDirectory(InstallDirectory));
    EXPECT_FALSE(WriteDeleteFilesRecord(InstallDirectory));
    WriteUninstallEntry(InstallDirectory);
    EXPECT_EQ(0, SubkeysAndValues(company)) << "no value lands on the last level reached";
    EXPECT_EQ(0, SubkeysAndValues(current)) << "no value lands on the last level reached";
    for (HKEY key : {current, windows, microsoft, company, software}) RegCloseKey(key);
}

// --- The destination as typed ------------------------------------------------------------------------

// Relative names mean the current directory, but a drive named alone means its root, as the joins
// make "D:" and "SMAG.INI" into "D:\SMAG.INI".
TEST(Destination, BecomesAFullPathAndADriveNamedAloneItsRoot) {
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    const std::string current = machine::FreshDirectory("destination");
    ASSERT_TRUE(SetCurrentDirectoryA(current.c_str()));
    const std::pair<std::string, std::string> cases[] = {
        {"C:", "C:\\"}, {"C:Games", current + "\\Games"}, {"Games\\Q", current + "\\Games\\Q"}};
    for (const auto& [typed, expected] : cases) {
        char directory[kPathChars];
        lstrcpynA(directory, typed.c_str(), kPathChars);
        EXPECT_TRUE(MakeDestinationFull(directory)) << typed;
        EXPECT_EQ(expected, std::string(directory)) << typed;
    }
    // The system's raw file and device spaces are no folder; "CON" becomes "\\.\CON" when made full.
    for (const char* refused : {" ", "\\\\?\\C:\\x", "\\\\.\\C:\\x", "C:\\Q\\CON"}) {
        char directory[kPathChars];
        lstrcpynA(directory, refused, kPathChars);
        EXPECT_FALSE(MakeDestinationFull(directory)) << refused;
    }
    SetCurrentDirectoryA(saved);
}

// --- The probe file ---------------------------------------------------------------------------------

// A drive letter that names no drive on this machine.
char UnmappedDrive() {
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Q'; letter <= 'Y'; ++letter) {
        if ((drives & (1u << (letter - 'A'))) == 0) return letter;
    }
    return 0;
}

class ProbeFile : public RecordsTest {
  protected:
    void SetUp() override {
        RecordsTest::SetUp();
        RestoreWinIni();
        AppInstance = GetModuleHandleA(nullptr);
        dialog_ = CreateDialogParamA(AppInstance, DLG_MASTER_NAME, nullptr, e2e::QuietDialog, 0);
        ASSERT_NE(nullptr, dialog_);
        root_ = machine::FreshDirectory("probe");
    }
    void TearDown() override {
        RestoreWinIni();
        DestroyWindow(dialog_);
        machine::RemoveTree(root_);
        RecordsTest::TearDown();
    }
    static std::string WinIni() { return machine::Join(machine::WindowsDirectory(), "win.ini"); }
    static std::string WinIniAway() { return WinIni() + ".quorvane-test"; }
    // A test that takes WIN.INI away puts it back even when it failed half-way, here or next time.
    static void RestoreWinIni() {
        if (machine::FileExists(WinIniAway())) MoveFileA(WinIniAway().c_str(), WinIni().c_str());
    }
    bool Probe(const std::string& directory) { return ProbeDestination(dialog_, directory.c_str()); }

    HWND dialog_ = nullptr;
    std::string root_;
};

TEST_F(ProbeFile, CreatesEveryMissingFolderAndLeavesNoProbeBehind) {
    const std::string target = root_ + "\\Games\\My Quorvane\\demo";
    ASSERT_FALSE(machine::DirectoryExists(root_ + "\\Games"));
    EXPECT_TRUE(Probe(target));
    EXPECT_TRUE(machine::DirectoryExists(target));
    EXPECT_TRUE(machine::Entries(target).empty()) << "left in " << target << ": "
                                         << (machine::Entries(target).empty() ? "" : machine::Entries(target)[0]);
}

TEST_F(ProbeFile, WorksInAnExistingDirectoryGivenWithATrailingSeparator) {
    EXPECT_TRUE(Probe(root_ + "\\"));
    EXPECT_TRUE(machine::Entries(root_).empty());
    EXPECT_FALSE(machine::FileExists(root_ + "\\SMAG.INI"));
}

// Whatever already bears the probe's name is the user's: a reinstall's or another program's file,
// read-only or not, or a folder. The probe takes the next free name and leaves none behind.
TEST_F(ProbeFile, LeavesWhatAlreadyBearsItsNameAsItWas) {
    ASSERT_TRUE(machine::WriteBytes(root_ + "\\SMAG.INI", "[kept]\r\nby=the user\r\n"));
    ASSERT_TRUE(SetFileAttributesA((root_ + "\\SMAG.INI").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(machine::WriteBytes(root_ + "\\SMAG0.INI\\notes.txt", "kept"));
    EXPECT_TRUE(Probe(root_));
    EXPECT_EQ(std::vector<std::string>({"SMAG.INI", "SMAG0.INI"}), machine::Entries(root_));
    const auto ini = machine::ReadBytes(root_ + "\\SMAG.INI");
    EXPECT_EQ("[kept]\r\nby=the user\r\n", std::string(ini.begin(), ini.end()));
    EXPECT_EQ(4u, machine::ReadBytes(root_ + "\\SMAG0.INI\\notes.txt").size());
    SetFileAttributesA((root_ + "\\SMAG.INI").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ProbeFile, FailsOnADriveThatDoesNotExist) {
    const char letter = UnmappedDrive();
    ASSERT_NE(0, letter) << "every drive letter from Q: to Y: is mapped on this machine";
    const std::string root = std::string(1, letter) + ":\\";
    ASSERT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA(root.c_str())) << root;
    EXPECT_FALSE(Probe(root + "Quorvane"));
    EXPECT_FALSE(machine::DirectoryExists(root + "Quorvane"));
}

TEST_F(ProbeFile, FailsWhereAFileStandsInPlaceOfTheDirectory) {
    ASSERT_TRUE(machine::WriteBytes(root_ + "\\Quorvane", "a file"));
    EXPECT_FALSE(Probe(root_ + "\\Quorvane"));
    EXPECT_EQ(6u, machine::ReadBytes(root_ + "\\Quorvane").size()) << "the file stays as it was";
}

TEST_F(ProbeFile, ATargetPathThatDoesNotFitIsAFailedProbe) {
    // root_ is C:\qtest\probe (13 characters); the joined target and its two NULs need 260 at most.
    const std::string fits = root_ + "\\" + std::string(249 - root_.size() - 1, 'd');
    ASSERT_EQ(249u, fits.size());
    EXPECT_TRUE(Probe(fits)) << "249 + \\SMAG.INI = 258 characters";
    EXPECT_TRUE(machine::DirectoryExists(fits));
    EXPECT_TRUE(machine::Entries(fits).empty());

    const std::string tooLong = fits + "e";
    EXPECT_FALSE(Probe(tooLong)) << "250 + \\SMAG.INI = 259 characters";
    EXPECT_FALSE(machine::DirectoryExists(tooLong)) << "nothing created for a probe that did not fit";
}

TEST_F(ProbeFile, FailsWhenTheWindowsDirectoryHasNoWinIni) {
    ASSERT_TRUE(machine::FileExists(WinIni()));
    ASSERT_TRUE(MoveFileA(WinIni().c_str(), WinIniAway().c_str()));
    const bool probed = Probe(root_ + "\\Quorvane");
    RestoreWinIni();
    ASSERT_TRUE(machine::FileExists(WinIni())) << "WIN.INI is back";
    EXPECT_FALSE(probed);
    EXPECT_FALSE(machine::FileExists(root_ + "\\Quorvane\\SMAG.INI"));
}

TEST_F(ProbeFile, AnOwnerlessProbeWorksAsWell) {
    EXPECT_TRUE(ProbeDestination(nullptr, (root_ + "\\ownerless").c_str()));
    EXPECT_TRUE(machine::DirectoryExists(root_ + "\\ownerless"));
    EXPECT_TRUE(machine::Entries(root_ + "\\ownerless").empty());
}

}  // namespace
