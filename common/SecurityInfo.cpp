#include "common/SecurityInfo.h"

#include "common/KernelHandle.h"

#include <aclapi.h>

#include <memory>
#include <vector>

namespace
{
// Frees a SID made by AllocateAndInitializeSid.
struct SidDeleter
{
    void operator()(void* sid) const { ::FreeSid(sid); }
};

constexpr DWORD kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | DELETE;

bool IsReadOnlyFile(const wchar_t* path)
{
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadFileSecurity(const wchar_t* path, std::vector<BYTE>& descriptor)
{
    const SECURITY_INFORMATION what =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    ::GetFileSecurityW(path, what, nullptr, 0, &needed);
    if (needed == 0)
        return false;
    descriptor.assign(needed, 0);
    return ::GetFileSecurityW(path, what, descriptor.data(), needed, &needed) != FALSE;
}

// The open security descriptor: built on first use and kept for the process.
// A descriptor that cannot be built leaves nothing behind.
class COpenSecurityDescriptor
{
public:
    COpenSecurityDescriptor() { Build(); }
    ~COpenSecurityDescriptor() { Free(); }
    COpenSecurityDescriptor(const COpenSecurityDescriptor&) = delete;
    COpenSecurityDescriptor& operator=(const COpenSecurityDescriptor&) = delete;

    PSECURITY_DESCRIPTOR Get() const { return m_descriptor; }

private:
    PACL m_acl = nullptr;
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;

    void Build()
    {
        SID_IDENTIFIER_AUTHORITY worldAuthority = SECURITY_WORLD_SID_AUTHORITY;
        PSID rawSid = nullptr;
        if (!::AllocateAndInitializeSid(&worldAuthority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &rawSid))
            return;
        std::unique_ptr<void, SidDeleter> worldSid(rawSid);

        EXPLICIT_ACCESSW entry{};
        entry.grfAccessPermissions = 0x1F01FF; // full access (FILE_ALL_ACCESS, EVENT_ALL_ACCESS)
        entry.grfAccessMode = SET_ACCESS;
        entry.grfInheritance = NO_INHERITANCE;
        entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        entry.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
        entry.Trustee.ptstrName = static_cast<LPWSTR>(worldSid.get());
        if (::SetEntriesInAclW(1, &entry, nullptr, &m_acl) != ERROR_SUCCESS) {
            m_acl = nullptr;
            return;
        }

        m_descriptor = ::LocalAlloc(LPTR, SECURITY_DESCRIPTOR_MIN_LENGTH);
        if (!m_descriptor || !::InitializeSecurityDescriptor(m_descriptor, SECURITY_DESCRIPTOR_REVISION) ||
            !::SetSecurityDescriptorDacl(m_descriptor, TRUE, m_acl, FALSE)) {
            Free();
        }
    }

    void Free()
    {
        if (m_descriptor)
            ::LocalFree(m_descriptor);
        if (m_acl)
            ::LocalFree(m_acl);
        m_descriptor = nullptr;
        m_acl = nullptr;
    }
};
} // namespace

bool CheckFileAccess(const wchar_t* path, DWORD desiredAccess)
{
    if (!path || !*path)
        return false;

    std::vector<BYTE> descriptor;
    if (!ReadFileSecurity(path, descriptor))
        return false;

    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(),
                            TOKEN_IMPERSONATE | TOKEN_QUERY | TOKEN_DUPLICATE | STANDARD_RIGHTS_READ,
                            &rawToken))
        return false;
    const CKernelHandle processToken(rawToken);
    HANDLE rawDuplicate = nullptr;
    if (!::DuplicateToken(processToken.Get(), SecurityImpersonation, &rawDuplicate))
        return false;
    const CKernelHandle impersonationToken(rawDuplicate);

    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    DWORD access = desiredAccess;
    ::MapGenericMask(&access, &mapping);

    PRIVILEGE_SET privileges{};
    DWORD privilegesLength = sizeof(privileges);
    DWORD granted = 0;
    BOOL accessStatus = FALSE;
    if (!::AccessCheck(descriptor.data(), impersonationToken.Get(), access, &mapping, &privileges,
                       &privilegesLength, &granted, &accessStatus) ||
        !accessStatus)
        return false;

    // The read-only attribute refuses writing whatever the ACL grants.
    if ((access & kWriteRights) && IsReadOnlyFile(path))
        return false;
    return true;
}

bool CreateOpenSecurityAttributes(SECURITY_ATTRIBUTES* attributes)
{
    if (!attributes)
        return false;
    // Never destroyed: threads still running at process exit may create objects with it.
    static const COpenSecurityDescriptor* const openDescriptor = new COpenSecurityDescriptor();
    if (!openDescriptor->Get())
        return false;
    attributes->nLength = sizeof(SECURITY_ATTRIBUTES);
    attributes->lpSecurityDescriptor = openDescriptor->Get();
    attributes->bInheritHandle = FALSE;
    return true;
}

bool IsUserInAdminGroup(bool& isMember)
{
    isMember = false;
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, &rawToken))
        return false;
    ::CloseHandle(rawToken); // only the right to open it counts

    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID rawSid = nullptr;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                    0, 0, 0, 0, 0, &rawSid))
        return false;
    std::unique_ptr<void, SidDeleter> adminsSid(rawSid);

    BOOL member = FALSE;
    if (!::CheckTokenMembership(nullptr, adminsSid.get(), &member))
        return false;
    isMember = member != FALSE;
    return true;
}

bool IsProcessElevated()
{
    static const bool elevated = [] {
        bool member = false;
        return IsUserInAdminGroup(member) && member;
    }();
    return elevated;
}
