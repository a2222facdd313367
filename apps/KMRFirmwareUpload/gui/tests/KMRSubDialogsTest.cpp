// KMRSubDialogsTest: content, protocol address, LED test timer and brightness dialogs against a simulated controller.
#include "KMRBrightnessDialog.h"
#include "KMRContentDialog.h"
#include "KMRGuiTestSupport.h"
#include "KMRLedTestTimerDialog.h"
#include "KMRPause.h"
#include "KMRProtocolAddressDialog.h"
#include "KMRSmallDialogLogic.h"

#include "FirmwareUpload.h"
#include "KMRUDPTransmissionFactory.h"

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <memory>

class KMRSubDialogsTest : public QObject
{
    Q_OBJECT

private:
    KMRRecordedMessages m_Messages;
    QTemporaryDir m_Dir;
    std::unique_ptr<KMRSimServer> m_pSim;
    std::unique_ptr<KMRUDPTransmissionFactory> m_pFactory;
    std::unique_ptr<FirmwareUpload> m_pEngine;

    void _Click(QWidget& dialog_i, KMRWorker* worker_i, const char* name_i)
    {
        auto* button = dialog_i.findChild<QAbstractButton*>(QString::fromLatin1(name_i));
        QVERIFY(button != nullptr);
        button->click();
        if (worker_i != nullptr)
            worker_i->Wait();
    }

private slots:
    void init()
    {
        KMRPause::SetScale(0);
        m_Messages.Clear();
        m_Messages.Install();
        m_pSim = std::make_unique<KMRSimServer>();
        m_pSim->StartUdp();
        m_pFactory = std::make_unique<KMRUDPTransmissionFactory>("127.0.0.1", "0", "127.0.0.1",
                                                                 std::to_string(m_pSim->Port()).c_str());
        m_pEngine = std::make_unique<FirmwareUpload>(m_pFactory.get(), uint8_t(1));
        m_pEngine->Initialize(2000);
    }

    void cleanup()
    {
        m_pEngine.reset();
        m_pFactory.reset();
        m_pSim.reset();
    }

    void contentDialogUploadsAFile()
    {
        const QString path = m_Dir.filePath(QStringLiteral("logo.cid"));
        const std::vector<uint8_t> bytes = TestBytes(400, 9);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        file.close();

        KMRContentDialog dialog(*m_pEngine);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Activate/Download/Upload Content ID or Configuration"));
        dialog.SetFile(path);
        dialog.findChild<QLineEdit*>("cid")->setText(QStringLiteral("1A2F"));
        _Click(dialog, &dialog.Worker(), "upload");
        QCOMPARE(m_Messages.m_Texts, QStringList(QStringLiteral("The Upload was successfull")));
        QVERIFY(m_pSim->Content(0x1A2F) == bytes);

        m_Messages.Clear();
        dialog.findChild<QLineEdit*>("activateCid")->setText(QStringLiteral("1A2F"));
        _Click(dialog, &dialog.Worker(), "activate");
        QCOMPARE(m_Messages.Last(), QStringLiteral("The Content ID was set successfully"));
        QCOMPARE(m_pSim->Controller().GetActiveContent(), std::optional<uint16_t>(0x1A2F));

        _Click(dialog, &dialog.Worker(), "delete");
        QCOMPARE(m_Messages.Last(), QStringLiteral("The Content ID was deleted successfully"));
        QVERIFY(!m_pSim->Content(0x1A2F).has_value());

        dialog.findChild<QLineEdit*>("cid")->clear();
        _Click(dialog, &dialog.Worker(), "download");
        QCOMPARE(m_Messages.Last(), QStringLiteral("Please insert a valid Content ID"));
    }

    void contentDialogUploadsABitmap()
    {
        QImage image(16, 8, QImage::Format_RGB888);
        image.fill(Qt::white);
        for (int x = 0; x < 16; x += 2)
            image.setPixel(x, 3, qRgb(0, 0, 0));
        const QString path = m_Dir.filePath(QStringLiteral("pic.bmp"));
        QVERIFY(image.save(path, "BMP"));

        KMRContentDialog dialog(*m_pEngine);
        dialog.SetFile(path);
        dialog.findChild<QLineEdit*>("cid")->setText(QStringLiteral("0042"));
        // Without a format the upload is refused.
        _Click(dialog, &dialog.Worker(), "upload");
        QCOMPARE(m_Messages.Last(), QStringLiteral("Please select a plattform format"));
        QVERIFY(!m_pSim->Content(0x42).has_value());

        auto* mono = dialog.findChild<QRadioButton*>("mono");
        QVERIFY(mono->isEnabled());
        mono->click();
        _Click(dialog, &dialog.Worker(), "upload");
        QCOMPARE(m_Messages.Last(), QStringLiteral("The Upload was successfull"));
        QVERIFY(m_pSim->Content(0x42).has_value());
        QVERIFY(m_pEngine->GetBitmap() == *m_pSim->Content(0x42));
    }

    void contentDialogScriptCaption()
    {
        KMRContentDialog dialog(*m_pEngine);
        dialog.SetFile(m_Dir.filePath(QStringLiteral("show.xml")));
        QCOMPARE(dialog.findChild<QPushButton*>("upload")->text(), QStringLiteral("start script"));
        QVERIFY(!dialog.findChild<QLineEdit*>("cid")->isEnabled());
        dialog.SetFile(m_Dir.filePath(QStringLiteral("a.cid")));
        QCOMPARE(dialog.findChild<QPushButton*>("upload")->text(), QStringLiteral("Upload CID"));
        dialog.findChild<QAbstractButton*>("configuration")->click();
        QCOMPARE(dialog.findChild<QLineEdit*>("cid")->text(), QStringLiteral("FFF0"));
    }

    void protocolAddressChecks_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QList<int>>("addresses");
        QTest::addColumn<bool>("accepted");
        const QList<int> zeros(12, 0);
        QList<int> one = zeros;
        one[0] = 1;
        QList<int> at3 = one;
        at3[2] = 255;
        QList<int> at7 = one;
        at7[6] = 255;
        QTest::newRow("VARON all zero") << 1 << zeros << false;
        QTest::newRow("VARON one address") << 1 << one << true;
        QTest::newRow("VARON 255 in edit 3") << 1 << at3 << false;
        QTest::newRow("VARON 255 in edit 7") << 1 << at7 << true;
        QTest::newRow("KelmarCom2 unchecked") << 0 << QList<int>(12, 255) << true;
        QTest::newRow("quorvaNX unchecked") << 2 << zeros << true;
        QTest::newRow("unknown entry") << 3 << one << false;
    }

    void protocolAddressChecks()
    {
        QFETCH(int, index);
        QFETCH(QList<int>, addresses);
        QFETCH(bool, accepted);
        KMRProtocolAddressLogic::Addresses bytes{};
        for (int i = 0; i < 12; ++i)
            bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(addresses[i]);
        QCOMPARE(KMRProtocolAddressLogic::CheckAddressConsistency(index, bytes), accepted);
    }

    void protocolAddressDialog()
    {
        KMRQtUserInterface ui(nullptr);
        KMRProtocolAddressDialog dialog(*m_pEngine, ui);
        QVERIFY(m_Messages.m_Texts.isEmpty());
        dialog.ProtocolCombo()->setCurrentIndex(1);
        QCOMPARE(dialog.AddressLabel(0)->text(), QStringLiteral("IEC870 slave address 1 [1..254] (Textzeile)"));
        QCOMPARE(dialog.AddressLabel(6)->text(), QStringLiteral("not used [0]"));
        for (int i = 0; i < 12; ++i)
            dialog.AddressEdit(i)->setText(QStringLiteral("0"));
        dialog.OnSet();
        QVERIFY(m_Messages.Last().startsWith(QStringLiteral("The specified addresses are incorrect.")));
        // An edit holding 300 is sent as 44.
        dialog.AddressEdit(0)->setText(QStringLiteral("300"));
        dialog.OnSet();
        QCOMPARE(m_Messages.Last(), QStringLiteral("Address changed!"));
        QCOMPARE(m_pSim->Controller().GetProtocolAddress(3)[0], uint8_t(44));
        dialog.AddressEdit(0)->clear();
        dialog.OnGet();
        QCOMPARE(dialog.AddressEdit(0)->text(), QStringLiteral("44"));
    }

    void ledTestTimerDialog()
    {
        KMRQtUserInterface ui(nullptr);
        KMRLedTestTimerDialog dialog(*m_pEngine, ui);
        dialog.OnSet();
        QCOMPARE(m_Messages.Last(), QStringLiteral("Please enter a value!"));
        dialog.ValueEdit()->setText(QStringLiteral("70000"));
        dialog.OnSet();
        QCOMPARE(m_pSim->Controller().GetLedTestTimer(), uint16_t(4464));
        dialog.ValueEdit()->clear();
        dialog.OnGet();
        QCOMPARE(dialog.ValueEdit()->text(), QStringLiteral("4464"));
    }

    void brightnessDialog()
    {
        KMRBrightnessDialog ok;
        QTimer::singleShot(0, &ok, &QDialog::accept);
        ok.exec();
        QCOMPARE(ok.GetCurrentBrightnessValue(), uint8_t(30));
        KMRBrightnessDialog cancel;
        QTimer::singleShot(0, &cancel, &KMRBrightnessDialog::reject);
        cancel.exec();
        QCOMPARE(cancel.GetCurrentBrightnessValue(), uint8_t(0));
    }
};

QTEST_MAIN(KMRSubDialogsTest)
#include "KMRSubDialogsTest.moc"
