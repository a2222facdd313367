// KMRScreenshots: renders every dialog of the upload tool into PNG files for the documentation.
#include "KMRBrightnessDialog.h"
#include "KMRContentDialog.h"
#include "KMRLedTestTimerDialog.h"
#include "KMRMainDialog.h"
#include "KMRProtocolAddressDialog.h"

#include "KMRUDPTransmissionFactory.h"

#include <KMRSim/KMRSimServer.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>

#include <cstdio>
#include <string>

namespace
{
bool Save(QWidget& widget_i, const QDir& folder_i, const char* name_i)
{
    widget_i.show();
    QApplication::processEvents();
    const bool saved = widget_i.grab().save(folder_i.filePath(QString::fromLatin1(name_i)));
    widget_i.hide();
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", name_i);
    return saved;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    // The sub-dialogs read from a controller; a simulated one stands in.
    KMRSimServer sim;
    sim.StartUdp();
    KMRUDPTransmissionFactory factory("127.0.0.1", "0", "127.0.0.1", std::to_string(sim.Port()).c_str());
    FirmwareUpload engine(&factory, 1);
    engine.Initialize(2000);
    KMRQtUserInterface ui(nullptr);

    bool ok = true;
    {
        KMRMainDialog dialog;
        dialog.findChild<QRadioButton*>(QStringLiteral("udp"))->click();
        dialog.findChild<QLineEdit*>(QStringLiteral("remoteIP"))->setText(QStringLiteral("192.168.10.20"));
        dialog.findChild<QLineEdit*>(QStringLiteral("remotePort"))->setText(QStringLiteral("5000"));
        ok = Save(dialog, folder, "main-dialog.png") && ok;
    }
    {
        KMRContentDialog dialog(engine);
        ok = Save(dialog, folder, "content-dialog.png") && ok;
    }
    {
        KMRProtocolAddressDialog dialog(engine, ui);
        ok = Save(dialog, folder, "protocol-address-dialog.png") && ok;
    }
    {
        KMRLedTestTimerDialog dialog(engine, ui);
        ok = Save(dialog, folder, "led-test-timer-dialog.png") && ok;
    }
    {
        KMRBrightnessDialog dialog;
        ok = Save(dialog, folder, "brightness-dialog.png") && ok;
    }
    return ok ? 0 : 1;
}
