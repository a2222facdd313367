// KMRConsoleUserInterface: messages on the standard streams and a progress line.
#include "KMRConsoleUserInterface.h"

#include <unistd.h>

KMRConsoleUserInterface::KMRConsoleUserInterface() : m_bTerminal(::isatty(STDERR_FILENO) != 0) {}

EKMRAnswer KMRConsoleUserInterface::MessageBox(const KMRString& text_i, const KMRString& title_i, EKMRIcon icon_i,
                                               EKMRButtons buttons_i)
{
    FinishProgress();
    std::FILE* out = (icon_i == EKMRIcon::Error || icon_i == EKMRIcon::Warning) ? stderr : stdout;
    std::fprintf(out, "%s: %s\n", title_i.GetString(), text_i.GetString());
    std::fflush(out);
    return buttons_i == EKMRButtons::Ok ? EKMRAnswer::Ok : m_eAnswer;
}

void KMRConsoleUserInterface::OnLogEntry(const KMRString& text_i)
{
    if (!m_bEchoLog)
        return;
    FinishProgress();
    KMRString text(text_i);
    text.Trim();
    if (!text.IsEmpty())
        std::fprintf(stderr, "%s\n", text.GetString());
}

void KMRConsoleUserInterface::StartSequenceCount(const char* what_i, int total_i, int bytesEach_i)
{
    m_pWhat = what_i;
    m_iBytesEach = bytesEach_i;
    m_bCountPumps = true;
    SetRange(0, total_i);
}

void KMRConsoleUserInterface::SetRange(int lower_i, int upper_i)
{
    m_iUpper = upper_i - lower_i;
    m_iPos = 0;
    m_bActive = true;
    m_iLastPrintedPercent = -1;
    m_Start = std::chrono::steady_clock::now();
}

void KMRConsoleUserInterface::StepIt()
{
    if (m_bCountPumps)
        return;
    m_iPos += m_iStep;
    _Draw(false);
}

void KMRConsoleUserInterface::SetPos(int position_i)
{
    m_iPos = position_i;
    if (position_i == 0)
        return;
    _Draw(false);
}

void KMRConsoleUserInterface::PumpPaintMessages()
{
    if (!m_bCountPumps)
        return;
    ++m_iPos;
    _Draw(false);
}

void KMRConsoleUserInterface::FinishProgress()
{
    if (m_bActive && m_bTerminal && m_iPos > 0)
        std::fprintf(stderr, "\n");
    m_bActive = false;
    m_bCountPumps = false;
}

void KMRConsoleUserInterface::_Draw(bool final_i)
{
    if (!m_bActive || m_iUpper <= 0)
        return;
    const int done = std::min(m_iPos, m_iUpper);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_Start).count();
    const double rate = seconds > 0 ? done * m_iBytesEach / seconds : 0;
    const int percent = done * 100 / m_iUpper;
    if (m_bTerminal)
    {
        constexpr int WIDTH = 30;
        const int filled = done * WIDTH / m_iUpper;
        std::fprintf(stderr, "\r%s [%.*s%*s] %d/%d sequences, %.0f bytes/s", m_pWhat, filled,
                     "##############################", WIDTH - filled, "", done, m_iUpper, rate);
        std::fflush(stderr);
    }
    else if (final_i || percent / 10 != m_iLastPrintedPercent / 10)
    {
        std::fprintf(stderr, "%s: %d/%d sequences, %.0f bytes/s\n", m_pWhat, done, m_iUpper, rate);
        m_iLastPrintedPercent = percent;
    }
}
