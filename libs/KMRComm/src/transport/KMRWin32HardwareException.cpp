// KMRWin32HardwareException and KMRWin32AccessViolation, thrown by Translate.
#include <KMRComm/KMRWin32HardwareException.h>

namespace
{
const char* CodeText(uint32_t code_i)
{
    switch (code_i)
    {
    case 0xC0000005u: return "Access violation";
    case 0xC000008Eu:
    case 0xC0000094u: return "Division by zero";
    default: return "Win32 exception";
    }
}
} // namespace

KMRWin32HardwareException::KMRWin32HardwareException(void* address_i, uint32_t code_i)
    : m_pExceptionAddress(address_i), m_ulExceptionCode(code_i), m_strCode(CodeText(code_i))
{
}

KMRWin32HardwareException::~KMRWin32HardwareException() = default;

void KMRWin32HardwareException::InstallHandler()
{
    KMRSETranslator::SetThreadTranslator(&KMRWin32HardwareException::Translate);
}

void KMRWin32HardwareException::Translate(uint32_t code_i, KMRExceptionPointers* pointers_i)
{
    const KMRExceptionRecord* record = pointers_i != nullptr ? pointers_i->ExceptionRecord : nullptr;
    void* address = record != nullptr ? record->ExceptionAddress : nullptr;
    if (code_i == 0xC0000005u)
    {
        const bool isWrite = record != nullptr && record->ExceptionInformation[0] == 1;
        throw KMRWin32AccessViolation(address, isWrite, record != nullptr ? record->ExceptionInformation[1] : 0);
    }
    throw KMRWin32HardwareException(address, code_i);
}

KMRWin32AccessViolation::KMRWin32AccessViolation(void* address_i, bool isWrite_i, uintptr_t inaccessibleAddress_i)
    : KMRWin32HardwareException(address_i, 0xC0000005u), m_bIsWrite(isWrite_i),
      m_ulInaccessibleAddress(inaccessibleAddress_i)
{
}

KMRWin32AccessViolation::~KMRWin32AccessViolation() = default;
