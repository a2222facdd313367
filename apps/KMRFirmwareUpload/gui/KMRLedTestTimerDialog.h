// KMRLedTestTimerDialog: "Set/Get LED Test Timer".
#pragma once

#include "FirmwareUpload.h"
#include "IKMRUserInterface.h"

#include <QDialog>

class QLineEdit;

// Reads and writes the timer only on request (nothing is read when it opens).
class KMRLedTestTimerDialog : public QDialog
{
    Q_OBJECT
public:
    KMRLedTestTimerDialog(FirmwareUpload& engine_i, IKMRUserInterface& ui_i, QWidget* parent_i = nullptr);

    void OnSet();
    void OnGet();
    QLineEdit* ValueEdit() const { return m_pValue; }

private:
    FirmwareUpload& m_rEngine;
    IKMRUserInterface& m_rUI;
    QLineEdit* m_pValue;
};
