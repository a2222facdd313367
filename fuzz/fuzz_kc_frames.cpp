// Fuzzes the copying constructors of the KelmarCom2 request and response frames and every
// accessor of what they accept, plus the unchecked SetTelegramStream path of requests.
#include <KMRComm/KCReceiveTelegram.h>
#include <KMRComm/KCSendTelegram.h>

#include <KMRBase/KMRException.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace
{
volatile unsigned int g_iSink;

// Reads every field and the whole payload; the payload must lie inside the frame.
void Touch(KCTelegram& telegram_i)
{
    unsigned int sum = telegram_i.GetAddr() + telegram_i.GetSubAddr() + telegram_i.GetTag() + telegram_i.GetCmd() +
                       telegram_i.GetStatus1() + telegram_i.GetError1() + telegram_i.GetError2();
    sum += telegram_i.IsExtendedTelegram() + telegram_i.IsBasicTelegram() + telegram_i.IsSuccessful() +
           telegram_i.IsTelegramBusy();
    const unsigned char* data = telegram_i.GetData();
    const unsigned int dataSize = telegram_i.GetDataSize();
    const unsigned char* frame = telegram_i.GetTelegramStream();
    if (data != nullptr && (data < frame || data + dataSize > frame + telegram_i.GetSize()))
        abort();
    for (unsigned int i = 0; data != nullptr && i < dataSize; ++i)
        sum += data[i];
    char text[1024];
    telegram_i.ToString(text, sizeof(text));
    sum += static_cast<unsigned char>(text[0]);
    try
    {
        sum += telegram_i.GetSequenceCnt() + telegram_i.GetCount();
    }
    catch (const KMRException&)
    {
        // Responses refuse a sequence count of a non-extended frame.
    }
    g_iSink = sum;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto len = static_cast<unsigned int>(size);
    try
    {
        KCReceiveTelegram response(data, len);
        Touch(response);
        response.SetError2(0x10);
        KCReceiveTelegram copy(response);
        Touch(copy);
    }
    catch (const KMRException&)
    {
    }
    try
    {
        KCSendTelegram request(data, len);
        Touch(request);
        std::unique_ptr<KCReceiveTelegram> answer(request.CreateSRTResponse(true));
        if (answer == nullptr)
            abort(); // an accepted request is valid and has an answer
        Touch(*answer);
        request.ChangeBusyTag(0x20);
        if (!request.IsTelegramValid(request.GetTelegramStream(), request.GetSize()))
            abort();
    }
    catch (const KMRException&)
    {
    }
    KCSendTelegram unchecked;
    unchecked.SetTelegramStream(data, len);
    Touch(unchecked);
    unchecked.ChangeBusyTag(0x30);
    std::unique_ptr<KCReceiveTelegram> answer(unchecked.CreateSRTResponse(false));
    if (answer != nullptr)
        Touch(*answer);
    return 0;
}
