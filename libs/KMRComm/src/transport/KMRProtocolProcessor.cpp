// KMRProtocolProcessor: the out-of-line destructor anchors the interface's type information.
#include <KMRComm/KMRProtocolProcessor.h>

KMRProtocolProcessor::~KMRProtocolProcessor() = default;
