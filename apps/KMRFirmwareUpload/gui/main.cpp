// KMRFirmwareUpload: the upload tool's dialog application.
#include "KMRMainDialog.h"

#include <KMRComm/KMRSETranslator.h>
#include <KMRLogging/KMRLogger.h>

#include <QApplication>

#include <clocale>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Logged texts keep their non-ASCII characters only under a UTF-8 locale.
    if (std::setlocale(LC_ALL, "") == nullptr)
        std::setlocale(LC_ALL, "C.UTF-8");
    KMRSETranslator::InstallFaultHandlers();
    // A higher priority keeps the telegram timing steady; ordinary users may not get it.
    (void)::setpriority(PRIO_PROCESS, 0, -5);
    KMRLogger::Configure("FirmwareUploadLogConfig.xml");
    int result = 0;
    {
        KMRMainDialog dialog;
        result = dialog.exec();
    }
    KMRLogger::Shutdown();
    (void)result;
    return 0;
}
