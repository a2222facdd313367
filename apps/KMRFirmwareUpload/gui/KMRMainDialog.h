// KMRMainDialog: the upload tool's main window "KMRFirmwareUpload" over the core's dialog logic.
#pragma once

#include "KMRFirmwareUploadDlg.h"
#include "KMRQtUserInterface.h"
#include "KMRServiceCommands.h"
#include "KMRWorker.h"

#include <QDialog>

#include <memory>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

// Holds the controls and their enabled states; every reaction is a call into
// KMRFirmwareUploadDlg or a logic class, run on the worker when it talks to a controller.
class KMRMainDialog : public QDialog
{
    Q_OBJECT
public:
    explicit KMRMainDialog(QWidget* parent_i = nullptr);
    ~KMRMainDialog() override;

    KMRFirmwareUploadDlg& Logic() { return *m_pLogic; }
    KMRWorker& Worker() { return *m_pWorker; }
    KMRQtUserInterface& UserInterface() { return *m_pUI; }
    // Chooses the firmware image as "Open Firmware File" does.
    void SetImagePath(const QString& path_i);

public slots:
    void reject() override;

private:
    void _BuildControls();
    void _SetStandardSettings();
    void _OnConnectionType(KMRFirmwareUploadDlg::EConnectionType type_i);
    void _StoreSettings();
    void _UpdateConnectionState();
    void _Run(std::function<void()> operation_i);

    void _OnOpenFirmwareFile();
    void _OnConnect();
    void _OnStartUpdate();
    void _OnSetKelmarCom2Address();
    void _OnSetProfibusAddress();
    void _OnGetVersion();
    void _OnPerformTest();
    void _OnLedTestTimer();
    void _OnProtocolAddress();
    void _OnUploadCid();
    void _OnUpdateMore();
    void _OnTimer();
    void _OnAbout();

    std::unique_ptr<KMRQtUserInterface> m_pUI;
    std::unique_ptr<KMRFirmwareUploadDlg> m_pLogic;
    std::unique_ptr<KMRServiceCommands> m_pService;
    KMRWorker* m_pWorker = nullptr;
    QTimer* m_pTimer = nullptr;
    bool m_bCloseWhenDone = false;
    QString m_strTemperature;

    QPushButton* m_pOpenFile = nullptr;
    QLabel* m_pImagePath = nullptr;
    QButtonGroup* m_pTypes = nullptr;
    QRadioButton* m_pSerial = nullptr;
    QRadioButton* m_pProfibus = nullptr;
    QRadioButton* m_pUdp = nullptr;
    QRadioButton* m_pProfibusTcp = nullptr;
    QLabel* m_pComLabel = nullptr;
    QComboBox* m_pComPort = nullptr;
    QLabel* m_pBaudLabel = nullptr;
    QComboBox* m_pBaud = nullptr;
    QLineEdit* m_pRemoteIP = nullptr;
    QLineEdit* m_pRemotePort = nullptr;
    QLineEdit* m_pLocalIP = nullptr;
    QLineEdit* m_pLocalPort = nullptr;
    QPushButton* m_pConnect = nullptr;
    QLabel* m_pKC2Label = nullptr;
    QLineEdit* m_pKC2Address = nullptr;
    QLabel* m_pProfibusLabel = nullptr;
    QLineEdit* m_pProfibusAddress = nullptr;
    QProgressBar* m_pProgress = nullptr;
    QPushButton* m_pStartUpdate = nullptr;
    QLineEdit* m_pNewKC2Address = nullptr;
    QPushButton* m_pSetKC2 = nullptr;
    QLineEdit* m_pNewProfibusAddress = nullptr;
    QPushButton* m_pSetProfibus = nullptr;
    QLabel* m_pTemperature = nullptr;
    QPushButton* m_pLedTimer = nullptr;
    QPushButton* m_pProtocolAddress = nullptr;
    QPushButton* m_pUpdateMore = nullptr;
    QPushButton* m_pPerformTest = nullptr;
    QPushButton* m_pGetVersion = nullptr;
    QPushButton* m_pUploadCid = nullptr;
    QLabel* m_pVersion = nullptr;
};
