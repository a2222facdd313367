// KMRLEAReceiveTelegramFactory: creates LEA responses, empty or as the LEA transmission's answers.
#pragma once

#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KMRCommExport.h>

#include <KMRBase/KMRString.h>

class LEAReceiveTelegram;

// Every result is new and owned by the caller. Thread safety: stateless; usable from any thread.
class KMRComm_API KMRLEAReceiveTelegramFactory : public IKMRTelegramFactory
{
public:
    KMRLEAReceiveTelegramFactory() = default;

    // Slot 0: a new empty LEAReceiveTelegram.
    KMRAbstractTelegram* CreateTelegram() override;
    // Slot 1: a new empty LEAReceiveTelegram whatever the bytes (LEA responses are never parsed).
    KMRAbstractTelegram* CreateTelegram(const unsigned char* pTelegram_i, int iTelegramLen_i) override;
    // Slot 2.
    ~KMRLEAReceiveTelegramFactory() override;
    // Slot 3: the answer with data bytes (their text up to the first NUL is the return text).
    virtual LEAReceiveTelegram* CreateTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                               unsigned char* data_i, unsigned int len_i, unsigned int statusReturn_i);
    // Slot 4: the answer with a return text and no data.
    virtual LEAReceiveTelegram* CreateTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                               const KMRString& text_i, unsigned int statusReturn_i);
};
