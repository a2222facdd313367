// KMRProtocolAddressDialog: protocol choice, 12 labelled address edits, "Set", "Get" and "DONE".
#include "KMRProtocolAddressDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

KMRProtocolAddressDialog::KMRProtocolAddressDialog(FirmwareUpload& engine_i, IKMRUserInterface& ui_i,
                                                   QWidget* parent_i)
    : QDialog(parent_i), m_rEngine(engine_i), m_rUI(ui_i)
{
    setWindowTitle(QStringLiteral("Set/Get Protocol Address"));
    m_pProtocol = new QComboBox;
    m_pProtocol->setObjectName(QStringLiteral("protocolType"));
    for (const char* name : KMRProtocolAddressLogic::PROTOCOL_NAMES)
        m_pProtocol->addItem(QString::fromLatin1(name));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("protocol Type:")), 0, 0);
    grid->addWidget(m_pProtocol, 0, 1);
    for (int i = 0; i < KMRProtocolAddressLogic::ADDRESS_COUNT; ++i)
    {
        m_Labels[static_cast<size_t>(i)] = new QLabel;
        m_Edits[static_cast<size_t>(i)] = new QLineEdit;
        m_Edits[static_cast<size_t>(i)]->setMaximumWidth(70);
        grid->addWidget(m_Labels[static_cast<size_t>(i)], i + 1, 0);
        grid->addWidget(m_Edits[static_cast<size_t>(i)], i + 1, 1);
    }
    auto* set = new QPushButton(QStringLiteral("Set"));
    auto* get = new QPushButton(QStringLiteral("Get"));
    auto* done = new QPushButton(QStringLiteral("DONE"));
    for (QPushButton* button : {set, get, done})
        button->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(set);
    buttons->addWidget(get);
    buttons->addWidget(done);
    grid->addLayout(buttons, KMRProtocolAddressLogic::ADDRESS_COUNT + 1, 0, 1, 2);
    connect(set, &QPushButton::clicked, this, &KMRProtocolAddressDialog::OnSet);
    connect(get, &QPushButton::clicked, this, &KMRProtocolAddressDialog::OnGet);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);

    m_pProtocol->setCurrentIndex(0);
    _ChangeCaption(0);
    OnGet();
    connect(m_pProtocol, &QComboBox::currentIndexChanged, this, [this](int index_i) {
        _ChangeCaption(index_i);
        OnGet();
    });
}

void KMRProtocolAddressDialog::_ChangeCaption(int index_i)
{
    const auto labels = KMRProtocolAddressLogic::Labels(index_i);
    for (size_t i = 0; i < labels.size(); ++i)
        m_Labels[i]->setText(QString::fromLatin1(labels[i]));
}

KMRProtocolAddressLogic::Addresses KMRProtocolAddressDialog::_ReadAddresses() const
{
    KMRProtocolAddressLogic::Addresses addresses{};
    for (size_t i = 0; i < addresses.size(); ++i)
        addresses[i] = KMRProtocolAddressLogic::ByteFromText(m_Edits[i]->text().trimmed().toLatin1().constData());
    return addresses;
}

void KMRProtocolAddressDialog::_UpdateAddresses(const KMRProtocolAddressLogic::Addresses& addresses_i)
{
    for (size_t i = 0; i < addresses_i.size(); ++i)
        m_Edits[i]->setText(QString::number(addresses_i[i]));
}

void KMRProtocolAddressDialog::OnGet()
{
    KMRProtocolAddressLogic::Addresses addresses{};
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool read = KMRProtocolAddressLogic::Get(m_rEngine, m_rUI, m_pProtocol->currentIndex(), addresses);
    QApplication::restoreOverrideCursor();
    if (read)
        _UpdateAddresses(addresses);
}

void KMRProtocolAddressDialog::OnSet()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    KMRProtocolAddressLogic::Set(m_rEngine, m_rUI, m_pProtocol->currentIndex(), _ReadAddresses());
    QApplication::restoreOverrideCursor();
}
