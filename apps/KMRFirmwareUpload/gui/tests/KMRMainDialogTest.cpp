// KMRMainDialogTest: the main window against a simulated controller: connection, version, update, errors.
#include "KMRGuiTestSupport.h"
#include "KMRMainDialog.h"
#include "KMRPause.h"
#include "KMRUpdateProcedure.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cstdlib>
#include <memory>

class KMRMainDialogTest : public QObject
{
    Q_OBJECT

private:
    KMRRecordedMessages m_Messages;
    QTemporaryDir m_Dir;

    // A dialog whose start-up tick (initialisation file) is over, so clicks reach the controls.
    std::unique_ptr<KMRMainDialog> _Dialog()
    {
        auto dialog = std::make_unique<KMRMainDialog>();
        QTest::qWait(600);
        dialog->Worker().Wait();
        return dialog;
    }

    void _Click(KMRMainDialog& dialog_i, const char* name_i)
    {
        auto* button = dialog_i.findChild<QAbstractButton*>(QString::fromLatin1(name_i));
        QVERIFY(button != nullptr);
        button->click();
        dialog_i.Worker().Wait();
    }

    void _Set(KMRMainDialog& dialog_i, const char* name_i, const QString& text_i)
    {
        dialog_i.findChild<QLineEdit*>(QString::fromLatin1(name_i))->setText(text_i);
    }

    void _ChooseUdp(KMRMainDialog& dialog_i, uint16_t port_i, uint8_t address_i)
    {
        _Click(dialog_i, "udp");
        _Set(dialog_i, "remoteIP", QStringLiteral("127.0.0.1"));
        _Set(dialog_i, "remotePort", QString::number(port_i));
        _Set(dialog_i, "localIP", QStringLiteral("127.0.0.1"));
        _Set(dialog_i, "localPort", QStringLiteral("0"));
        _Set(dialog_i, "kc2Address", QString::number(address_i));
    }

    QString _Image(const std::vector<uint8_t>& bytes_i)
    {
        const QString path = m_Dir.filePath(QStringLiteral("firmware.img"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(reinterpret_cast<const char*>(bytes_i.data()), static_cast<qint64>(bytes_i.size()));
        return path;
    }

private slots:
    void init()
    {
        KMRPause::SetScale(0);
        m_Messages.Clear();
        m_Messages.m_eAnswer = EKMRAnswer::Yes;
        m_Messages.Install();
    }

    void cleanupTestCase() { KMRQtUserInterface::SetMessageHook({}); }

    void defaultsOfTheMainWindow()
    {
        auto dialog = _Dialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("KMRFirmwareUpload"));
        QCOMPARE(dialog->findChild<QLineEdit*>("kc2Address")->text(), QStringLiteral("254"));
        QCOMPARE(dialog->findChild<QLineEdit*>("profibusAddress")->text(), QStringLiteral("1"));
        QCOMPARE(dialog->findChild<QComboBox*>("baudrate")->currentText(), QStringLiteral("115200"));
        QCOMPARE(dialog->findChild<QComboBox*>("baudrate")->count(), 10);
        QCOMPARE(dialog->findChild<QLabel*>("version")->text(), QStringLiteral("Version: 3.4.2"));
        QCOMPARE(dialog->findChild<QPushButton*>("performTest")->text(), QStringLiteral("Start Test"));
        QVERIFY(!dialog->findChild<QPushButton*>("uploadCid")->isEnabled());
        QVERIFY(!dialog->findChild<QPushButton*>("setKC2Address")->isEnabled());
        const auto* ports = dialog->findChild<QComboBox*>("comPort");
        QVERIFY(ports->count() >= 12);
        QCOMPARE(ports->currentIndex(), 0);
        QCOMPARE(ports->itemData(0).toString(), QStringLiteral("COM1"));
        QVERIFY(ports->itemText(11).startsWith(QStringLiteral("COM12 (")));
    }

    void comPortsShowTheirDevices()
    {
        ::setenv("KMR_COM3", "/dev/pts/77", 1);
        auto dialog = _Dialog();
        ::unsetenv("KMR_COM3");
        const auto* ports = dialog->findChild<QComboBox*>("comPort");
        QCOMPARE(ports->itemText(2), QStringLiteral("COM3 (/dev/pts/77)"));
        QCOMPARE(ports->itemText(3), QStringLiteral("COM4 (/dev/ttyS3)"));
    }

    void connectionErrors()
    {
        auto dialog = _Dialog();
        _Click(*dialog, "connect");
        QCOMPARE(m_Messages.Last(), QStringLiteral("Please select a connection type."));
        QCOMPARE(m_Messages.m_Titles.last(), QStringLiteral("Connection Error"));

        _Click(*dialog, "profibus");
        QCOMPARE(m_Messages.Last(), QStringLiteral("This connection type is not available in this build."));

        // A serial port that cannot be opened.
        ::setenv("KMR_COM2", m_Dir.filePath(QStringLiteral("no-such-tty")).toUtf8().constData(), 1);
        _Click(*dialog, "serial");
        dialog->findChild<QComboBox*>("comPort")->setCurrentIndex(1);
        m_Messages.Clear();
        _Click(*dialog, "connect");
        ::unsetenv("KMR_COM2");
        QCOMPARE(m_Messages.m_Titles.value(0), QStringLiteral("Error"));
        QVERIFY(!dialog->Logic().IsConnected());
        QCOMPARE(dialog->findChild<QPushButton*>("connect")->text(), QStringLiteral("Connect"));
        QVERIFY(dialog->findChild<QRadioButton*>("serial")->isEnabled());

        // Buttons that need a connection.
        m_Messages.Clear();
        _Click(*dialog, "getVersion");
        _Click(*dialog, "startUpdate");
        QCOMPARE(m_Messages.m_Texts,
                 QStringList({QStringLiteral("Please connect to the slave."), QStringLiteral("Please connect to the slave.")}));
    }

    void udpConnectAndFirmwareUpdate()
    {
        KMRSimServer sim;
        sim.StartUdp();
        auto dialog = _Dialog();
        const std::vector<uint8_t> image = TestBytes(300, 3);
        dialog->SetImagePath(_Image(image));
        _ChooseUdp(*dialog, sim.Port(), 1);
        _Click(*dialog, "connect");
        QVERIFY2(dialog->Logic().IsConnected(), qPrintable(m_Messages.m_Texts.join('|')));
        QCOMPARE(dialog->findChild<QPushButton*>("connect")->text(), QStringLiteral("Disconnect"));
        QCOMPARE(dialog->findChild<QLabel*>("temperature")->text(), QString::fromUtf8("temp. 23 \xC2\xB0" "C"));
        QVERIFY(!dialog->findChild<QRadioButton*>("udp")->isEnabled());
        QVERIFY(!dialog->findChild<QPushButton*>("openFirmwareFile")->isEnabled());
        QVERIFY(dialog->findChild<QPushButton*>("uploadCid")->isEnabled());

        // Over UDP the version button shows nothing.
        _Click(*dialog, "getVersion");
        QVERIFY(m_Messages.m_Texts.isEmpty());

        _Click(*dialog, "startUpdate");
        QCOMPARE(m_Messages.m_Texts, QStringList(QStringLiteral("The firmware upload was successful.")));
        QCOMPARE(m_Messages.m_Titles.last(), QStringLiteral("Firmware Upload"));
        const auto images = sim.FirmwareImages();
        QCOMPARE(images.size(), size_t(1));
        QVERIFY(images[0] == image);
        // The controller is back at its own address in user mode.
        QCOMPARE(sim.Controller().GetAddress(), uint8_t(1));
        QVERIFY(dialog->findChild<QPushButton*>("startUpdate")->isEnabled());

        _Click(*dialog, "connect");
        QVERIFY(!dialog->Logic().IsConnected());
        QVERIFY(dialog->findChild<QRadioButton*>("udp")->isEnabled());
    }

    void serialSoftwareVersionAndAddressChange()
    {
        KMRSimServer sim;
        sim.StartPty();
        ::setenv("KMR_COM5", sim.PtyPath().c_str(), 1);
        auto dialog = _Dialog();
        _Click(*dialog, "serial");
        dialog->findChild<QComboBox*>("comPort")->setCurrentIndex(4);
        _Set(*dialog, "kc2Address", QStringLiteral("1"));
        _Click(*dialog, "connect");
        // The port name is resolved when the port opens.
        ::unsetenv("KMR_COM5");
        QVERIFY2(dialog->Logic().IsConnected(), qPrintable(m_Messages.m_Texts.join('|')));

        _Click(*dialog, "getVersion");
        QVERIFY2(m_Messages.Last().startsWith(QStringLiteral("Version: 1.0.1\n")), qPrintable(m_Messages.Last()));
        QVERIFY(m_Messages.Last().endsWith(QStringLiteral("(Release Version)")));

        m_Messages.Clear();
        _Set(*dialog, "newKC2Address", QStringLiteral("1"));
        _Click(*dialog, "setKC2Address");
        QCOMPARE(m_Messages.Last(), QStringLiteral("The new address is the sames as the old one!\n\nNothing will be done."));
        _Set(*dialog, "newKC2Address", QStringLiteral("9"));
        _Click(*dialog, "setKC2Address");
        QCOMPARE(m_Messages.Last(), QStringLiteral("The new slave address was set successfully."));
        QCOMPARE(sim.Controller().GetAddress(), uint8_t(9));
        QCOMPARE(dialog->findChild<QLineEdit*>("kc2Address")->text(), QStringLiteral("9"));
        _Click(*dialog, "connect");
    }

    // The temperature gate: 1..83 °C pass, the rest stops before anything is sent.
    void temperatureGate_data()
    {
        QTest::addColumn<int>("hundredths");
        QTest::addColumn<bool>("updated");
        QTest::addColumn<QString>("message");
        QTest::newRow("84 refused") << 8400 << false << QString::fromUtf8("controller temperature invalid");
        QTest::newRow("83 accepted") << 8399 << true << QStringLiteral("The firmware upload was successful.");
        QTest::newRow("1 accepted") << 100 << true << QStringLiteral("The firmware upload was successful.");
        QTest::newRow("0 refused") << 99 << false << QString::fromUtf8("controller temperature invalid");
    }

    void temperatureGate()
    {
        QFETCH(int, hundredths);
        QFETCH(bool, updated);
        QFETCH(QString, message);
        KMRSimServerOptions options;
        options.controller.temperatureHundredths = static_cast<int16_t>(hundredths);
        KMRSimServer sim(options);
        sim.StartUdp();
        auto dialog = _Dialog();
        dialog->SetImagePath(_Image(TestBytes(200, 1)));
        _ChooseUdp(*dialog, sim.Port(), 1);
        _Click(*dialog, "connect");
        QVERIFY(dialog->Logic().IsConnected());
        _Click(*dialog, "startUpdate");
        QVERIFY2(m_Messages.Last().startsWith(message), qPrintable(m_Messages.Last()));
        QCOMPARE(sim.FirmwareImages().size(), size_t(updated ? 1 : 0));
        _Click(*dialog, "connect");
    }

    void updateWithoutImageDisconnects()
    {
        KMRSimServer sim;
        sim.StartUdp();
        auto dialog = _Dialog();
        _ChooseUdp(*dialog, sim.Port(), 1);
        _Click(*dialog, "connect");
        QVERIFY(dialog->Logic().IsConnected());
        _Click(*dialog, "startUpdate");
        QCOMPARE(m_Messages.Last(), QStringLiteral("Please open a file to upload."));
        QVERIFY(!dialog->Logic().IsConnected());
        QCOMPARE(dialog->findChild<QPushButton*>("connect")->text(), QStringLiteral("Connect"));
    }

    void closingDuringAnOperationAsksFirst()
    {
        auto dialog = _Dialog();
        dialog->show();
        // An operation that waits until the question was answered.
        std::atomic<bool> release{false};
        dialog->Worker().Run([&release] {
            while (!release)
                QThread::msleep(5);
        });
        m_Messages.m_eAnswer = EKMRAnswer::No;
        dialog->reject();
        QCOMPARE(m_Messages.m_Texts.size(), 1);
        QVERIFY(dialog->isVisible());
        m_Messages.m_eAnswer = EKMRAnswer::Yes;
        dialog->reject();
        QVERIFY(dialog->isVisible());
        release = true;
        dialog->Worker().Wait();
        QVERIFY(!dialog->isVisible());
    }
};

QTEST_MAIN(KMRMainDialogTest)
#include "KMRMainDialogTest.moc"
