// Shortcut files read through the shell's own link object, as the shell itself reads them.
#ifndef QUORVANE_SHELL_LINK_H
#define QUORVANE_SHELL_LINK_H

// The path of the program or document that the shortcut file `file` starts, in `target`, a
// buffer of `capacity` characters. False when the file is no shortcut the shell can read, or
// names no path of the file system.
bool ReadShortcutTarget(const char* file, char* target, int capacity);

#endif
