// IKMRUserInterface: what the upload tool's logic needs from a user interface.
#pragma once

#include "IKMRProgressBar.h"

#include <KMRBase/KMRString.h>

#include <cstdint>
#include <vector>

enum class EKMRIcon
{
    None,
    Information,
    Warning,
    Error,
    Question
};

enum class EKMRButtons
{
    Ok,
    YesNo,
    YesNoDefaultNo
};

enum class EKMRAnswer
{
    Ok,
    Yes,
    No
};

// The dialogs implement it with message boxes and pickers; the command line writes
// the texts to standard error and answers questions from its options. All calls come
// from the thread that runs the operation.
class IKMRUserInterface
{
public:
    virtual ~IKMRUserInterface() = default;

    virtual EKMRAnswer MessageBox(const KMRString& text_i, const KMRString& title_i, EKMRIcon icon_i,
                                  EKMRButtons buttons_i) = 0;
    virtual void SetWaitCursor(bool on_i) = 0;
    // An existing folder chosen by the user; empty when cancelled.
    virtual KMRString PickFolder(const KMRString& title_i) = 0;
    // Existing files chosen by the user (filter in the "text|pattern|...||" form); empty when cancelled.
    virtual std::vector<KMRString> PickOpenFiles(const KMRString& filter_i, bool multiple_i) = 0;
    // A file name to save to; empty when cancelled.
    virtual KMRString PickSaveFile(const KMRString& filter_i) = 0;
    // Shows the KelmarCom2 address the logic is working with (the dialog's address field).
    virtual void ShowKelmarCom2Address(uint8_t address_i) = 0;
    virtual IKMRProgressBar* GetProgressBar() = 0;
    virtual IKMRPaintPump* GetPaintPump() = 0;
    // Every entry written to the flash-script log file, for interfaces that echo it.
    virtual void OnLogEntry(const KMRString& text_i) {}
};
