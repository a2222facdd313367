// KMRSETranslator: fault signals become thrown exception objects on threads that ask for it.
#include <KMRComm/KMRSETranslator.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

namespace
{
// Read in the signal handler: initial-exec TLS never allocates on access.
__attribute__((tls_model("initial-exec"))) thread_local KMRSETranslatorFunction t_pTranslator = nullptr;

constexpr size_t ALT_STACK_SIZE = 256 * 1024;
constexpr int FAULT_SIGNALS[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};

// Each thread that translates faults gets its own alternate signal stack, so a
// stack overflow can still be reported; it is released when the thread ends.
class AltStack
{
public:
    void Ensure()
    {
        if (m_pStack != nullptr)
            return;
        void* stack = ::mmap(nullptr, ALT_STACK_SIZE, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (stack == MAP_FAILED)
            return;
        stack_t info {};
        info.ss_sp = stack;
        info.ss_size = ALT_STACK_SIZE;
        if (::sigaltstack(&info, nullptr) != 0)
        {
            ::munmap(stack, ALT_STACK_SIZE);
            return;
        }
        m_pStack = stack;
    }
    ~AltStack()
    {
        if (m_pStack == nullptr)
            return;
        stack_t info {};
        info.ss_flags = SS_DISABLE;
        ::sigaltstack(&info, nullptr);
        ::munmap(m_pStack, ALT_STACK_SIZE);
    }

private:
    void* m_pStack = nullptr;
};
thread_local AltStack t_AltStack;

void WriteText(const char* text_i)
{
    ssize_t ignored = ::write(STDERR_FILENO, text_i, std::strlen(text_i));
    (void)ignored;
}

// Async-signal-safe hexadecimal formatting of a value.
void WriteHex(uint64_t value_i)
{
    char buffer[19] = "0x";
    for (int i = 0; i < 16; ++i)
        buffer[2 + i] = "0123456789abcdef"[(value_i >> (60 - 4 * i)) & 0xF];
    buffer[18] = '\0';
    WriteText(buffer);
}

[[noreturn]] void Fatal(const KMRExceptionRecord& record_i, const char* why_i)
{
    WriteText("KMRSETranslator: ");
    WriteText(why_i);
    WriteText(": code ");
    WriteHex(record_i.ExceptionCode);
    WriteText(" at ");
    WriteHex(reinterpret_cast<uintptr_t>(record_i.ExceptionAddress));
    WriteText(", address ");
    WriteHex(record_i.ExceptionInformation[1]);
    WriteText("; the process ends\n");
    ::_exit(1);
}

bool IsWriteFault(const ucontext_t* context_i)
{
#if defined(__x86_64__)
    // Bit 1 of the page-fault error code tells a write from a read.
    return context_i != nullptr && (context_i->uc_mcontext.gregs[REG_ERR] & 2) != 0;
#else
    (void)context_i;
    return false;
#endif
}

uintptr_t StackPointer(const ucontext_t* context_i)
{
#if defined(__x86_64__)
    return context_i != nullptr ? static_cast<uintptr_t>(context_i->uc_mcontext.gregs[REG_RSP]) : 0;
#else
    (void)context_i;
    return 0;
#endif
}

uint32_t CodeFromSignal(int signal_i, const siginfo_t* info_i)
{
    switch (signal_i)
    {
    case SIGSEGV: return 0xC0000005u;
    case SIGBUS: return info_i->si_code == BUS_ADRALN ? 0x80000002u : 0xC0000006u;
    case SIGILL: return (info_i->si_code == ILL_PRVOPC || info_i->si_code == ILL_PRVREG) ? 0xC0000096u : 0xC000001Du;
    case SIGFPE:
        switch (info_i->si_code)
        {
        case FPE_INTDIV: return 0xC0000094u;
        case FPE_INTOVF: return 0xC0000095u;
        case FPE_FLTDIV: return 0xC000008Eu;
        case FPE_FLTOVF: return 0xC0000091u;
        case FPE_FLTUND: return 0xC0000093u;
        case FPE_FLTRES: return 0xC000008Fu;
        case FPE_FLTSUB: return 0xC000008Cu;
        default: return 0xC0000090u;
        }
    default: return 0xC0000025u;
    }
}

void FaultHandler(int signal_i, siginfo_t* info_i, void* context_i)
{
    const auto* context = static_cast<const ucontext_t*>(context_i);
    KMRExceptionRecord record;
    record.ExceptionCode = CodeFromSignal(signal_i, info_i);
#if defined(__x86_64__)
    record.ExceptionAddress = context != nullptr ? reinterpret_cast<void*>(context->uc_mcontext.gregs[REG_RIP])
                                                 : info_i->si_addr;
#else
    record.ExceptionAddress = info_i->si_addr;
#endif
    if (signal_i == SIGSEGV)
    {
        const auto address = reinterpret_cast<uintptr_t>(info_i->si_addr);
        const uintptr_t sp = StackPointer(context);
        // A fault just below the stack pointer is the guard page of an exhausted stack.
        if (sp != 0 && address < sp + 4096 && address + 65536 > sp)
            record.ExceptionCode = 0xC00000FDu;
        record.NumberParameters = 2;
        record.ExceptionInformation[0] = IsWriteFault(context) ? 1 : 0;
        record.ExceptionInformation[1] = address;
    }
    const KMRSETranslatorFunction translator = t_pTranslator;
    if (translator == nullptr)
        Fatal(record, "untranslated fault");
    KMRExceptionPointers pointers;
    pointers.ExceptionRecord = &record;
    pointers.ContextRecord = context_i;
    translator(record.ExceptionCode, &pointers);
    Fatal(record, "the fault translator returned");
}

template <typename T>
[[noreturn]] void Throw(const KMRExceptionPointers* pointers_i)
{
    throw T(pointers_i);
}
} // namespace

void KMRSETranslator::InstallFaultHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_sigaction = &FaultHandler;
        // SA_NODEFER: the handler leaves by throwing, never through sigreturn, so the
        // signal must not stay blocked afterwards.
        action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        for (int signal : FAULT_SIGNALS)
            ::sigaction(signal, &action, nullptr);
    });
}

KMRSETranslatorFunction KMRSETranslator::SetThreadTranslator(KMRSETranslatorFunction function_i)
{
    InstallFaultHandlers();
    t_AltStack.Ensure();
    const KMRSETranslatorFunction previous = t_pTranslator;
    t_pTranslator = function_i;
    return previous;
}

KMRSETranslator::KMRSETranslator() : KMRSETranslator(&KMRSETranslator::translator) {}

KMRSETranslator::KMRSETranslator(KMRSETranslatorFunction function_i)
    : m_pPrevious(SetThreadTranslator(function_i))
{
}

KMRSETranslator::~KMRSETranslator()
{
    t_pTranslator = m_pPrevious;
}

KMRSETranslator::exception::exception(const KMRExceptionPointers* pointers_i)
{
    if (pointers_i != nullptr && pointers_i->ExceptionRecord != nullptr)
        m_Record = *pointers_i->ExceptionRecord;
}

KMRSETranslator::exception::~exception() = default;

void KMRSETranslator::translator(uint32_t code_i, KMRExceptionPointers* pointers_i)
{
    switch (code_i)
    {
    case guard_page::CODE: Throw<guard_page>(pointers_i);
    case datatype_misalignment::CODE: Throw<datatype_misalignment>(pointers_i);
    case breakpoint::CODE: Throw<breakpoint>(pointers_i);
    case single_step::CODE: Throw<single_step>(pointers_i);
    case access_violation::CODE: Throw<access_violation>(pointers_i);
    case in_page_error::CODE: Throw<in_page_error>(pointers_i);
    case invalid_handle::CODE: Throw<invalid_handle>(pointers_i);
    case no_memory::CODE: Throw<no_memory>(pointers_i);
    case illegal_instruction::CODE: Throw<illegal_instruction>(pointers_i);
    case noncontinuable_exception::CODE: Throw<noncontinuable_exception>(pointers_i);
    case invalid_disposition::CODE: Throw<invalid_disposition>(pointers_i);
    case array_bounds_exceeded::CODE: Throw<array_bounds_exceeded>(pointers_i);
    case flt_denormal_operand::CODE: Throw<flt_denormal_operand>(pointers_i);
    case flt_divide_by_zero::CODE: Throw<flt_divide_by_zero>(pointers_i);
    case flt_inexact_result::CODE: Throw<flt_inexact_result>(pointers_i);
    case flt_invalid_operation::CODE: Throw<flt_invalid_operation>(pointers_i);
    case flt_overflow::CODE: Throw<flt_overflow>(pointers_i);
    case flt_stack_check::CODE: Throw<flt_stack_check>(pointers_i);
    case flt_underflow::CODE: Throw<flt_underflow>(pointers_i);
    case int_divide_by_zero::CODE: Throw<int_divide_by_zero>(pointers_i);
    case int_overflow::CODE: Throw<int_overflow>(pointers_i);
    case priv_instruction::CODE: Throw<priv_instruction>(pointers_i);
    case stack_overflow::CODE: Throw<stack_overflow>(pointers_i);
    case microsoft_cpp::CODE: Throw<microsoft_cpp>(pointers_i);
    default: Throw<exception>(pointers_i);
    }
}

namespace
{
struct CodeText
{
    uint32_t code;
    const char* name;
    const char* description;
};

constexpr CodeText CODE_TEXTS[] = {
    {0x80000001u, "Guard Page", "Guard Page Exception"},
    {0x80000002u, "Datatype Misalignment",
     "The thread attempted to read or write data that is misaligned on hardware that does not provide alignment"},
    {0x80000003u, "Breakpoint", "A breakpoint was encountered"},
    {0x80000004u, "Single Step",
     "A trace trap or other single-instruction mechanism signaled that one instruction has been executed"},
    {0xC0000005u, "Access Violation",
     "The thread attempted to read from or write to a virtual address for which it does not have the appropriate access"},
    {0xC0000006u, "In Page Error",
     "The thread tried to access a page that was not present, and the system was unable to load the page"},
    {0xC0000008u, "Invalid Handle", "Invalid Handle Exception"},
    {0xC0000017u, "No Memory", "Not enough memory was available to complete the operation"},
    {0xC000001Du, "Illegal Instruction", "The thread tried to execute an invalid instruction"},
    {0xC0000025u, "Noncontinuable Exception",
     "The thread attempted to continue execution after a noncontinuable exception occurred"},
    {0xC0000026u, "Invalid Disposition",
     "An exception handler returned an invalid disposition to the exception dispatcher"},
    {0xC000008Cu, "Array Bounds Exceeded",
     "The thread tried to access an array element that is out of bounds and the underlying hardware supports bounds "
     "checking"},
    {0xC000008Du, "Float Denormal Operand",
     "One of the operands in a floating-point operation is denormal, too small to represent as a standard "
     "floating-point value"},
    {0xC000008Eu, "Float Divide by Zero",
     "The thread attempted to divide a floating-point value by a floating-point divisor of zero"},
    {0xC000008Fu, "Float Inexact Result",
     "The result of a floating-point operation cannot be represented exactly as a decimal fraction"},
    {0xC0000090u, "Float Invalid Operation", "This exception represents any floating-point exception not included in "
                                             "this list"},
    {0xC0000091u, "Float Overflow",
     "The exponent of a floating-point operation is greater than the magnitude allowed by the corresponding type"},
    {0xC0000092u, "Float Stack Check", "The stack overflowed or underflowed as the result of a floating-point operation"},
    {0xC0000093u, "Float Underflow",
     "The exponent of a floating-point operation is less than the magnitude allowed by the corresponding type"},
    {0xC0000094u, "Integer Divide by Zero",
     "The thread attempted to divide an integer value by an integer divisor of zero"},
    {0xC0000095u, "Integer Overflow",
     "The result of an integer operation caused a carry out of the most significant bit of the result"},
    {0xC0000096u, "Privileged Instruction",
     "The thread attempted to execute an instruction whose operation is not allowed in the current machine mode"},
    {0xC00000FDu, "Stack Overflow", "The thread used up its stack"},
    {0xE06D7363u, "Microsoft C++ Exception", "A C++ exception was raised"},
};

const CodeText* FindCode(uint32_t code_i)
{
    for (const CodeText& entry : CODE_TEXTS)
        if (entry.code == code_i)
            return &entry;
    return nullptr;
}

std::string Hex(uint32_t code_i)
{
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "%x", code_i);
    return buffer;
}
} // namespace

std::string KMRSETranslator::name(uint32_t code_i)
{
    const CodeText* entry = FindCode(code_i);
    return entry != nullptr ? entry->name : Hex(code_i);
}

std::string KMRSETranslator::description(uint32_t code_i)
{
    const CodeText* entry = FindCode(code_i);
    return entry != nullptr ? entry->description : "Unknown exception " + Hex(code_i);
}
