// KMRWin32HardwareException: the second fault-translation scheme, on std::exception.
#pragma once

#include <KMRComm/KMRCommExport.h>
#include <KMRComm/KMRSETranslator.h>

#include <KMRBase/KMRString.h>

#include <cstdint>
#include <exception>

// A translated processor fault: its address, code and a code text ("Access
// violation", "Division by zero" or "Win32 exception").
class KMRComm_API KMRWin32HardwareException : public std::exception
{
public:
    KMRWin32HardwareException(void* address_i, uint32_t code_i);
    ~KMRWin32HardwareException() override;

    void* GetExceptionAddress() const { return m_pExceptionAddress; }
    uint32_t GetExceptionCode() const { return m_ulExceptionCode; }
    KMRString GetWin32ExceptionCodeString() const { return m_strCode; }
    const char* what() const noexcept override { return m_strCode.GetString(); }

    // Installs Translate as the calling thread's translator (until the thread ends
    // or another translator is installed).
    static void InstallHandler();
    // Throws KMRWin32AccessViolation for 0xC0000005, else KMRWin32HardwareException.
    static void Translate(uint32_t code_i, KMRExceptionPointers* pointers_i);

private:
    void* m_pExceptionAddress;
    uint32_t m_ulExceptionCode;
    KMRString m_strCode;
};

// An access violation: whether the access was a write, and the inaccessible address
// (pointer-sized, so 64-bit addresses are not cut).
class KMRComm_API KMRWin32AccessViolation : public KMRWin32HardwareException
{
public:
    KMRWin32AccessViolation(void* address_i, bool isWrite_i, uintptr_t inaccessibleAddress_i);
    ~KMRWin32AccessViolation() override;

    bool IsWrite() const { return m_bIsWrite; }
    uintptr_t GetInaccessibleAddress() const { return m_ulInaccessibleAddress; }

private:
    bool m_bIsWrite;
    uintptr_t m_ulInaccessibleAddress;
};
