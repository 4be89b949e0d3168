// The folder browser and its path conversion under the names that Windows 95 exports: it has
// no "A"-suffixed forms of these two, while NT 4.0 has both.
#ifndef QUORVANE_SHELL_IMPORTS_H
#define QUORVANE_SHELL_IMPORTS_H

#include <windows.h>
#include <shlobj.h>

#undef SHBrowseForFolder
#undef SHGetPathFromIDList

extern "C" {
__declspec(dllimport) LPITEMIDLIST WINAPI SHBrowseForFolder(LPBROWSEINFOA info);
__declspec(dllimport) BOOL WINAPI SHGetPathFromIDList(LPCITEMIDLIST list, LPSTR path);
}

#endif
