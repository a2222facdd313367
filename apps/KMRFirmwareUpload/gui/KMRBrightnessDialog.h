// KMRBrightnessDialog: "Modify Brightness", the brightness the sign test starts with.
#pragma once

#include <QDialog>

#include <cstdint>

class QGroupBox;
class QSlider;

class KMRBrightnessDialog : public QDialog
{
    Q_OBJECT
public:
    explicit KMRBrightnessDialog(QWidget* parent_i = nullptr);

    // 30 unless the slider was released elsewhere; 0 after "Cancel".
    uint8_t GetCurrentBrightnessValue() const { return m_ucValue; }
    QSlider* Slider() const { return m_pSlider; }

public slots:
    void reject() override;

private:
    QGroupBox* m_pGroup;
    QSlider* m_pSlider;
    uint8_t m_ucValue = 30;
};
