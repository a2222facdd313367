// KMRLedTestTimerDialog: one value edit with "Set", "Get" and "Close".
#include "KMRLedTestTimerDialog.h"

#include "KMRQtUserInterface.h"
#include "KMRSmallDialogLogic.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

KMRLedTestTimerDialog::KMRLedTestTimerDialog(FirmwareUpload& engine_i, IKMRUserInterface& ui_i, QWidget* parent_i)
    : QDialog(parent_i), m_rEngine(engine_i), m_rUI(ui_i)
{
    setWindowTitle(QStringLiteral("Set/Get LED Test Timer"));
    m_pValue = new QLineEdit;
    m_pValue->setObjectName(QStringLiteral("value"));
    auto* set = new QPushButton(QStringLiteral("Set"));
    auto* get = new QPushButton(QStringLiteral("Get"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    for (QPushButton* button : {set, get, close})
        button->setAutoDefault(false);
    connect(set, &QPushButton::clicked, this, &KMRLedTestTimerDialog::OnSet);
    connect(get, &QPushButton::clicked, this, &KMRLedTestTimerDialog::OnGet);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(set);
    buttons->addWidget(get);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pValue);
    layout->addLayout(buttons);
}

void KMRLedTestTimerDialog::OnSet()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    KMRLedTestTimerLogic::Set(m_rEngine, m_rUI, KMRQtUserInterface::ToKMR(m_pValue->text().trimmed()));
    QApplication::restoreOverrideCursor();
}

void KMRLedTestTimerDialog::OnGet()
{
    uint16_t value = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool read = KMRLedTestTimerLogic::Get(m_rEngine, m_rUI, value);
    QApplication::restoreOverrideCursor();
    if (read)
        m_pValue->setText(QString::number(value));
}
