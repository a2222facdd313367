// KMRSmallDialogLogic: the checks and exchanges of the protocol address and LED test timer dialogs.
#pragma once

#include "FirmwareUpload.h"
#include "IKMRUserInterface.h"

#include <array>
#include <cstdint>

// Protocol types of the address dialog, by the index of its combo box entry.
class KMRProtocolAddressLogic
{
public:
    static constexpr int ADDRESS_COUNT = 12;
    using Addresses = std::array<uint8_t, ADDRESS_COUNT>;

    static constexpr const char* PROTOCOL_NAMES[3] = {"KelmarCom2", "VARON", "quorvaNX"};

    // Type byte of the requests; unknown entries send 0.
    static uint8_t TypeByte(int index_i);
    // VARON needs one of its six addresses set and none at 255; unknown entries never pass.
    static bool CheckAddressConsistency(int index_i, const Addresses& addresses_i);
    // The 12 edit labels of an entry.
    static std::array<const char*, ADDRESS_COUNT> Labels(int index_i);
    // An edit's decimal text cut to 8 bits ("300" gives 44).
    static uint8_t ByteFromText(const char* text_i);

    // "Get" and "Set" with their messages; true on success.
    static bool Get(FirmwareUpload& engine_i, IKMRUserInterface& ui_i, int index_i, Addresses& addresses_o);
    static bool Set(FirmwareUpload& engine_i, IKMRUserInterface& ui_i, int index_i, const Addresses& addresses_i);
};

class KMRLedTestTimerLogic
{
public:
    // "Set": the edit's decimal text cut to 16 bits ("70000" gives 4464); true on success.
    static bool Set(FirmwareUpload& engine_i, IKMRUserInterface& ui_i, const KMRString& text_i);
    // "Get": true and the value on success.
    static bool Get(FirmwareUpload& engine_i, IKMRUserInterface& ui_i, uint16_t& value_o);
};
