// KMRLEAReceiveTelegramFactory: empty LEA responses and the LEA transmission's answers.
#include <KMRComm/KMRLEAReceiveTelegramFactory.h>

#include <KMRComm/LEAReceiveTelegram.h>

KMRLEAReceiveTelegramFactory::~KMRLEAReceiveTelegramFactory() = default;

KMRAbstractTelegram* KMRLEAReceiveTelegramFactory::CreateTelegram()
{
    return new LEAReceiveTelegram();
}

KMRAbstractTelegram* KMRLEAReceiveTelegramFactory::CreateTelegram(const unsigned char* pTelegram_i, int iTelegramLen_i)
{
    return new LEAReceiveTelegram(pTelegram_i, iTelegramLen_i < 0 ? 0u : static_cast<unsigned int>(iTelegramLen_i));
}

LEAReceiveTelegram* KMRLEAReceiveTelegramFactory::CreateTelegram(unsigned char addr_i, unsigned char tag_i,
                                                                 unsigned char cmd_i, unsigned char* data_i,
                                                                 unsigned int len_i, unsigned int statusReturn_i)
{
    return new LEAReceiveTelegram(addr_i, tag_i, cmd_i, data_i, len_i, statusReturn_i);
}

LEAReceiveTelegram* KMRLEAReceiveTelegramFactory::CreateTelegram(unsigned char addr_i, unsigned char tag_i,
                                                                 unsigned char cmd_i, const KMRString& text_i,
                                                                 unsigned int statusReturn_i)
{
    return new LEAReceiveTelegram(addr_i, tag_i, cmd_i, text_i, statusReturn_i);
}
