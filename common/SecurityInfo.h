#pragma once

// Access rights of the current user, the open security attributes of the
// program's shared kernel objects, and membership of the Administrators group.

#include <windows.h>

// True when the current user is granted `desiredAccess` (generic or specific
// file rights) to the file or folder. A file with the read-only attribute is
// never writable, whatever its ACL says. Any failure, also a missing path, is false.
bool CheckFileAccess(const wchar_t* path, DWORD desiredAccess);
inline bool CanCurrentUserWrite(const wchar_t* path)
{
    return CheckFileAccess(path, GENERIC_WRITE);
}
inline bool CanCurrentUserRead(const wchar_t* path)
{
    return CheckFileAccess(path, GENERIC_READ);
}

// Fills `attributes` (not inherited) with a security descriptor whose DACL grants
// everyone (the World SID) full access, so processes of other users and integrity
// levels can open the named events and mappings created with it. The descriptor
// is built once and shared for the life of the process: callers must not free it.
// False when it cannot be built; the caller then uses default security (null).
bool CreateOpenSecurityAttributes(SECURITY_ATTRIBUTES* attributes);

// True when the test could be made; `isMember` then tells whether the process
// token belongs to BUILTIN\Administrators (under UAC: only when elevated).
bool IsUserInAdminGroup(bool& isMember);
// Whether this process runs with the Administrators group active; asked once.
bool IsProcessElevated();
