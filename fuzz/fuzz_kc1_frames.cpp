// Fuzzes the KC1 and KC1 block-CPU frames: the response copying constructors and every accessor
// of what they accept, the request builder driven by the input, and CreateTelegram(bytes) of the
// four factories.
#include <KMRComm/KC1BlockCPUReceiveTelegram.h>
#include <KMRComm/KC1BlockCPUSendTelegram.h>
#include <KMRComm/KC1ReceiveTelegram.h>
#include <KMRComm/KC1SendTelegram.h>
#include <KMRComm/KMRKC1BlockCPUReceiveTelegramFactory.h>
#include <KMRComm/KMRKC1BlockCPUSendTelegramFactory.h>
#include <KMRComm/KMRKC1ReceiveTelegramFactory.h>
#include <KMRComm/KMRKC1SendTelegramFactory.h>

#include <KMRBase/KMRException.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{
volatile unsigned int g_iSink;

// Reads every field and the whole payload; the payload must lie inside the frame.
void Touch(KMRAbstractTelegram& telegram_i)
{
    unsigned int sum = telegram_i.GetAddr() + telegram_i.GetSubAddr() + telegram_i.GetTag() + telegram_i.GetCmd() +
                       telegram_i.GetStatus1() + telegram_i.GetError1() + telegram_i.GetError2() +
                       telegram_i.GetSequenceCnt() + telegram_i.IsSuccessful() + telegram_i.IsTelegramBusy();
    const unsigned char* data = telegram_i.GetData();
    const unsigned int dataSize = telegram_i.GetDataSize();
    const unsigned char* frame = telegram_i.GetTelegramStream();
    if (data != nullptr && (data < frame || data + dataSize > frame + telegram_i.GetSize()))
        abort();
    for (unsigned int i = 0; data != nullptr && i < dataSize; ++i)
        sum += data[i];
    char text[64];
    telegram_i.ToString(text, sizeof(text));
    sum += static_cast<unsigned char>(text[0]);
    g_iSink = sum;
}

template <class Receive> void CopyResponse(const uint8_t* data_i, unsigned int len_i)
{
    try
    {
        Receive response(data_i, len_i);
        if (response.GetSize() != len_i)
            abort();
        Touch(response);
        (void)response.GetCount();
        Receive copy(response);
        Touch(copy);
    }
    catch (const KMRException&)
    {
    }
}

template <class Send> void BuildRequest(const uint8_t* data_i, size_t size_i)
{
    if (size_i < 4)
        return;
    const unsigned int len = static_cast<unsigned int>(size_i - 4);
    const unsigned int split = len == 0 ? 0 : data_i[3] % (len + 1);
    Send request(data_i[0], data_i[1], data_i[2], data_i + 4, split, data_i + 4 + split, len - split);
    Touch(request);
    const bool poll = data_i[2] == 0x10;
    if (request.GetSize() != (poll ? 7u : len + 9u))
        abort();
    if (!poll && request.GetDataSize() != len)
        abort();
}

void FromFactory(IKMRTelegramFactory& factory_i, const uint8_t* data_i, size_t size_i)
{
    try
    {
        KMRTelegramPtr telegram(factory_i.CreateTelegram(data_i, static_cast<int>(size_i)));
        Touch(*telegram);
    }
    catch (const KMRException&)
    {
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto len = static_cast<unsigned int>(size);
    CopyResponse<KC1ReceiveTelegram>(data, len);
    CopyResponse<KC1BlockCPUReceiveTelegram>(data, len);
    BuildRequest<KC1SendTelegram>(data, size);
    BuildRequest<KC1BlockCPUSendTelegram>(data, size);
    KMRKC1SendTelegramFactory kc1Requests;
    KMRKC1ReceiveTelegramFactory kc1Responses;
    KMRKC1BlockCPUSendTelegramFactory blockRequests;
    KMRKC1BlockCPUReceiveTelegramFactory blockResponses;
    IKMRTelegramFactory* factories[] = {&kc1Requests, &kc1Responses, &blockRequests, &blockResponses};
    for (IKMRTelegramFactory* factory : factories)
        FromFactory(*factory, data, size);
    return 0;
}
