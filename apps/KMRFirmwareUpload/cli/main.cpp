// kmrupload: the upload tool on the command line.
#include "KMRConsoleUserInterface.h"

#include "FirmwareUpload.h"
#include "KMRFirmwareUploadDlg.h"
#include "KMRPause.h"
#include "KMRUploadFileDlg.h"

#include <KMRComm/KMRSETranslator.h>
#include <KMRLogging/KMRLogger.h>

#include <KMRBase/KMRException.h>
#include <KMRBase/KMRFileHelper.h>

#include <CLI/CLI.hpp>

#include <clocale>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace
{
constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

struct Options
{
    std::string udp;
    std::string local = "0.0.0.0:0";
    std::string serial;
    uint32_t baud = 115200;
    int address = 254;
    double pauseScale = 1.0;
    std::string logConfig;
    std::string logDir;
    bool verbose = false;
};

bool SplitHostPort(const std::string& text_i, std::string& host_o, std::string& port_o)
{
    const size_t colon = text_i.rfind(':');
    if (colon == std::string::npos || colon + 1 >= text_i.size())
        return false;
    host_o = text_i.substr(0, colon);
    port_o = text_i.substr(colon + 1);
    return port_o.find_first_not_of("0123456789") == std::string::npos;
}

uint32_t ParseHex(const std::string& text_i)
{
    return KMRUploadFileDlg::_httoi(text_i.c_str());
}

class Failure
{
public:
    explicit Failure(std::string text_i) : m_strText(std::move(text_i)) {}
    const std::string& Text() const { return m_strText; }

private:
    std::string m_strText;
};

// Builds the item that describes the connection, as a flash script would.
KMRFirmwareUploadDlg::T_FLASHITEM MakeItem(const Options& options_i)
{
    KMRFirmwareUploadDlg::T_FLASHITEM item;
    item.m_ucKC2Addr = static_cast<uint8_t>(options_i.address);
    if (!options_i.udp.empty())
    {
        std::string host;
        std::string port;
        if (!SplitHostPort(options_i.udp, host, port))
            throw CLI::ValidationError("--udp", "expected HOST:PORT");
        std::string localHost;
        std::string localPort;
        if (!SplitHostPort(options_i.local, localHost, localPort))
            throw CLI::ValidationError("--local", "expected IP:PORT");
        item.m_ucConnectionType = KMRFirmwareUploadDlg::CONNECTION_UDP;
        item.m_strConnectionType = "UDP";
        item.m_strRemoteIP = host == "localhost" ? std::string("127.0.0.1") : host;
        item.m_strRemotePort = port;
        item.m_strLocalIP = localHost == "0.0.0.0" ? std::string() : localHost;
        item.m_strLocalPort = localPort;
    }
    else if (!options_i.serial.empty())
    {
        item.m_ucConnectionType = KMRFirmwareUploadDlg::CONNECTION_SERIAL;
        item.m_strConnectionType = "Serial";
        item.m_ulBaudrate = options_i.baud;
    }
    else
        throw CLI::ValidationError("connection", "choose --udp HOST:PORT or --serial DEVICE");
    return item;
}

// Connects as a flash script does; for serial lines the device name goes straight to the factory.
class Session
{
public:
    Session(const Options& options_i, KMRConsoleUserInterface& ui_i)
        : m_rOptions(options_i), m_Dialog(ui_i), m_Item(MakeItem(options_i))
    {
        if (!options_i.logDir.empty())
            m_Dialog.SetLogDirectory(options_i.logDir.c_str());
    }

    KMRFirmwareUploadDlg& Dialog() { return m_Dialog; }
    KMRFirmwareUploadDlg::T_FLASHITEM& Item() { return m_Item; }

    FirmwareUpload& Connect(const KMRString& image_i = KMRString())
    {
        m_Item.m_strImageFile = image_i;
        if (m_Item.m_ucConnectionType == KMRFirmwareUploadDlg::CONNECTION_SERIAL)
        {
            // A device path or COMn: the factory resolves both.
            KMRFirmwareUploadDlg::Settings& settings = m_Dialog.GetSettings();
            settings.m_eConnectionType = KMRFirmwareUploadDlg::CONNECTION_SERIAL;
            settings.m_strComPort = m_rOptions.serial.c_str();
            settings.m_ulBaudrate = m_rOptions.baud;
            settings.m_ucKC2Address = m_Item.m_ucKC2Addr;
            settings.m_strImagePath = image_i;
            if (!m_Dialog._EstablishConnection())
                throw Failure("The controller is not reachable");
        }
        else if (!m_Dialog._EstablishConnectionNoGUI(&m_Item))
            throw Failure("The controller is not reachable");
        return *m_Dialog.GetEngine();
    }

private:
    const Options& m_rOptions;
    KMRFirmwareUploadDlg m_Dialog;
    KMRFirmwareUploadDlg::T_FLASHITEM m_Item;
};

int Report(const KMRString& text_i)
{
    std::printf("%s\n", text_i.GetString());
    return EXIT_OK;
}

void ConfigureLogging(const Options& options_i)
{
    if (!options_i.logConfig.empty())
    {
        if (!KMRLogger::Configure(options_i.logConfig.c_str()))
            throw Failure("Unable to read the logging configuration " + options_i.logConfig);
        return;
    }
    KMRLogger::ConfigureConsole(options_i.verbose ? LOGGER_LEVEL_INFO : LOGGER_LEVEL_FATAL);
}
} // namespace

int main(int argc, char** argv)
{
    if (std::setlocale(LC_ALL, "") == nullptr)
        std::setlocale(LC_ALL, "C.UTF-8");
    KMRSETranslator::InstallFaultHandlers();

    Options options;
    CLI::App app("kmrupload: firmware and content upload and service commands for sign controllers", "kmrupload");
    app.require_subcommand(1);
    auto* connection = app.add_option_group("CONNECTION");
    connection->add_option("--udp", options.udp, "controller reached over UDP, HOST:PORT");
    connection->add_option("--serial", options.serial, "controller on a serial line: device path or COMn");
    connection->require_option(0, 1);
    app.add_option("--local", options.local, "local UDP address IP:PORT (default any address, any port)");
    app.add_option("--baud", options.baud, "serial baud rate (default 115200)")
        ->check(CLI::IsMember({1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200}));
    app.add_option("--address", options.address, "KelmarCom2 address of the controller (default 254)")
        ->check(CLI::Range(0, 255));
    app.add_option("--pause-scale", options.pauseScale,
                   "factor for the fixed pauses of the procedures (default 1; for simulators and training)")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--log-config", options.logConfig, "logging configuration file (XML)");
    app.add_option("--log-dir", options.logDir, "folder for flash-script log files (default: working directory)");
    app.add_flag("--verbose,-v", options.verbose, "log every telegram on standard error");

    std::function<int(Session&, KMRConsoleUserInterface&)> command;
    auto add = [&](const char* name_i, const char* help_i) { return app.add_subcommand(name_i, help_i); };

    add("poll", "check that the controller answers and say in which mode")->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface&) {
            FirmwareUpload& engine = session_i.Connect();
            return Report(KMRString::Formatted("controller answers at address %d in %s mode",
                                               engine.GetKelmarCom2Address(),
                                               session_i.Dialog().IsInFirmwareMode() ? "firmware" : "user"));
        };
    });
    add("version", "read the software version and build number")->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface&) {
            return Report(session_i.Connect().ReadSoftwareVersion());
        };
    });
    add("temperature", "read the controller temperature")->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface&) {
            const int32_t temperature = session_i.Connect().GetControllerTemperature();
            if (temperature == FirmwareUpload::TEMPERATURE_UNKNOWN)
                throw Failure("unknown temperature");
            return Report(KMRString::Formatted("temp. %d \xC2\xB0" "C", temperature));
        };
    });
    add("set-time", "set the controller clock from this computer's clock")->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface&) {
            if (!session_i.Connect().SetDateTime())
                throw Failure("The controller did not accept the date and time.");
            return Report("date and time set");
        };
    });
    add("reset", "reset the controller")->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface&) {
            session_i.Connect().ResetController(true);
            return Report("controller reset");
        };
    });

    std::string file;
    std::string cid;
    int type = -1;
    int signType = 0;
    auto* firmware = add("firmware", "load a firmware image (the scripted update procedure)");
    firmware->add_option("IMAGE", file, "firmware image file")->required()->check(CLI::ExistingFile);
    firmware->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface& ui_i) {
            ui_i.SetEchoLog(true);
            session_i.Connect(file.c_str());
            if (!session_i.Dialog().UpdateNoGUI(session_i.Item()))
            {
                std::fprintf(stderr, "log file: %s\n", session_i.Dialog().GetFlashScriptLogFileName().GetString());
                throw Failure("The firmware upload failed.");
            }
            ui_i.FinishProgress();
            return Report("The firmware upload was successful.");
        };
    });

    auto* upload = add("upload", "upload a content, configuration or bitmap file to a content ID");
    upload->add_option("FILE", file, "file to upload")->required()->check(CLI::ExistingFile);
    upload->add_option("--cid", cid, "content ID, hexadecimal")->required();
    auto* typeOption = upload->add_option("--type", type, "content type byte (default by extension)");
    upload->add_option("--sign-type", signType, "sign format for bitmaps: 1 monochrome, 4 two-bit, 8 eight-bit")
        ->check(CLI::IsMember({1, 4, 8}))
        ->excludes(typeOption);
    upload->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface& ui_i) {
            FirmwareUpload& engine = session_i.Connect();
            // A bitmap's size on the sign is known only after conversion: count sequences for other files.
            unsigned long size = 0;
            if (KMRUploadFileDlg::GetExtension(file.c_str()).CompareNoCase(".bmp") != 0 &&
                KMRFileHelper::GetFileSize(file.c_str(), size))
                ui_i.StartSequenceCount("content", static_cast<int>((size + 124) / 125), 125);
            if (type >= 0)
                engine.UploadCidOrConfigFile(file.c_str(), ParseHex(cid), static_cast<uint8_t>(type));
            else
            {
                KMRUploadFileDlg uploader(ui_i);
                uploader.SetFirmwareUploader(&engine);
                uploader.SetSignType(static_cast<uint8_t>(signType));
                uploader.SetFilePath(file.c_str());
                uploader.UploadFile(ParseHex(cid), file.c_str());
            }
            ui_i.FinishProgress();
            return Report("The Upload was successfull");
        };
    });

    auto* download = add("download", "read a content ID back into a file");
    download->add_option("FILE", file, "target file")->required();
    download->add_option("--cid", cid, "content ID, hexadecimal")->required();
    download->add_option("--type", type, "content type byte (default 1)");
    download->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface&) {
            session_i.Connect().DownloadContent(file.c_str(), ParseHex(cid), static_cast<uint8_t>(type < 0 ? 1 : type));
            return Report(KMRString::Formatted("content 0x%X saved to %s", ParseHex(cid), file.c_str()));
        };
    });

    for (const char* name : {"exists", "delete", "activate"})
    {
        auto* sub = add(name, name == std::string("exists")   ? "check that a content ID is stored"
                              : name == std::string("delete") ? "delete a content ID"
                                                              : "activate a content ID");
        sub->add_option("--cid", cid, "content ID, hexadecimal")->required();
        const std::string which = name;
        sub->callback([&, which] {
            command = [&, which](Session& session_i, KMRConsoleUserInterface&) {
                FirmwareUpload& engine = session_i.Connect();
                const uint32_t id = ParseHex(cid);
                if (which == "exists")
                {
                    engine.CheckIfCidExists(id);
                    return Report(KMRString::Formatted("content 0x%X is available", id));
                }
                if (which == "delete")
                {
                    engine.DeleteContentIDChecked(id);
                    return Report("The Content ID was deleted successfully");
                }
                engine.ActivateContent(id);
                return Report("The Content ID was set successfully");
            };
        });
    }

    int percent = 0;
    auto* brightness = add("brightness", "set the sign brightness");
    brightness->add_option("PERCENT", percent, "0 to 100")->required()->check(CLI::Range(0, 100));
    brightness->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface&) {
            session_i.Connect().SetSignBrightness(static_cast<uint8_t>(percent));
            return Report(KMRString::Formatted("Sign Brightness (%d percent)", percent));
        };
    });

    int ledValue = -1;
    auto* led = add("led-timer", "read or set the LED test timer");
    led->add_option("VALUE", ledValue, "new value (0 to 65535); without it the timer is read")
        ->check(CLI::Range(0, 65535));
    led->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface&) {
            FirmwareUpload& engine = session_i.Connect();
            if (ledValue < 0)
                return Report(KMRString::Formatted("LED test timer: %u", engine.GetLedTestTimer()));
            engine.SetLedTestTimer(static_cast<uint16_t>(ledValue));
            return Report(KMRString::Formatted("LED test timer set to %d", ledValue));
        };
    });

    int protocolType = 0;
    std::vector<int> protocolBytes;
    auto* protocol = add("protocol-address", "read or set a protocol address (12 bytes)");
    protocol->add_option("TYPE", protocolType, "protocol type byte")->required()->check(CLI::Range(0, 255));
    protocol->add_option("BYTES", protocolBytes, "the 12 address bytes to set")->check(CLI::Range(0, 255));
    protocol->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface&) {
            if (!protocolBytes.empty() && protocolBytes.size() != 12)
                throw CLI::ValidationError("protocol-address", "give exactly 12 bytes, or none to read");
            FirmwareUpload& engine = session_i.Connect();
            uint8_t bytes[12] = {};
            if (protocolBytes.empty())
            {
                engine.GetProtocolAddress(static_cast<uint8_t>(protocolType), bytes);
                KMRString text = KMRString::Formatted("protocol address %d:", protocolType);
                for (uint8_t b : bytes)
                    text.AppendFormat(" %u", b);
                return Report(text);
            }
            for (size_t i = 0; i < 12; ++i)
                bytes[i] = static_cast<uint8_t>(protocolBytes[i]);
            engine.SetProtocolAddress(static_cast<uint8_t>(protocolType), bytes);
            return Report("protocol address set");
        };
    });

    int newAddress = 0;
    auto* setAddress = add("set-address", "change the controller's KelmarCom2 address");
    setAddress->add_option("NEW", newAddress, "new address (1 to 240)")->required()->check(CLI::Range(1, 240));
    setAddress->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface&) {
            session_i.Connect().ChangeSlaveAddress(static_cast<uint8_t>(newAddress));
            return Report("The new slave address was set successfully.");
        };
    });

    std::string testAction;
    auto* test = add("test", "start or stop the sign test");
    test->add_option("ACTION", testAction, "start or stop")->required()->check(CLI::IsMember({"start", "stop"}));
    test->add_option("--brightness", percent, "brightness during the test (default 100)")->check(CLI::Range(0, 100));
    test->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface&) {
            FirmwareUpload& engine = session_i.Connect();
            if (testAction == "start")
            {
                engine.Test();
                engine.SetSignBrightness(static_cast<uint8_t>(percent));
                return Report("The test was started successfully.");
            }
            for (int i = 0; i < 3; ++i)
            {
                try
                {
                    engine.ResetController(true);
                }
                catch (const KMRExceptionBase&)
                {
                }
            }
            return Report("The test was stopped successfully.");
        };
    });

    std::string downloadFolder = ".";
    auto* uploadScript = add("upload-script", "run an upload script (content operations from an XML file)");
    uploadScript->add_option("FILE", file, "upload script")->required()->check(CLI::ExistingFile);
    uploadScript->add_option("--download-dir", downloadFolder, "folder for downloaded contents (default .)");
    uploadScript->callback([&] {
        command = [&](Session& session_i, KMRConsoleUserInterface& ui_i) {
            FirmwareUpload& engine = session_i.Connect();
            ui_i.SetDownloadFolder(downloadFolder.c_str());
            KMRUploadFileDlg uploader(ui_i);
            uploader.SetFirmwareUploader(&engine);
            uploader.SetFilePath(file.c_str());
            uploader._ProcessUploadScript();
            return Report("The Upload was successfull");
        };
    });

    auto* flashScript = add("flash-script", "run a flash script (a list of controllers to update)");
    flashScript->add_option("FILE", file, "flash script")->required()->check(CLI::ExistingFile);
    flashScript->callback([&] { command = nullptr; });

    percent = 100;
    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::ParseError& e)
    {
        const int code = app.exit(e);
        return e.get_exit_code() == 0 ? code : EXIT_USAGE;
    }

    int result = EXIT_FAILED;
    KMRConsoleUserInterface ui;
    try
    {
        KMRPause::SetScale(options.pauseScale);
        ConfigureLogging(options);
        if (flashScript->parsed())
        {
            KMRFirmwareUploadDlg dialog(ui);
            if (!options.logDir.empty())
            {
                ::mkdir(options.logDir.c_str(), 0755);
                dialog.SetLogDirectory(options.logDir.c_str());
            }
            ui.SetEchoLog(true);
            dialog.RunFlashScript(file.c_str(), false);
            const auto& results = dialog.GetLastRunResults();
            bool all = !results.empty();
            for (bool ok : results)
                all = all && ok;
            std::printf("log file: %s\n", dialog.GetFlashScriptLogFileName().GetString());
            result = all ? EXIT_OK : EXIT_FAILED;
        }
        else
        {
            Session session(options, ui);
            result = command(session, ui);
        }
    }
    catch (const CLI::ValidationError& e)
    {
        std::fprintf(stderr, "kmrupload: %s\n", e.what());
        result = EXIT_USAGE;
    }
    catch (const Failure& e)
    {
        ui.FinishProgress();
        std::fprintf(stderr, "Error: %s\n", e.Text().c_str());
        result = EXIT_FAILED;
    }
    catch (const KMRExceptionBase& e)
    {
        ui.FinishProgress();
        std::fprintf(stderr, "Error: %s\n", e.GetMessage().GetString());
        result = EXIT_FAILED;
    }
    catch (const KMRException& e)
    {
        ui.FinishProgress();
        std::fprintf(stderr, "Error: %s: %s\n", e.GetUserTitle(), e.GetDetails());
        result = EXIT_FAILED;
    }
    catch (const std::exception& e)
    {
        ui.FinishProgress();
        std::fprintf(stderr, "Error: An unknown error occurred. (%s)\n", e.what());
        result = EXIT_FAILED;
    }
    KMRLogger::Shutdown();
    return result;
}
