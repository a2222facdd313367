// KMRInternetAddress is nested in KMRSocket; this header is the place to look for it.
#pragma once

#include <KMRComm/KMRSocket.h>

using KMRInternetAddress = KMRSocket::KMRInternetAddress;
