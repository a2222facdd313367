// KMRContentDialog: file choice, content ID, platform format, activation and brightness controls.
#include "KMRContentDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QVBoxLayout>

namespace
{
QPushButton* Button(const char* caption_i, const char* name_i)
{
    auto* button = new QPushButton(QString::fromLatin1(caption_i));
    button->setObjectName(QString::fromLatin1(name_i));
    button->setAutoDefault(false);
    return button;
}
} // namespace

KMRContentDialog::KMRContentDialog(FirmwareUpload& engine_i, QWidget* parent_i) : QDialog(parent_i)
{
    setWindowTitle(QStringLiteral("Activate/Download/Upload Content ID or Configuration"));
    m_pUI = std::make_unique<KMRQtUserInterface>(this);
    m_pLogic = std::make_unique<KMRUploadFileDlg>(*m_pUI);
    m_pLogic->SetFirmwareUploader(&engine_i);
    m_pCommands = std::make_unique<KMRContentCommands>(*m_pLogic, engine_i, *m_pUI);
    m_pWorker = new KMRWorker(this);

    auto* fileGroup = new QGroupBox(QStringLiteral("Config / ContentID File"));
    auto* openFile = Button("Open File", "openFile");
    m_pPath = new QLabel;
    m_pPath->setObjectName(QStringLiteral("path"));
    m_pPath->setMinimumWidth(240);
    auto* fileLayout = new QHBoxLayout(fileGroup);
    fileLayout->addWidget(openFile);
    fileLayout->addWidget(m_pPath, 1);

    auto* cidGroup = new QGroupBox(QStringLiteral("Content ID"));
    m_pCid = new QLineEdit;
    m_pCid->setObjectName(QStringLiteral("cid"));
    m_pCid->setMaxLength(4);
    m_pCid->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,4}")),
                                                         m_pCid));
    m_pUpload = Button("Upload CID", "upload");
    m_pConfiguration = new QCheckBox(QStringLiteral("Configuration"));
    m_pConfiguration->setObjectName(QStringLiteral("configuration"));
    auto* deleteCid = Button("Delete CID", "delete");
    auto* downloadCid = Button("Download CID", "download");
    auto* cidLayout = new QGridLayout(cidGroup);
    cidLayout->addWidget(new QLabel(QStringLiteral("0x")), 0, 0);
    cidLayout->addWidget(m_pCid, 0, 1);
    cidLayout->addWidget(m_pConfiguration, 0, 2);
    cidLayout->addWidget(m_pUpload, 1, 0, 1, 2);
    cidLayout->addWidget(deleteCid, 1, 2);
    cidLayout->addWidget(downloadCid, 1, 3);

    auto* formatGroup = new QGroupBox(QStringLiteral("Plattform Format"));
    m_pMono = new QRadioButton(QStringLiteral("1 Bit monochorme"));
    m_pBicolor = new QRadioButton(QStringLiteral("2 Bit Bicolor"));
    m_pRgb8 = new QRadioButton(QStringLiteral("8 Bit RGB"));
    m_pRgb24 = new QRadioButton(QStringLiteral("24 Bit RGB"));
    m_pMono->setObjectName(QStringLiteral("mono"));
    m_pBicolor->setObjectName(QStringLiteral("bicolor"));
    m_pRgb8->setObjectName(QStringLiteral("rgb8"));
    m_pRgb24->setEnabled(false);
    auto* formats = new QButtonGroup(this);
    formats->addButton(m_pMono, 1);
    formats->addButton(m_pBicolor, 4);
    formats->addButton(m_pRgb8, 8);
    connect(formats, &QButtonGroup::idClicked, this, [this](int id_i) { _OnSignType(static_cast<uint8_t>(id_i)); });
    auto* formatLayout = new QVBoxLayout(formatGroup);
    for (QRadioButton* radio : {m_pMono, m_pBicolor, m_pRgb8, m_pRgb24})
        formatLayout->addWidget(radio);

    auto* activateGroup = new QGroupBox(QStringLiteral("Activate Content ID"));
    m_pActivateCid = new QLineEdit(QStringLiteral("0"));
    m_pActivateCid->setObjectName(QStringLiteral("activateCid"));
    m_pActivateCid->setMaxLength(4);
    auto* activate = Button("Activate", "activate");
    auto* activateLayout = new QHBoxLayout(activateGroup);
    activateLayout->addWidget(new QLabel(QStringLiteral("0x")));
    activateLayout->addWidget(m_pActivateCid);
    activateLayout->addWidget(activate);

    m_pBrightnessGroup = new QGroupBox(QStringLiteral("Sign Brightness (???%)"));
    m_pBrightness = new QSlider(Qt::Horizontal);
    m_pBrightness->setObjectName(QStringLiteral("brightness"));
    m_pBrightness->setRange(0, 100);
    auto* brightnessLayout = new QHBoxLayout(m_pBrightnessGroup);
    brightnessLayout->addWidget(new QLabel(QStringLiteral("0%")));
    brightnessLayout->addWidget(m_pBrightness, 1);
    brightnessLayout->addWidget(new QLabel(QStringLiteral("100%")));

    auto* done = Button("Done", "done");
    auto* layout = new QGridLayout(this);
    layout->addWidget(fileGroup, 0, 0, 1, 2);
    layout->addWidget(cidGroup, 1, 0);
    layout->addWidget(formatGroup, 1, 1, 2, 1);
    layout->addWidget(activateGroup, 2, 0);
    layout->addWidget(m_pBrightnessGroup, 3, 0, 1, 2);
    layout->addWidget(done, 4, 1, Qt::AlignRight);

    // Formats are chosen for bitmaps only.
    for (QRadioButton* radio : {m_pMono, m_pBicolor, m_pRgb8})
        radio->setEnabled(false);

    connect(openFile, &QPushButton::clicked, this, &KMRContentDialog::_OnOpenFile);
    connect(m_pUpload, &QPushButton::clicked, this, &KMRContentDialog::_OnUpload);
    connect(m_pConfiguration, &QCheckBox::toggled, this, &KMRContentDialog::_OnConfiguration);
    connect(deleteCid, &QPushButton::clicked, this, [this] {
        const KMRString cid = KMRQtUserInterface::ToKMR(m_pCid->text());
        m_pWorker->Run([this, cid] { m_pCommands->Delete(cid); });
    });
    connect(downloadCid, &QPushButton::clicked, this, [this] {
        const KMRString cid = KMRQtUserInterface::ToKMR(m_pCid->text());
        m_pWorker->Run([this, cid] { m_pCommands->Download(cid); });
    });
    connect(activate, &QPushButton::clicked, this, [this] {
        const KMRString cid = KMRQtUserInterface::ToKMR(m_pActivateCid->text());
        m_pWorker->Run([this, cid] { m_pCommands->Activate(cid); });
    });
    connect(m_pBrightness, &QSlider::sliderReleased, this, [this] {
        const auto percent = static_cast<uint8_t>(m_pBrightness->value());
        auto changed = std::make_shared<bool>(false);
        m_pWorker->Run([this, percent, changed] { *changed = m_pCommands->SetBrightness(percent); },
                       [this, percent, changed] {
                           if (*changed)
                               m_pBrightnessGroup->setTitle(
                                   QStringLiteral("Sign Brightness (%1 percent)").arg(percent));
                       });
    });
    connect(done, &QPushButton::clicked, this, &KMRContentDialog::reject);
}

KMRContentDialog::~KMRContentDialog() { m_pWorker->Wait(); }

void KMRContentDialog::reject()
{
    // The dialog stays open until its transfer has ended.
    if (!m_pWorker->IsBusy())
        QDialog::reject();
}

void KMRContentDialog::SetFile(const QString& path_i)
{
    const KMRString path = KMRQtUserInterface::ToKMR(path_i);
    m_pLogic->SetFilePath(path);
    m_pPath->setText(path_i);
    const KMRString extension = KMRUploadFileDlg::GetExtension(path);
    if (extension.CompareNoCase(".bmp") == 0)
    {
        m_pMono->setEnabled(true);
        m_pRgb8->setEnabled(true);
    }
    const bool script = extension.CompareNoCase(".xml") == 0;
    m_pCid->setEnabled(!script && !m_pConfiguration->isChecked());
    m_pUpload->setText(script ? QStringLiteral("start script") : QStringLiteral("Upload CID"));
}

void KMRContentDialog::_OnOpenFile()
{
    const std::vector<KMRString> files = m_pUI->PickOpenFiles(KMRContentCommands::FILE_FILTER, false);
    if (!files.empty())
        SetFile(KMRQtUserInterface::FromKMR(files.front()));
}

void KMRContentDialog::_OnUpload()
{
    const KMRString cid = KMRQtUserInterface::ToKMR(m_pCid->text());
    m_pWorker->Run([this, cid] { m_pCommands->Upload(cid); });
}

void KMRContentDialog::_OnConfiguration(bool on_i)
{
    // A configuration lives under the fixed content ID 0xFFF0.
    m_pCid->setText(on_i ? QStringLiteral("FFF0") : QString());
    m_pCid->setReadOnly(on_i);
}

void KMRContentDialog::_OnSignType(uint8_t signType_i) { m_pLogic->SetSignType(signType_i); }
