// FirmwareUpload: resets, versions, temperature, LED test timer, clock, addresses and the sign test.
#include "FirmwareUpload.h"

#include "KMRPause.h"

#include <KMRComm/KCTelegram.h>

#include <cstring>
#include <ctime>

void FirmwareUpload::ResetController(bool check_i)
{
    auto request = _CreateRequest(KCTelegram::CMD_RESETCONTROLLER);
    _SendTelegram(request.get());
    const bool answered = _WaitForResponse(static_cast<uint32_t>(m_iResponseTimeout));
    request.reset();
    if (!answered && check_i)
        throw KMRExceptionBase("FirmwareUpload::Reset", "The reset could not be executed.");
    if (answered && check_i)
        _CheckResponse(m_pResponse.get());
    _Log("Reset Controller in USER Mode");
}

void FirmwareUpload::ResetControllerFirmwareMode()
{
    try
    {
        auto request = _CreateRequest(KCTelegram::CMD_RESETFWCONTROLLER);
        _SendTelegram(request.get());
        const bool answered = _WaitForResponse(static_cast<uint32_t>(m_iResponseTimeout));
        request.reset();
        if (answered)
            _CheckResponse(m_pResponse.get());
        _Log("Reset Controller in KERNEL Mode");
    }
    catch (...)
    {
        _Log("Reset Controller in KERNEL Mode with exception");
    }
}

KMRString FirmwareUpload::ReadSoftwareVersion()
{
    const uint8_t selector = 0x04;
    auto request = _CreateRequest(KCTelegram::CMD_GETSOFTWAREVERSION, &selector, 1);
    const bool answered = _Exchange(request.get());
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::Test", "Could not read the Software Version");
    _CheckResponse(m_pResponse.get());
    const unsigned char* data = m_pResponse->GetData();
    if (data == nullptr || m_pResponse->GetDataSize() < 4)
        throw KMRExceptionBase("FirmwareUpload::Test", "Could not read the Software Version");
    KMRString text = KMRString::Formatted("Version: %d.%d.%d", data[0], data[1], (data[2] << 8) | data[3]);
    text += "\n";
    text += _ReadBuildNumber();
    return text;
}

KMRString FirmwareUpload::_ReadBuildNumber()
{
    const uint8_t selector = 0x04;
    auto request = _CreateRequest(KCTelegram::CMD_GETBUILDNUMBER, &selector, 1);
    const bool answered = _Exchange(request.get());
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::Test", "Could not read the Software Version");
    _CheckResponse(m_pResponse.get());
    const unsigned char* b = m_pResponse->GetData();
    if (b == nullptr || m_pResponse->GetDataSize() < 11)
        throw KMRExceptionBase("FirmwareUpload::Test", "Could not read the Software Version");
    KMRString text = KMRString::Formatted("Build Number: %c%c.%c%c.%c%c  %c%c:%c%c", b[0], b[1], b[2], b[3], b[4],
                                          b[5], b[6], b[7], b[8], b[9]);
    if (b[10] == '0')
        text += "  (Test Version)";
    else if (b[10] == '1')
        text += "  (Release Version)";
    return text;
}

int32_t FirmwareUpload::DecodeTemperature(const uint8_t* data_i, unsigned int size_i)
{
    if (data_i == nullptr || (size_i != 2 && size_i != 4))
        return TEMPERATURE_UNKNOWN;
    const auto hundredths = static_cast<int16_t>(static_cast<uint16_t>(data_i[0] << 8 | data_i[1]));
    return hundredths / 100;
}

int32_t FirmwareUpload::GetControllerTemperature()
{
    const uint8_t category = 0x22;
    auto request = _CreateRequest(KCTelegram::CMD_GETCATEGORYVALUES, &category, 1);
    const bool answered = _Exchange(request.get());
    request.reset();
    if (!answered)
        return TEMPERATURE_UNKNOWN;
    try
    {
        _CheckResponse(m_pResponse.get());
    }
    catch (const KMRExceptionBase&)
    {
        return TEMPERATURE_UNKNOWN;
    }
    const unsigned int size = m_pResponse->GetDataSize();
    if (size != 2 && size != 4)
    {
        _Log("Error@GetControllerTemperature ... unknown number of temp. sensors");
        return TEMPERATURE_UNKNOWN;
    }
    return DecodeTemperature(m_pResponse->GetData(), size);
}

uint16_t FirmwareUpload::GetLedTestTimer()
{
    auto request = _CreateRequest(KCTelegram::CMD_GETLEDTESTTIMER);
    const bool answered = _Exchange(request.get());
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload", "Could not get Led Test Timer");
    _CheckResponse(m_pResponse.get());
    const unsigned char* data = m_pResponse->GetData();
    if (data == nullptr || m_pResponse->GetDataSize() < 2)
        throw KMRExceptionBase("FirmwareUpload", "Could not get Led Test Timer");
    return static_cast<uint16_t>(data[0] << 8 | data[1]);
}

void FirmwareUpload::SetLedTestTimer(uint16_t value_i)
{
    const uint8_t data[2] = {static_cast<uint8_t>(value_i >> 8), static_cast<uint8_t>(value_i)};
    auto request = _CreateRequest(KCTelegram::CMD_SETLEDTESTTIMER, data, sizeof(data));
    _SendTelegram(request.get());
    _Log("after set led test timer");
    const bool answered = _WaitForResponse(static_cast<uint32_t>(m_iResponseTimeout));
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::SetLedTestTimer", "Controller not reachable.");
    _CheckResponse(m_pResponse.get());
}

void FirmwareUpload::BuildDateTimeBlock(const std::tm& localStandard_i, uint8_t block_o[6])
{
    int hour = localStandard_i.tm_hour + 2;
    int day = localStandard_i.tm_mday;
    if (hour >= 24)
    {
        // The controller expects two hours ahead of standard time; the day moves on,
        // month and year do not (that is what the controllers were built against).
        hour -= 24;
        ++day;
    }
    block_o[0] = static_cast<uint8_t>(localStandard_i.tm_year + 1900 + 48);
    block_o[1] = static_cast<uint8_t>(localStandard_i.tm_mon + 1);
    block_o[2] = static_cast<uint8_t>(day);
    block_o[3] = static_cast<uint8_t>(hour);
    block_o[4] = static_cast<uint8_t>(localStandard_i.tm_min);
    block_o[5] = static_cast<uint8_t>(localStandard_i.tm_sec);
}

bool FirmwareUpload::SetDateTime()
{
    try
    {
        // Local standard time: UTC minus the zone's standard offset, daylight saving not applied.
        ::tzset();
        const std::time_t standard = std::time(nullptr) - ::timezone;
        std::tm local {};
        ::gmtime_r(&standard, &local);
        uint8_t block[6];
        BuildDateTimeBlock(local, block);
        auto request = _CreateRequest(KCTelegram::CMD_SETDATETIME, block, sizeof(block));
        _SendTelegram(request.get());
        _Log("after set date time");
        const bool answered = _WaitForResponse(static_cast<uint32_t>(m_iResponseTimeout));
        request.reset();
        if (!answered)
            return false;
        _CheckResponse(m_pResponse.get());
        _PollControllerUSERMode(15, static_cast<uint32_t>(m_iResponseTimeout));
        return true;
    }
    catch (...)
    {
        // Setting the clock is best effort: a controller with a wrong clock still works.
        return false;
    }
}

bool FirmwareUpload::GetProtocolAddress(uint8_t type_i, uint8_t addresses_o[12])
{
    auto request = _CreateRequest(KCTelegram::CMD_GETPROTOCOLADDRESS, &type_i, 1);
    _SendTelegram(request.get());
    _Log("after get protocol address");
    KMRPause::Sleep(300);
    const bool answered = _WaitForResponse(static_cast<uint32_t>(m_iResponseTimeout));
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::GetProtocolAddress", "Controller not reachable.");
    _CheckResponse(m_pResponse.get());
    const unsigned char* data = m_pResponse->GetData();
    // A short answer must not be read beyond its end: it is a failure.
    if (data == nullptr || m_pResponse->GetDataSize() < 12)
        throw KMRExceptionBase("FirmwareUpload::GetProtocolAddress",
                               "The controller's answer holds fewer than 12 address bytes.");
    std::memcpy(addresses_o, data, 12);
    return true;
}

bool FirmwareUpload::SetProtocolAddress(uint8_t type_i, const uint8_t addresses_i[12])
{
    uint8_t data[13];
    data[0] = type_i;
    std::memcpy(data + 1, addresses_i, 12);
    auto request = _CreateRequest(KCTelegram::CMD_SETPROTOCOLADDRESS, data, sizeof(data));
    _SendTelegram(request.get());
    _Log("after set protocol address");
    KMRPause::Sleep(300);
    const bool answered = _WaitForResponse(static_cast<uint32_t>(m_iResponseTimeout));
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::SetProtocolAddress", "Controller not reachable.");
    _CheckResponse(m_pResponse.get());
    return true;
}

void FirmwareUpload::ChangeSlaveAddress(uint8_t newAddress_i)
{
    const uint8_t oldAddress = m_ucAddress;
    bool answered = false;
    for (int attempt = 0; attempt < 3 && !answered; ++attempt)
    {
        auto request = _CreateRequest(KCTelegram::CMD_SETSLAVEADDRESS, &newAddress_i, 1);
        answered = _Exchange(request.get());
    }
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::ChangeSlaveAddress", "New slave address couldn't be set.");
    _CheckResponse(m_pResponse.get());
    SetKelmarCom2Address(newAddress_i);
    if (_PollControllerUSERMode(15, static_cast<uint32_t>(m_iResponseTimeout)))
        return;
    SetKelmarCom2Address(oldAddress);
    throw KMRExceptionBase("FirmwareUpload::Reset", "The address could not be changed!");
}

uint8_t FirmwareUpload::GetKC2AddrOfConnectedDevice()
{
    for (int attempt = 0; attempt < 5; ++attempt)
    {
        auto request = _CreateRequestTo(BROADCAST_ADDRESS, KCTelegram::CMD_GETSLAVEADDRESS);
        if (!_Exchange(request.get()))
            continue;
        try
        {
            _CheckResponse(m_pResponse.get());
        }
        catch (const KMRExceptionBase&)
        {
            continue;
        }
        const unsigned char* data = m_pResponse->GetData();
        if (data != nullptr && m_pResponse->GetDataSize() >= 1)
            return data[0];
    }
    return 0;
}

void FirmwareUpload::Test()
{
    auto request = _CreateRequest(KCTelegram::CMD_TEST);
    const bool answered = _Exchange(request.get());
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::Test", "The test could not be executed.");
    _CheckResponse(m_pResponse.get());
}
