// KMRSmallDialogLogic: protocol address checks and labels, LED test timer set and get.
#include "KMRSmallDialogLogic.h"

#include "KMRServiceCommands.h"

#include <cstdlib>

uint8_t KMRProtocolAddressLogic::TypeByte(int index_i)
{
    switch (index_i)
    {
    case 1: return 3;
    case 2: return 4;
    default: return 0;
    }
}

bool KMRProtocolAddressLogic::CheckAddressConsistency(int index_i, const Addresses& addresses_i)
{
    switch (index_i)
    {
    case 0:
    case 2: return true;
    case 1:
    {
        bool anySet = false;
        for (int i = 0; i < 6; ++i)
        {
            if (addresses_i[i] == 255)
                return false;
            anySet = anySet || addresses_i[i] != 0;
        }
        return anySet;
    }
    default: return false;
    }
}

std::array<const char*, KMRProtocolAddressLogic::ADDRESS_COUNT> KMRProtocolAddressLogic::Labels(int index_i)
{
    constexpr const char* unused = "not used [0]";
    switch (index_i)
    {
    case 1:
        return {"IEC870 slave address 1 [1..254] (Textzeile)",
                "IEC870 slave address 2 [0..254] (Graphikteil 1)",
                "IEC870 slave address 3 [0..254] (Flasher)",
                "IEC870 slave address 4 [0..254] (Helligkeit vorne)",
                "IEC870 slave address 5 [0..254] (Helligkeit hinten)",
                "IEC870 slave address 6 [0..254] (Graphikteil 2)",
                unused, unused, unused, unused, unused, unused};
    case 2:
        return {"IEC870 slave address [0..254]", unused, unused, unused, unused, unused,
                unused, unused, unused, unused, unused, unused};
    default:
        return {"KC2 slave address [0, 1..240]",       "KC2 sub address [0, 1..240]",
                "KC2 group address 1 [0, 241..250]",   "KC2 group address 2 [0, 241..250]",
                "KC2 group address 3 [0, 241..250]",   "KC2 group address 4 [0, 241..250]",
                "KC2 group address 5 [0, 241..250]",   "KC2 group address 6 [0, 241..250]",
                "KC2 group address 7 [0, 241..250]",   "KC2 group address 8 [0, 241..250]",
                "KC2 group address 9 [0, 241..250]",   "KC2 group address 10 [0, 241..250]"};
    }
}

uint8_t KMRProtocolAddressLogic::ByteFromText(const char* text_i)
{
    return static_cast<uint8_t>(std::strtol(text_i, nullptr, 10));
}

bool KMRProtocolAddressLogic::Get(FirmwareUpload& engine_i, IKMRUserInterface& ui_i, int index_i,
                                  Addresses& addresses_o)
{
    try
    {
        Addresses read{};
        engine_i.GetProtocolAddress(TypeByte(index_i), read.data());
        addresses_o = read;
        return true;
    }
    catch (...)
    {
        KMRServiceCommands::ShowFailure(ui_i, "Error");
        return false;
    }
}

bool KMRProtocolAddressLogic::Set(FirmwareUpload& engine_i, IKMRUserInterface& ui_i, int index_i,
                                  const Addresses& addresses_i)
{
    if (!CheckAddressConsistency(index_i, addresses_i))
    {
        ui_i.MessageBox("The specified addresses are incorrect.\nPlease refer to the specification and correct the "
                        "values!\n\nAddress will not be changed!",
                        "Error", EKMRIcon::Error, EKMRButtons::Ok);
        return false;
    }
    try
    {
        engine_i.SetProtocolAddress(TypeByte(index_i), addresses_i.data());
    }
    catch (...)
    {
        KMRServiceCommands::ShowFailure(ui_i, "Error");
        return false;
    }
    ui_i.MessageBox("Address changed!", "Done", EKMRIcon::Information, EKMRButtons::Ok);
    return true;
}

bool KMRLedTestTimerLogic::Set(FirmwareUpload& engine_i, IKMRUserInterface& ui_i, const KMRString& text_i)
{
    if (text_i.IsEmpty())
    {
        ui_i.MessageBox("Please enter a value!", "Error", EKMRIcon::Error, EKMRButtons::Ok);
        return false;
    }
    try
    {
        engine_i.SetLedTestTimer(static_cast<uint16_t>(std::strtoul(text_i.GetString(), nullptr, 10)));
        return true;
    }
    catch (...)
    {
        KMRServiceCommands::ShowFailure(ui_i, "Error");
        return false;
    }
}

bool KMRLedTestTimerLogic::Get(FirmwareUpload& engine_i, IKMRUserInterface& ui_i, uint16_t& value_o)
{
    try
    {
        value_o = engine_i.GetLedTestTimer();
        return true;
    }
    catch (...)
    {
        KMRServiceCommands::ShowFailure(ui_i, "Error");
        return false;
    }
}
