// KMRExceptionBase: the upload tool's exception, a location and a message for the user.
#pragma once

#include <KMRBase/KMRString.h>

// Thrown by value, caught by reference. The location ("FirmwareUpload::OnReceive") is
// for logs only; GetMessage() is the text shown to the user and compared by callers
// that react to particular answers ("BUSY", "response is a NACK telegram.").
class KMRExceptionBase
{
public:
    KMRExceptionBase(const KMRString& location_i, const KMRString& message_i)
        : m_strLocation(location_i), m_strMessage(message_i)
    {
    }
    virtual ~KMRExceptionBase() = default;

    const KMRString& GetMessage() const { return m_strMessage; }
    const KMRString& GetLocation() const { return m_strLocation; }

private:
    KMRString m_strLocation;
    KMRString m_strMessage;
};
