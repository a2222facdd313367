// KMRMainDialog: controls, defaults and reactions of the main window.
#include "KMRMainDialog.h"

#include "KMRBrightnessDialog.h"
#include "KMRContentDialog.h"
#include "KMRLedTestTimerDialog.h"
#include "KMRProtocolAddressDialog.h"
#include "KMRSerialPortList.h"
#include "KMRUpdateProcedure.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace
{
constexpr const char* BAUD_RATES[] = {"1200", "2400", "4800", "9600", "14400", "19200", "38400", "56000", "57600",
                                      "115200"};

QPushButton* Button(const char* caption_i, const char* name_i)
{
    auto* button = new QPushButton(QString::fromUtf8(caption_i));
    button->setObjectName(QString::fromLatin1(name_i));
    button->setAutoDefault(false);
    return button;
}

QLineEdit* Edit(const char* name_i, const QString& text_i = QString())
{
    auto* edit = new QLineEdit(text_i);
    edit->setObjectName(QString::fromLatin1(name_i));
    return edit;
}

// The product picture: a sign face with the maker's initials.
QPixmap ProductPicture()
{
    QPixmap picture(120, 48);
    picture.fill(QColor(30, 30, 30));
    QPainter painter(&picture);
    painter.setPen(QColor(255, 190, 0));
    QFont font = painter.font();
    font.setBold(true);
    font.setPointSize(16);
    painter.setFont(font);
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("KMR"));
    return picture;
}

uint8_t AddressFrom(const QLineEdit* edit_i)
{
    return static_cast<uint8_t>(edit_i->text().trimmed().toInt());
}
} // namespace

KMRMainDialog::KMRMainDialog(QWidget* parent_i) : QDialog(parent_i)
{
    m_pUI = std::make_unique<KMRQtUserInterface>(this);
    m_pLogic = std::make_unique<KMRFirmwareUploadDlg>(*m_pUI);
    m_pService = std::make_unique<KMRServiceCommands>(*m_pLogic, *m_pUI);
    m_pWorker = new KMRWorker(this);
    setWindowTitle(QStringLiteral("KMRFirmwareUpload"));
    _BuildControls();
    m_pUI->SetProgressWidget(m_pProgress);
    m_pUI->SetAddressCallback([this](uint8_t address_i) { m_pKC2Address->setText(QString::number(address_i)); });
    _SetStandardSettings();
    connect(m_pWorker, &KMRWorker::finished, this, [this] {
        if (m_bCloseWhenDone)
            QDialog::reject();
    });
    // The first tick reads the initialisation file (a flash script named there starts by itself).
    m_pTimer = new QTimer(this);
    m_pTimer->setInterval(500);
    connect(m_pTimer, &QTimer::timeout, this, &KMRMainDialog::_OnTimer);
    m_pTimer->start();
}

KMRMainDialog::~KMRMainDialog()
{
    // The operation uses the logic; it has to end before the logic goes.
    m_pWorker->Wait();
}

void KMRMainDialog::_BuildControls()
{
    auto* menuBar = new QMenuBar(this);
    QMenu* help = menuBar->addMenu(QStringLiteral("&Help"));
    help->addSeparator();
    help->addAction(QStringLiteral("&About KMRFirmwareUpload..."), this, &KMRMainDialog::_OnAbout);

    // Firmware file.
    auto* fileGroup = new QGroupBox(QStringLiteral("Firmware File"));
    m_pOpenFile = Button("Open Firmware File", "openFirmwareFile");
    m_pImagePath = new QLabel;
    m_pImagePath->setObjectName(QStringLiteral("imagePath"));
    m_pImagePath->setMinimumWidth(260);
    auto* fileLayout = new QHBoxLayout(fileGroup);
    fileLayout->addWidget(m_pOpenFile);
    fileLayout->addWidget(m_pImagePath, 1);

    // Connection settings.
    auto* connectionGroup = new QGroupBox(QStringLiteral("Connection Settings"));
    m_pSerial = new QRadioButton(QStringLiteral("Serial Connection (RS232)"));
    m_pProfibus = new QRadioButton(QStringLiteral("Profibus DPV1"));
    m_pUdp = new QRadioButton(QStringLiteral("UDP"));
    m_pProfibusTcp = new QRadioButton(QStringLiteral("Profibus via TCP/IP"));
    m_pSerial->setObjectName(QStringLiteral("serial"));
    m_pProfibus->setObjectName(QStringLiteral("profibus"));
    m_pUdp->setObjectName(QStringLiteral("udp"));
    m_pProfibusTcp->setObjectName(QStringLiteral("profibusTcp"));
    m_pTypes = new QButtonGroup(this);
    m_pTypes->addButton(m_pSerial, KMRFirmwareUploadDlg::CONNECTION_SERIAL);
    m_pTypes->addButton(m_pProfibus, KMRFirmwareUploadDlg::CONNECTION_PROFIBUS_DP);
    m_pTypes->addButton(m_pUdp, KMRFirmwareUploadDlg::CONNECTION_UDP);
    m_pTypes->addButton(m_pProfibusTcp, KMRFirmwareUploadDlg::CONNECTION_PROFIBUS_TCP);
    connect(m_pTypes, &QButtonGroup::idClicked, this,
            [this](int id_i) { _OnConnectionType(static_cast<KMRFirmwareUploadDlg::EConnectionType>(id_i)); });
    m_pComLabel = new QLabel(QStringLiteral("COM Port"));
    m_pComPort = new QComboBox;
    m_pComPort->setObjectName(QStringLiteral("comPort"));
    m_pBaudLabel = new QLabel(QStringLiteral("Baurate"));
    m_pBaud = new QComboBox;
    m_pBaud->setObjectName(QStringLiteral("baudrate"));
    m_pRemoteIP = Edit("remoteIP");
    m_pRemotePort = Edit("remotePort");
    m_pLocalIP = Edit("localIP", QStringLiteral("0.0.0.0"));
    m_pLocalPort = Edit("localPort", QStringLiteral("0"));
    m_pConnect = Button("Connect", "connect");
    auto* connectionLayout = new QGridLayout(connectionGroup);
    connectionLayout->addWidget(m_pSerial, 0, 0, 1, 2);
    connectionLayout->addWidget(m_pProfibus, 1, 0, 1, 2);
    connectionLayout->addWidget(m_pUdp, 2, 0, 1, 2);
    connectionLayout->addWidget(m_pProfibusTcp, 3, 0, 1, 2);
    connectionLayout->addWidget(m_pComLabel, 4, 0);
    connectionLayout->addWidget(m_pComPort, 4, 1);
    connectionLayout->addWidget(m_pBaudLabel, 5, 0);
    connectionLayout->addWidget(m_pBaud, 5, 1);
    connectionLayout->addWidget(new QLabel(QStringLiteral("Remote IP:")), 6, 0);
    connectionLayout->addWidget(m_pRemoteIP, 6, 1);
    connectionLayout->addWidget(new QLabel(QStringLiteral("Remote Port:")), 7, 0);
    connectionLayout->addWidget(m_pRemotePort, 7, 1);
    connectionLayout->addWidget(new QLabel(QStringLiteral("Local IP:")), 8, 0);
    connectionLayout->addWidget(m_pLocalIP, 8, 1);
    connectionLayout->addWidget(new QLabel(QStringLiteral("Local Port:")), 9, 0);
    connectionLayout->addWidget(m_pLocalPort, 9, 1);
    connectionLayout->addWidget(m_pConnect, 10, 0, 1, 2);

    // Addresses.
    auto* addressGroup = new QGroupBox(QStringLiteral("Addresses"));
    m_pKC2Label = new QLabel(QStringLiteral("KelmarCom2 Slave Address"));
    m_pKC2Address = Edit("kc2Address");
    m_pProfibusLabel = new QLabel(QStringLiteral("Profibus Slave Address"));
    m_pProfibusAddress = Edit("profibusAddress");
    auto* addressLayout = new QGridLayout(addressGroup);
    addressLayout->addWidget(m_pKC2Label, 0, 0);
    addressLayout->addWidget(m_pKC2Address, 0, 1);
    addressLayout->addWidget(m_pProfibusLabel, 1, 0);
    addressLayout->addWidget(m_pProfibusAddress, 1, 1);

    // Firmware update and address changes.
    auto* updateGroup = new QGroupBox(QStringLiteral("Firmware Update"));
    m_pProgress = new QProgressBar;
    m_pProgress->setObjectName(QStringLiteral("progress"));
    m_pProgress->setValue(0);
    m_pStartUpdate = Button("Start Update", "startUpdate");
    auto* updateLayout = new QVBoxLayout(updateGroup);
    updateLayout->addWidget(m_pProgress);
    updateLayout->addWidget(m_pStartUpdate);

    auto* kc2Group = new QGroupBox(QStringLiteral("Change KelmarCom2 Slave Address"));
    m_pNewKC2Address = Edit("newKC2Address");
    m_pSetKC2 = Button("Set KelmarCom2 Address", "setKC2Address");
    auto* kc2Layout = new QGridLayout(kc2Group);
    kc2Layout->addWidget(new QLabel(QStringLiteral("New Slave Address")), 0, 0);
    kc2Layout->addWidget(m_pNewKC2Address, 0, 1);
    kc2Layout->addWidget(m_pSetKC2, 1, 0, 1, 2);

    auto* profibusGroup = new QGroupBox(QStringLiteral("Change Profibus Slave Address"));
    m_pNewProfibusAddress = Edit("newProfibusAddress");
    m_pSetProfibus = Button("Set Profibus Address", "setProfibusAddress");
    auto* profibusLayout = new QGridLayout(profibusGroup);
    profibusLayout->addWidget(m_pNewProfibusAddress, 0, 0);
    profibusLayout->addWidget(m_pSetProfibus, 1, 0);

    m_pTemperature = new QLabel;
    m_pTemperature->setObjectName(QStringLiteral("temperature"));
    auto* picture = new QLabel;
    picture->setPixmap(ProductPicture());

    m_pLedTimer = Button("LED Test Timer", "ledTestTimer");
    m_pProtocolAddress = Button("Protocol Address", "protocolAddress");
    m_pUpdateMore = Button("Update more", "updateMore");
    m_pPerformTest = Button("Start Test", "performTest");
    m_pGetVersion = Button("Get SW-Version", "getVersion");
    m_pUploadCid = Button("Upload CID", "uploadCid");
    auto* exitButton = Button("Exit", "exit");
    m_pVersion = new QLabel;
    m_pVersion->setObjectName(QStringLiteral("version"));
    auto* toolName = new QLabel(QStringLiteral("Fimware-Upload Tool"));

    auto* buttons = new QGridLayout;
    buttons->addWidget(m_pLedTimer, 0, 0);
    buttons->addWidget(m_pProtocolAddress, 0, 1);
    buttons->addWidget(m_pUpdateMore, 1, 0);
    buttons->addWidget(m_pPerformTest, 1, 1);
    buttons->addWidget(m_pGetVersion, 2, 0);
    buttons->addWidget(m_pUploadCid, 2, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(fileGroup);
    left->addWidget(connectionGroup);
    left->addWidget(addressGroup);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(updateGroup);
    right->addWidget(kc2Group);
    right->addWidget(profibusGroup);
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(m_pTemperature, 1);
    pictureRow->addWidget(picture);
    right->addLayout(pictureRow);
    right->addLayout(buttons);
    right->addStretch(1);
    auto* footer = new QHBoxLayout;
    footer->addWidget(m_pVersion);
    footer->addWidget(toolName);
    footer->addStretch(1);
    footer->addWidget(exitButton);
    right->addLayout(footer);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* top = new QVBoxLayout(this);
    top->setMenuBar(menuBar);
    top->addLayout(columns);

    for (const KMRSerialPortList::Entry& entry : KMRSerialPortList::Entries())
        m_pComPort->addItem(entry.m_strText, entry.m_strName);
    m_pComPort->setCurrentIndex(0);

    connect(m_pOpenFile, &QPushButton::clicked, this, &KMRMainDialog::_OnOpenFirmwareFile);
    connect(m_pConnect, &QPushButton::clicked, this, &KMRMainDialog::_OnConnect);
    connect(m_pStartUpdate, &QPushButton::clicked, this, &KMRMainDialog::_OnStartUpdate);
    connect(m_pSetKC2, &QPushButton::clicked, this, &KMRMainDialog::_OnSetKelmarCom2Address);
    connect(m_pSetProfibus, &QPushButton::clicked, this, &KMRMainDialog::_OnSetProfibusAddress);
    connect(m_pGetVersion, &QPushButton::clicked, this, &KMRMainDialog::_OnGetVersion);
    connect(m_pPerformTest, &QPushButton::clicked, this, &KMRMainDialog::_OnPerformTest);
    connect(m_pLedTimer, &QPushButton::clicked, this, &KMRMainDialog::_OnLedTestTimer);
    connect(m_pProtocolAddress, &QPushButton::clicked, this, &KMRMainDialog::_OnProtocolAddress);
    connect(m_pUploadCid, &QPushButton::clicked, this, &KMRMainDialog::_OnUploadCid);
    connect(m_pUpdateMore, &QPushButton::clicked, this, &KMRMainDialog::_OnUpdateMore);
    connect(exitButton, &QPushButton::clicked, this, &KMRMainDialog::reject);
}

void KMRMainDialog::_SetStandardSettings()
{
    m_pVersion->setText(QStringLiteral("Version: 3.4.2"));
    m_pBaud->clear();
    for (const char* rate : BAUD_RATES)
        m_pBaud->addItem(QString::fromLatin1(rate));
    m_pBaud->setCurrentText(QStringLiteral("115200"));
    m_pKC2Address->setText(QStringLiteral("254"));
    m_pProfibusAddress->setText(QStringLiteral("1"));
    m_pConnect->setText(QStringLiteral("Connect"));
    m_pPerformTest->setText(QStringLiteral("Start Test"));
    for (QWidget* widget : {static_cast<QWidget*>(m_pSetProfibus), static_cast<QWidget*>(m_pNewProfibusAddress),
                            static_cast<QWidget*>(m_pProfibusAddress), static_cast<QWidget*>(m_pSetKC2),
                            static_cast<QWidget*>(m_pNewKC2Address), static_cast<QWidget*>(m_pUploadCid)})
        widget->setEnabled(false);
}

void KMRMainDialog::SetImagePath(const QString& path_i)
{
    m_pImagePath->setText(path_i);
    m_pLogic->GetSettings().m_strImagePath = KMRQtUserInterface::ToKMR(path_i);
}

void KMRMainDialog::_OnConnectionType(KMRFirmwareUploadDlg::EConnectionType type_i)
{
    m_pLogic->GetSettings().m_eConnectionType = type_i;
    const QString rate = m_pBaud->currentText();
    m_pBaud->clear();
    for (const char* entry : BAUD_RATES)
        m_pBaud->addItem(QString::fromLatin1(entry));
    m_pBaud->setCurrentText(rate.isEmpty() ? QStringLiteral("115200") : rate);

    const bool serial = type_i == KMRFirmwareUploadDlg::CONNECTION_SERIAL;
    const bool udp = type_i == KMRFirmwareUploadDlg::CONNECTION_UDP;
    for (QWidget* widget : {static_cast<QWidget*>(m_pComPort), static_cast<QWidget*>(m_pComLabel),
                            static_cast<QWidget*>(m_pBaud), static_cast<QWidget*>(m_pBaudLabel)})
        widget->setEnabled(serial);
    for (QWidget* widget : {m_pRemoteIP, m_pRemotePort, m_pLocalIP, m_pLocalPort})
        widget->setEnabled(udp);
    for (QWidget* widget : {static_cast<QWidget*>(m_pKC2Address), static_cast<QWidget*>(m_pNewKC2Address),
                            static_cast<QWidget*>(m_pSetKC2)})
        widget->setEnabled(serial || udp);
    for (QWidget* widget : {static_cast<QWidget*>(m_pProfibusAddress), static_cast<QWidget*>(m_pNewProfibusAddress),
                            static_cast<QWidget*>(m_pSetProfibus)})
        widget->setEnabled(false);
    if (!serial && !udp)
        m_pUI->MessageBox("This connection type is not available in this build.", "Connection Error",
                          EKMRIcon::Warning, EKMRButtons::Ok);
}

void KMRMainDialog::_StoreSettings()
{
    KMRFirmwareUploadDlg::Settings& settings = m_pLogic->GetSettings();
    settings.m_strComPort = KMRQtUserInterface::ToKMR(m_pComPort->currentData().toString());
    settings.m_ulBaudrate = m_pBaud->currentText().toUInt();
    settings.m_strRemoteIP = KMRQtUserInterface::ToKMR(m_pRemoteIP->text().trimmed());
    settings.m_strRemotePort = KMRQtUserInterface::ToKMR(m_pRemotePort->text().trimmed());
    settings.m_strLocalIP = KMRQtUserInterface::ToKMR(m_pLocalIP->text().trimmed());
    settings.m_strLocalPort = KMRQtUserInterface::ToKMR(m_pLocalPort->text().trimmed());
    settings.m_ucKC2Address = AddressFrom(m_pKC2Address);
    settings.m_ucProfibusAddress = AddressFrom(m_pProfibusAddress);
}

void KMRMainDialog::_UpdateConnectionState()
{
    const bool connected = m_pLogic->IsConnected();
    const auto type = m_pLogic->GetSettings().m_eConnectionType;
    m_pConnect->setText(connected ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
    m_pConnect->setEnabled(true);
    for (QWidget* widget : {static_cast<QWidget*>(m_pSerial), static_cast<QWidget*>(m_pProfibus),
                            static_cast<QWidget*>(m_pUdp), static_cast<QWidget*>(m_pProfibusTcp),
                            static_cast<QWidget*>(m_pComLabel), static_cast<QWidget*>(m_pBaudLabel),
                            static_cast<QWidget*>(m_pOpenFile), static_cast<QWidget*>(m_pKC2Label),
                            static_cast<QWidget*>(m_pKC2Address)})
        widget->setEnabled(!connected);
    const bool serial = type == KMRFirmwareUploadDlg::CONNECTION_SERIAL;
    m_pComPort->setEnabled(!connected && serial);
    m_pBaud->setEnabled(!connected && serial);
    m_pUploadCid->setEnabled(connected);
    if (connected)
    {
        if (!m_pLogic->IsInFirmwareMode())
            m_pTemperature->setText(m_strTemperature);
    }
}

void KMRMainDialog::_Run(std::function<void()> operation_i)
{
    m_pWorker->Run(std::move(operation_i), [this] { _UpdateConnectionState(); });
}

void KMRMainDialog::_OnOpenFirmwareFile()
{
    const std::vector<KMRString> files = m_pUI->PickOpenFiles("IMG Files(*.IMG)|*.img||", false);
    if (!files.empty())
        SetImagePath(KMRQtUserInterface::FromKMR(files.front()));
}

void KMRMainDialog::_OnConnect()
{
    if (m_pWorker->IsBusy())
        return;
    m_pConnect->setEnabled(false);
    if (m_pLogic->IsConnected())
    {
        _Run([this] { m_pLogic->_DisconnectConnection(); });
        return;
    }
    _StoreSettings();
    _Run([this] {
        if (m_pLogic->_EstablishConnection() && !m_pLogic->IsInFirmwareMode())
            m_strTemperature = KMRQtUserInterface::FromKMR(m_pLogic->_FillControllerTempText());
    });
}

void KMRMainDialog::_OnStartUpdate()
{
    if (m_pWorker->IsBusy())
        return;
    m_pStartUpdate->setEnabled(false);
    m_pWorker->Run([this] { KMRUpdateProcedure(*m_pLogic, *m_pUI).Run(); },
                   [this] {
                       m_pStartUpdate->setEnabled(true);
                       _UpdateConnectionState();
                   });
}

void KMRMainDialog::_OnSetKelmarCom2Address()
{
    const uint8_t address = AddressFrom(m_pNewKC2Address);
    m_pSetKC2->setEnabled(false);
    m_pWorker->Run([this, address] { m_pService->SetKelmarCom2Address(address); },
                   [this] {
                       m_pSetKC2->setEnabled(true);
                       _UpdateConnectionState();
                   });
}

void KMRMainDialog::_OnSetProfibusAddress()
{
    if (m_pService->CheckConnected())
        m_pUI->MessageBox("This connection type is not available in this build.", "Connection Error",
                          EKMRIcon::Warning, EKMRButtons::Ok);
}

void KMRMainDialog::_OnGetVersion()
{
    m_pPerformTest->setEnabled(false);
    m_pWorker->Run([this] { m_pService->ReadSoftwareVersion(); }, [this] { m_pPerformTest->setEnabled(true); });
}

void KMRMainDialog::_OnPerformTest()
{
    if (!m_pService->CheckConnected())
        return;
    if (m_pService->IsTestRunning())
    {
        m_pWorker->Run([this] { m_pService->StopTest(); },
                       [this] { m_pPerformTest->setText(QStringLiteral("Start Test")); });
        return;
    }
    KMRBrightnessDialog brightness(this);
    brightness.exec();
    const uint8_t value = brightness.GetCurrentBrightnessValue();
    m_pWorker->Run([this, value] { m_pService->StartTest(value); },
                   [this] {
                       if (m_pService->IsTestRunning())
                           m_pPerformTest->setText(QStringLiteral("Stop Test"));
                   });
}

void KMRMainDialog::_OnLedTestTimer()
{
    if (!m_pService->CheckConnected())
        return;
    KMRLedTestTimerDialog dialog(*m_pLogic->GetEngine(), *m_pUI, this);
    dialog.exec();
}

void KMRMainDialog::_OnProtocolAddress()
{
    if (!m_pService->CheckConnected())
        return;
    KMRProtocolAddressDialog dialog(*m_pLogic->GetEngine(), *m_pUI, this);
    dialog.exec();
}

void KMRMainDialog::_OnUploadCid()
{
    if (!m_pService->CheckConnected())
        return;
    KMRContentDialog dialog(*m_pLogic->GetEngine(), this);
    dialog.exec();
}

void KMRMainDialog::_OnUpdateMore()
{
    if (m_pWorker->IsBusy())
        return;
    const std::vector<KMRString> files = m_pUI->PickOpenFiles("Flash script|*.xml||", false);
    if (files.empty())
        return;
    const KMRString path = files.front();
    _Run([this, path] { m_pLogic->RunFlashScript(path, true); });
}

void KMRMainDialog::_OnTimer()
{
    if (m_pWorker->IsBusy())
        return;
    m_pTimer->stop();
    _Run([this] { m_pLogic->OnTimer(); });
}

void KMRMainDialog::_OnAbout()
{
    QMessageBox about(QMessageBox::Information, QStringLiteral("About KMRFirmwareUpload"),
                      QStringLiteral("KMRFirmwareUpload Version 1.0"), QMessageBox::Ok, this);
    about.exec();
}

void KMRMainDialog::reject()
{
    if (!m_pWorker->IsBusy())
    {
        QDialog::reject();
        return;
    }
    const EKMRAnswer answer = KMRQtUserInterface::ShowMessage(
        this,
        QStringLiteral("An operation on the controller is still running.\nStopping it now could leave the "
                       "controller without firmware.\n\nClose the program as soon as the operation has finished?"),
        QStringLiteral("KMRFirmwareUpload"), EKMRIcon::Question, EKMRButtons::YesNoDefaultNo);
    m_bCloseWhenDone = answer == EKMRAnswer::Yes;
}
