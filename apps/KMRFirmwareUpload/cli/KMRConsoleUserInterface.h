// KMRConsoleUserInterface: the upload tool's user interface on a terminal.
#pragma once

#include "IKMRUserInterface.h"

#include <chrono>
#include <cstdio>

// Message boxes become lines on standard error (information on standard output),
// questions are answered from the command line, the progress bar is one line that
// redraws itself on a terminal and prints plain lines otherwise.
class KMRConsoleUserInterface : public IKMRUserInterface, public IKMRProgressBar, public IKMRPaintPump
{
public:
    KMRConsoleUserInterface();

    // Answer for yes/no questions (runs without questions never ask).
    void SetAnswer(EKMRAnswer answer_i) { m_eAnswer = answer_i; }
    // Folder for downloads of upload scripts (instead of a folder picker).
    void SetDownloadFolder(const KMRString& folder_i) { m_strFolder = folder_i; }
    // Echo the flash-script log entries on standard error.
    void SetEchoLog(bool echo_i) { m_bEchoLog = echo_i; }
    // Content progress: the engine pumps once per sequence; total_i sequences of bytesEach_i bytes.
    void StartSequenceCount(const char* what_i, int total_i, int bytesEach_i);
    void FinishProgress();

    EKMRAnswer MessageBox(const KMRString& text_i, const KMRString& title_i, EKMRIcon icon_i,
                          EKMRButtons buttons_i) override;
    void SetWaitCursor(bool on_i) override {}
    KMRString PickFolder(const KMRString& title_i) override { return m_strFolder; }
    std::vector<KMRString> PickOpenFiles(const KMRString& filter_i, bool multiple_i) override { return {}; }
    KMRString PickSaveFile(const KMRString& filter_i) override { return KMRString(); }
    void ShowKelmarCom2Address(uint8_t address_i) override {}
    IKMRProgressBar* GetProgressBar() override { return this; }
    IKMRPaintPump* GetPaintPump() override { return this; }
    void OnLogEntry(const KMRString& text_i) override;

    void SetRange(int lower_i, int upper_i) override;
    void SetStep(int step_i) override { m_iStep = step_i; }
    void StepIt() override;
    void SetPos(int position_i) override;
    void PumpPaintMessages() override;

private:
    void _Draw(bool final_i);

    EKMRAnswer m_eAnswer = EKMRAnswer::No;
    KMRString m_strFolder = ".";
    bool m_bEchoLog = false;
    bool m_bTerminal = false;
    const char* m_pWhat = "firmware";
    int m_iUpper = 0;
    int m_iPos = 0;
    int m_iStep = 1;
    int m_iBytesEach = 128;
    bool m_bCountPumps = false;
    bool m_bActive = false;
    int m_iLastPrintedPercent = -1;
    std::chrono::steady_clock::time_point m_Start;
};
