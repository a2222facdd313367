// KMRSETranslator: turns processor faults on a thread into thrown exception objects.
#pragma once

#include <KMRComm/KMRCommExport.h>

#include <cstdint>
#include <string>

// The record of one fault, laid out like the original platform's exception record.
// For access violations ExceptionInformation[0] is 1 for a write and 0 for a read,
// and ExceptionInformation[1] is the inaccessible address.
struct KMRExceptionRecord
{
    uint32_t ExceptionCode = 0;
    uint32_t ExceptionFlags = 0;
    void* ExceptionAddress = nullptr;
    uint32_t NumberParameters = 0;
    uintptr_t ExceptionInformation[2] = {0, 0};
};

struct KMRExceptionPointers
{
    KMRExceptionRecord* ExceptionRecord = nullptr;
    void* ContextRecord = nullptr; // the interrupted ucontext_t
};

// A translator throws an exception object for the fault; it must not return.
using KMRSETranslatorFunction = void (*)(uint32_t code_i, KMRExceptionPointers* pointers_i);

// Installs a fault translator for the calling thread for its lifetime and
// reinstalls the previous one on destruction. Faults (SIGSEGV, SIGBUS, SIGFPE,
// SIGILL) on a thread with a translator are thrown from the faulting instruction;
// code that must catch them is built with -fnon-call-exceptions. A fault on a
// thread without translator is logged to standard error and ends the process with
// exit code 1.
// Thread safety: translators are per thread; create and destroy on the same thread.
class KMRComm_API KMRSETranslator
{
public:
    KMRSETranslator();
    explicit KMRSETranslator(KMRSETranslatorFunction function_i);
    ~KMRSETranslator();
    KMRSETranslator(const KMRSETranslator&) = delete;
    KMRSETranslator& operator=(const KMRSETranslator&) = delete;

    // The default translator: throws the class of the table below for the code.
    static void translator(uint32_t code_i, KMRExceptionPointers* pointers_i);
    static std::string name(uint32_t code_i);
    static std::string description(uint32_t code_i);

    // Installs the process-wide fault handlers (done by the first translator too).
    // Programs call it at start so that every untranslated fault ends them with code 1.
    static void InstallFaultHandlers();
    // Sets the calling thread's translator and answers the previous one (no alternate
    // stack is set up; used by the RAII object and InstallHandler-style callers).
    static KMRSETranslatorFunction SetThreadTranslator(KMRSETranslatorFunction function_i);

    // Base of every translated fault; carries a copy of the fault record.
    class KMRComm_API exception
    {
    public:
        explicit exception(const KMRExceptionPointers* pointers_i);
        virtual ~exception();
        uint32_t GetCode() const { return m_Record.ExceptionCode; }
        void* GetAddress() const { return m_Record.ExceptionAddress; }
        const KMRExceptionRecord& GetRecord() const { return m_Record; }
        std::string GetName() const { return name(GetCode()); }
        std::string GetDescription() const { return description(GetCode()); }

    private:
        KMRExceptionRecord m_Record;
    };

#define KMR_SE_EXCEPTION_CLASS(cls, code)                                                                          \
    class KMRComm_API cls : public exception                                                                        \
    {                                                                                                               \
    public:                                                                                                         \
        static constexpr uint32_t CODE = code;                                                                      \
        using exception::exception;                                                                                 \
    };
    KMR_SE_EXCEPTION_CLASS(guard_page, 0x80000001u)
    KMR_SE_EXCEPTION_CLASS(datatype_misalignment, 0x80000002u)
    KMR_SE_EXCEPTION_CLASS(breakpoint, 0x80000003u)
    KMR_SE_EXCEPTION_CLASS(single_step, 0x80000004u)
    KMR_SE_EXCEPTION_CLASS(access_violation, 0xC0000005u)
    KMR_SE_EXCEPTION_CLASS(in_page_error, 0xC0000006u)
    KMR_SE_EXCEPTION_CLASS(invalid_handle, 0xC0000008u)
    KMR_SE_EXCEPTION_CLASS(no_memory, 0xC0000017u)
    KMR_SE_EXCEPTION_CLASS(illegal_instruction, 0xC000001Du)
    KMR_SE_EXCEPTION_CLASS(noncontinuable_exception, 0xC0000025u)
    KMR_SE_EXCEPTION_CLASS(invalid_disposition, 0xC0000026u)
    KMR_SE_EXCEPTION_CLASS(array_bounds_exceeded, 0xC000008Cu)
    KMR_SE_EXCEPTION_CLASS(flt_denormal_operand, 0xC000008Du)
    KMR_SE_EXCEPTION_CLASS(flt_divide_by_zero, 0xC000008Eu)
    KMR_SE_EXCEPTION_CLASS(flt_inexact_result, 0xC000008Fu)
    KMR_SE_EXCEPTION_CLASS(flt_invalid_operation, 0xC0000090u)
    KMR_SE_EXCEPTION_CLASS(flt_overflow, 0xC0000091u)
    KMR_SE_EXCEPTION_CLASS(flt_stack_check, 0xC0000092u)
    KMR_SE_EXCEPTION_CLASS(flt_underflow, 0xC0000093u)
    KMR_SE_EXCEPTION_CLASS(int_divide_by_zero, 0xC0000094u)
    KMR_SE_EXCEPTION_CLASS(int_overflow, 0xC0000095u)
    KMR_SE_EXCEPTION_CLASS(priv_instruction, 0xC0000096u)
    KMR_SE_EXCEPTION_CLASS(stack_overflow, 0xC00000FDu)
    KMR_SE_EXCEPTION_CLASS(microsoft_cpp, 0xE06D7363u)
#undef KMR_SE_EXCEPTION_CLASS

private:
    KMRSETranslatorFunction m_pPrevious;
};
