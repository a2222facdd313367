// KMRBrightnessDialog: a slider 0..100 starting at 30; cancelling gives brightness 0.
#include "KMRBrightnessDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

KMRBrightnessDialog::KMRBrightnessDialog(QWidget* parent_i) : QDialog(parent_i)
{
    setWindowTitle(QStringLiteral("Modify Brightness"));
    m_pGroup = new QGroupBox(QStringLiteral("Sign Brightness 30%"));
    m_pSlider = new QSlider(Qt::Horizontal);
    m_pSlider->setObjectName(QStringLiteral("brightness"));
    m_pSlider->setRange(0, 100);
    m_pSlider->setValue(30);
    m_pSlider->setMinimumWidth(220);
    auto* groupLayout = new QHBoxLayout(m_pGroup);
    groupLayout->addWidget(m_pSlider);
    connect(m_pSlider, &QSlider::sliderReleased, this, [this] {
        m_ucValue = static_cast<uint8_t>(m_pSlider->value());
        m_pGroup->setTitle(QStringLiteral("Sign Brightness (%1 percent)").arg(m_ucValue));
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &KMRBrightnessDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pGroup);
    layout->addWidget(buttons);
}

void KMRBrightnessDialog::reject()
{
    // The caller starts the test in any case; cancelling starts it dark.
    m_ucValue = 0;
    QDialog::reject();
}
