// KMRContentDialog: "Activate/Download/Upload Content ID or Configuration" over the core's content logic.
#pragma once

#include "KMRContentCommands.h"
#include "KMRQtUserInterface.h"
#include "KMRUploadFileDlg.h"
#include "KMRWorker.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

// Uploads and downloads run on the dialog's worker; the window takes no input meanwhile.
class KMRContentDialog : public QDialog
{
    Q_OBJECT
public:
    KMRContentDialog(FirmwareUpload& engine_i, QWidget* parent_i = nullptr);
    ~KMRContentDialog() override;

    KMRWorker& Worker() { return *m_pWorker; }
    // Chooses a file as "Open File" does.
    void SetFile(const QString& path_i);

public slots:
    void reject() override;

private:
    void _OnOpenFile();
    void _OnUpload();
    void _OnConfiguration(bool on_i);
    void _OnSignType(uint8_t signType_i);

    std::unique_ptr<KMRQtUserInterface> m_pUI;
    std::unique_ptr<KMRUploadFileDlg> m_pLogic;
    std::unique_ptr<KMRContentCommands> m_pCommands;
    KMRWorker* m_pWorker;

    QLabel* m_pPath = nullptr;
    QLineEdit* m_pCid = nullptr;
    QPushButton* m_pUpload = nullptr;
    QCheckBox* m_pConfiguration = nullptr;
    QRadioButton* m_pMono = nullptr;
    QRadioButton* m_pBicolor = nullptr;
    QRadioButton* m_pRgb8 = nullptr;
    QRadioButton* m_pRgb24 = nullptr;
    QLineEdit* m_pActivateCid = nullptr;
    QGroupBox* m_pBrightnessGroup = nullptr;
    QSlider* m_pBrightness = nullptr;
};
