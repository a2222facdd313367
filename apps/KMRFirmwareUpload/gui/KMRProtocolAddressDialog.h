// KMRProtocolAddressDialog: "Set/Get Protocol Address", the controller's addresses per telegram protocol.
#pragma once

#include "FirmwareUpload.h"
#include "IKMRUserInterface.h"
#include "KMRSmallDialogLogic.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

class KMRProtocolAddressDialog : public QDialog
{
    Q_OBJECT
public:
    KMRProtocolAddressDialog(FirmwareUpload& engine_i, IKMRUserInterface& ui_i, QWidget* parent_i = nullptr);

    void OnSet();
    void OnGet();
    QComboBox* ProtocolCombo() const { return m_pProtocol; }
    QLineEdit* AddressEdit(int index_i) const { return m_Edits[static_cast<size_t>(index_i)]; }
    QLabel* AddressLabel(int index_i) const { return m_Labels[static_cast<size_t>(index_i)]; }

private:
    void _ChangeCaption(int index_i);
    KMRProtocolAddressLogic::Addresses _ReadAddresses() const;
    void _UpdateAddresses(const KMRProtocolAddressLogic::Addresses& addresses_i);

    FirmwareUpload& m_rEngine;
    IKMRUserInterface& m_rUI;
    QComboBox* m_pProtocol;
    std::array<QLabel*, KMRProtocolAddressLogic::ADDRESS_COUNT> m_Labels{};
    std::array<QLineEdit*, KMRProtocolAddressLogic::ADDRESS_COUNT> m_Edits{};
};
