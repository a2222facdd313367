// Fuzzes the LEAIO response splitter and copying constructor, the LEAIO request builder, and the
// LEA responses built from arbitrary answer bytes (return-text decoding) through the factories.
#include <KMRComm/KMRLEAReceiveTelegramFactory.h>
#include <KMRComm/KMRLEASendTelegramFactory.h>
#include <KMRComm/LEAIOReceiveTelegram.h>
#include <KMRComm/LEAIOSendTelegram.h>
#include <KMRComm/LEAReceiveTelegram.h>

#include <KMRBase/KMRException.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
volatile unsigned int g_iSink;

void Touch(KMRAbstractTelegram& telegram_i)
{
    unsigned int sum = telegram_i.GetAddr() + telegram_i.GetSubAddr() + telegram_i.GetTag() + telegram_i.GetCmd() +
                       telegram_i.GetStatus1() + telegram_i.GetError1() + telegram_i.GetError2() +
                       telegram_i.IsSuccessful();
    const unsigned char* data = telegram_i.GetData();
    for (unsigned int i = 0; data != nullptr && i < telegram_i.GetDataSize(); ++i)
        sum += data[i];
    char text[48];
    telegram_i.ToString(text, sizeof(text));
    if (std::memchr(text, 0, sizeof(text)) == nullptr && telegram_i.GetSize() > 0)
        abort(); // the text must be terminated inside the buffer
    g_iSink = sum;
}

void SplitAndCopy(const uint8_t* data_i, unsigned int len_i)
{
    LEAIOReceiveTelegram splitter;
    unsigned int consumed = 0xDEADBEEF;
    const ETelegramState state = splitter.SplitTelegram(data_i, len_i, consumed); // must not throw
    if (state == ETelegramIncomplete && consumed != 0xDEADBEEF)
        abort();
    if (state == ETelegramInvalid && (consumed == 0 || consumed > len_i))
        abort();
    if (state == ETelegramComplete && consumed != len_i)
        abort();
    if (splitter.IsTelegramValid(data_i, len_i) != (state == ETelegramComplete))
        abort();
    try
    {
        LEAIOReceiveTelegram response(data_i, len_i);
        if (state != ETelegramComplete)
            abort(); // only complete responses construct
        Touch(response);
        const unsigned char* ex = response.GetDataEx();
        if (ex != nullptr && ex + response.GetDataSizeEx() > response.GetTelegramStream() + response.GetSize())
            abort();
        LEAIOReceiveTelegram copy(response);
        Touch(copy);
    }
    catch (const KMRException&)
    {
        if (state == ETelegramComplete)
            abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto len = static_cast<unsigned int>(size);
    SplitAndCopy(data, len);

    if (size >= 3)
    {
        LEAIOSendTelegram request(data[0], data[1], data[2], data + 3, len - 3);
        Touch(request);
        const unsigned int n = data[2] == LEAIOTelegram::CMD_READLUM ? 0 : len - 3;
        if (request.GetSize() != n + 6 || !request.IsChecksumCorrect(0, request.GetTelegramStream(), n + 4))
            abort();
    }

    // LEA answers: the bytes as they come back from the device library.
    KMRLEAReceiveTelegramFactory responses;
    std::vector<unsigned char> answer(data, data + size);
    const unsigned char cmd = size > 0 ? data[0] : 0;
    KMRTelegramPtr fromData(
        responses.CreateTelegram(1, 2, cmd, answer.empty() ? nullptr : answer.data(), len, size > 1 ? data[1] : 0));
    Touch(*fromData);
    if (fromData->GetDataSize() != len)
        abort();
    KMRTelegramPtr fromBytes(responses.CreateTelegram(data, static_cast<int>(size)));
    Touch(*fromBytes);
    KMRLEASendTelegramFactory requests;
    if (requests.CreateTelegram(data, static_cast<int>(size)) != nullptr)
        abort();
    return 0;
}
